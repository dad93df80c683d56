#include "bank/NumberReader.h"

#include <QFile>
#include <QFileInfo>

namespace vaporica {

namespace {
bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// The leading decimal number of a field: optional sign, then digits. Anything after the digits is
// ignored, as the classic runtime did; a field without digits is no number.
std::optional<long long> leadingNumber(const QByteArray &field, bool &tooLong, bool &whole) {
    qsizetype i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    long long value = 0;
    qsizetype digits = 0;
    tooLong = false;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i, ++digits) {
        if (value > 1000000)
            tooLong = true;
        else
            value = value * 10 + (field[i] - '0');
    }
    whole = i == field.size();
    if (digits == 0)
        return std::nullopt;
    return negative ? -value : value;
}
} // namespace

NumberReader::NumberReader(const QString &path) : name_(path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("ファイルが見つかりません"),
                           path);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("ファイルを読み込めません"),
                           path);
    split(file.readAll());
}

NumberReader::NumberReader(const QString &name, QByteArray contents) : name_(name) {
    split(contents);
}

void NumberReader::split(const QByteArray &data) {
    // Line breaks may be LF, CRLF or CR. A blank line holds no value; a comma at the very end of a
    // line closes the field before it and does not open an empty one, so a stray trailing comma
    // cannot shift every record after it.
    int line = 1;
    qsizetype pos = 0;
    while (pos <= data.size()) {
        qsizetype end = pos;
        while (end < data.size() && !isLineBreak(data[end]))
            ++end;
        const QByteArray text = data.mid(pos, end - pos);
        if (!text.trimmed().isEmpty()) {
            QList<QByteArray> parts = text.split(',');
            if (parts.size() > 1 && parts.last().trimmed().isEmpty())
                parts.removeLast();
            for (const QByteArray &part : parts)
                fields_.push_back({part.trimmed(), line});
        }
        if (end < data.size() && data[end] == '\r' && end + 1 < data.size() &&
            data[end + 1] == '\n')
            ++end;
        pos = end + 1;
        ++line;
    }
}

std::optional<ReadValue> NumberReader::tryNext() {
    if (static_cast<std::size_t>(count_) >= fields_.size())
        return std::nullopt;
    const Field &field = fields_[static_cast<std::size_t>(count_)];
    ReadValue read;
    read.line = field.line;
    read.text = field.text;
    read.position = ++count_;

    bool tooLong = false;
    bool whole = false;
    const auto number = leadingNumber(read.text, tooLong, whole);
    read.wasNumber = number.has_value() && whole;
    if (!number) {
        read.value = 0;
        return read;
    }
    if (tooLong || *number < -32768 || *number > 32767)
        throw RuntimeError(ErrorNumber::Overflow, QStringLiteral("オーバーフローしました"),
                           QStringLiteral("%1 (%2 行目, %3 番目の値 \"%4\")")
                               .arg(name_)
                               .arg(read.line)
                               .arg(read.position)
                               .arg(QString::fromLatin1(read.text)));
    read.value = static_cast<Integer>(*number);
    return read;
}

Integer NumberReader::next(int needed) {
    const auto read = tryNext();
    if (!read)
        throw RuntimeError(ErrorNumber::InputPastEndOfFile,
                           QStringLiteral("ファイルの終わりを越えて読み込もうとしました"),
                           QStringLiteral("%1 (値が %2 個しかありません。%3 個必要です)")
                               .arg(name_)
                               .arg(count_)
                               .arg(needed));
    return read->value;
}

} // namespace vaporica
