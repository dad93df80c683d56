#include "bank/NumberReader.h"

#include "assets/DataFile.h"

#include <QBuffer>
#include <QFile>
#include <QStringDecoder>

namespace vaporica {

namespace {

constexpr qsizetype ChunkBytes = 64 * 1024;
constexpr int ShownCharacters = 40;

bool isLineBreak(int c) {
    return c == '\n' || c == '\r';
}

// Spaces as a field's trimming sees them; line breaks end the field before this is asked.
bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
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

QByteArray rightTrimmed(QByteArray text) {
    while (!text.isEmpty() && isSpace(static_cast<unsigned char>(text.back())))
        text.chop(1);
    return text;
}

} // namespace

QString shownField(const QByteArray &text, bool cut) {
    // A byte-order mark inside a field is junk to be shown, not skipped.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString decoded = utf8(text);
    QString shown;
    qsizetype i = 0;
    for (int characters = 0; i < decoded.size() && characters < ShownCharacters;
         ++i, ++characters) {
        const char16_t c = decoded[i].unicode();
        if (c < 0x20 || c == 0x7F)
            shown += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
        else if (QChar::category(c) == QChar::Other_Format) // a byte-order mark, zero-width marks
            shown += QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
        else if (decoded[i].isHighSurrogate() && i + 1 < decoded.size())
            shown += decoded.mid(i++, 2);
        else
            shown += decoded[i];
    }
    if (cut || i < decoded.size())
        shown += QStringLiteral("…");
    return shown;
}

NumberReader::NumberReader(const QString &path) : name_(path) {
    auto file = std::make_unique<QFile>();
    openDataFile(path, *file);
    device_ = std::move(file);
}

NumberReader::NumberReader(const QString &name, QByteArray contents) : name_(name) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(std::move(contents));
    buffer->open(QIODevice::ReadOnly);
    device_ = std::move(buffer);
}

NumberReader::~NumberReader() = default;

int NumberReader::nextByte() {
    if (at_ >= chunk_.size()) {
        if (ended_)
            return End;
        if (scanned_ >= MaxScannedBytes)
            return ScanLimit;
        chunk_ = device_->read(qMin(ChunkBytes, MaxScannedBytes - scanned_));
        scanned_ += chunk_.size();
        at_ = 0;
        if (!started_) {
            started_ = true;
            // Notepad and many editors save UTF-8 with a byte-order mark.
            if (chunk_.startsWith("\xEF\xBB\xBF"))
                at_ = 3;
            // "Unicode" in a common editor: every digit would read as a digit and a zero byte.
            if (chunk_.startsWith("\xFF\xFE") || chunk_.startsWith("\xFE\xFF"))
                throw RuntimeError(ErrorNumber::InvalidFileFormat,
                                   QStringLiteral("ファイル形式が不正です"),
                                   QStringLiteral("%1 (UTF-16 で保存されています。UTF-8 か、"
                                                  "数字だけのテキストで保存し直してください)")
                                       .arg(name_));
        }
        if (chunk_.isEmpty()) {
            ended_ = true;
            return End;
        }
        if (at_ >= chunk_.size())
            return nextByte();
    }
    return static_cast<unsigned char>(chunk_[at_++]);
}

void NumberReader::scanLimitReached() const {
    throw RuntimeError(ErrorNumber::Overflow, QStringLiteral("オーバーフローしました"),
                       QStringLiteral("%1 (%2 番目の値が最初の %3 MB の中にありません)")
                           .arg(name_)
                           .arg(count_ + 1)
                           .arg(MaxScannedBytes / (1024 * 1024)));
}

std::optional<NumberReader::Field> NumberReader::nextField(bool whole) {
    // A comma ends a field, always; a line break or the end of the file ends it too, but a field
    // that holds only spaces there is dropped: so a blank line holds no value, and a comma at the
    // end of a line closes the field before it without opening an empty one.
    Field field;
    bool leading = true;
    field.line = line_;
    for (;;) {
        const int c = nextByte();
        if (c == ScanLimit) {
            if (!whole)
                return std::nullopt;
            if (leading)
                scanLimitReached();
            // The caller tells a number too long to be one from a field that never ends.
            field.cutByScanLimit = true;
            field.inkAfterKept = true;
            return field;
        }
        if (c == ',')
            return field;
        if (c == End || isLineBreak(c)) {
            if (c == '\n' && previousWasCr_) {
                previousWasCr_ = false; // the second half of a CRLF
                continue;
            }
            previousWasCr_ = c == '\r';
            if (c != End)
                ++line_;
            if (!leading)
                return field;
            if (c == End)
                return std::nullopt;
            field.line = line_;
            continue;
        }
        previousWasCr_ = false;
        if (leading && isSpace(c))
            continue;
        if (!whole)
            return field;
        leading = false;
        if (field.text.size() < FieldKept)
            field.text += static_cast<char>(c);
        else if (!isSpace(c))
            field.inkAfterKept = true;
    }
}

std::optional<ReadValue> NumberReader::tryNext() {
    std::optional<Field> field = nextField();
    if (!field)
        return std::nullopt;
    ReadValue read;
    read.line = field->line;
    read.textCut = field->inkAfterKept;
    read.text = field->inkAfterKept ? field->text : rightTrimmed(field->text);
    read.position = ++count_;

    bool tooLong = false;
    bool whole = false;
    const auto number = leadingNumber(read.text, tooLong, whole);
    read.wasNumber = number.has_value() && whole && !field->inkAfterKept;
    const bool overflows = number && (tooLong || *number < -32768 || *number > 32767);
    if (field->cutByScanLimit && !overflows)
        scanLimitReached();
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
                               .arg(shownField(read.text, read.textCut)));
    read.value = static_cast<Integer>(*number);
    return read;
}

std::optional<int> NumberReader::lineOfNext() {
    const std::optional<Field> field = nextField(false);
    ended_ = true; // the field's start has been taken: nothing more is read from this file
    chunk_.clear();
    if (!field)
        return std::nullopt;
    return field->line;
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
