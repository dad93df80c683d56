#include "base/RuntimeError.h"

namespace vaporica {

RuntimeError::RuntimeError(ErrorNumber number, QString message, QString subject)
    : number_(number), message_(std::move(message)), subject_(std::move(subject)),
      what_(reportLine().toStdString()) {}

QString RuntimeError::reportLine() const {
    QString line =
        QStringLiteral("実行時エラー %1: %2").arg(static_cast<int>(number_)).arg(message_);
    if (!subject_.isEmpty())
        line += QStringLiteral(": ") + subject_;
    return line;
}

RuntimeError subscriptError(const char *arrayName, int index, int lower, int upper) {
    return RuntimeError(ErrorNumber::SubscriptOutOfRange,
                        QStringLiteral("インデックスが有効範囲にありません"),
                        QStringLiteral("%1(%2) (範囲 %3..%4)")
                            .arg(QString::fromLatin1(arrayName))
                            .arg(index)
                            .arg(lower)
                            .arg(upper));
}

} // namespace vaporica
