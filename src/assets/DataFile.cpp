#include "assets/DataFile.h"

#include "base/RuntimeError.h"
#include "platform/RegularFile.h"

namespace vaporica {

void openDataFile(const QString &path, QFile &file) {
    switch (openRegularFile(path, file)) {
    case OpenOutcome::Opened:
        return;
    case OpenOutcome::Missing:
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("ファイルが見つかりません"),
                           path);
    case OpenOutcome::NotRegular:
    case OpenOutcome::Unreadable:
        break;
    }
    throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("ファイルを読み込めません"),
                       path);
}

} // namespace vaporica
