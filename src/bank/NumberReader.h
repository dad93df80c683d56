#pragma once

#include "base/SharedVariables.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>
#include <optional>

namespace vaporica {

// One value as read, with where it stood, so a checker can point a teacher at it.
struct ReadValue {
    Integer value = 0;
    int line = 0;     // 1-based
    int position = 0; // 1-based count of values in the file
    // false for an empty or non-number field (read as 0) or one with junk after its digits
    bool wasNumber = true;
    // The field as written, leading spaces skipped; at most its first FieldKept bytes.
    QByteArray text;
    bool textCut = false; // the field went on beyond `text`
};

// A field as it may be shown in a message: decoded as UTF-8, unprintable characters (control
// characters, a byte-order mark) escaped, at most about 40 characters.
QString shownField(const QByteArray &text, bool cut = false);

// Sequential reading of 16-bit Integers: values separated by commas or line breaks, spaces before
// a value skipped, an empty or non-number field read as 0, blank lines skipped, a byte-order mark
// at the start of the file skipped. Values are taken strictly one by one from a stream: nothing
// after the last value a caller needs is ever read, and memory and time stay bounded whatever the
// size of the file or of one field.
class NumberReader {
public:
    static constexpr int FieldKept = 160;
    // The bank's 134 values fit in a few kilobytes; a file whose values are not all found within
    // its first megabyte is no bank file, and reading on could take minutes.
    static constexpr qint64 MaxScannedBytes = 1024 * 1024;

    // Opens the file; a missing or unreadable file, or one that is no regular file, is a runtime
    // error naming it.
    explicit NumberReader(const QString &path);
    // Reads text that is already in memory (for the checker's own messages and for tests).
    NumberReader(const QString &name, QByteArray contents);
    ~NumberReader();

    // The next value, or nothing at the end of the file. A value outside -32768..32767, or one not
    // found within MaxScannedBytes, is an overflow error.
    std::optional<ReadValue> tryNext();
    // The next value; the end of the file is a runtime error that says how many values the file
    // had of how many were needed.
    Integer next(int needed);
    // Whether another value follows, looked for without reading it: its line, or nothing at the
    // end of the file (or beyond MaxScannedBytes). Nothing can be read after it.
    std::optional<int> lineOfNext();

    int valuesRead() const { return count_; }
    const QString &name() const { return name_; }

private:
    struct Field {
        QByteArray text; // leading spaces skipped, at most FieldKept bytes
        bool inkAfterKept = false;
        bool cutByScanLimit = false;
        int line = 0;
    };
    enum : int { End = -1, ScanLimit = -2 };
    // The next field; only its start when `whole` is false. Nothing at the end of the file.
    std::optional<Field> nextField(bool whole = true);
    int nextByte(); // a byte, End or ScanLimit
    [[noreturn]] void scanLimitReached() const;

    QString name_;
    std::unique_ptr<QIODevice> device_;
    QByteArray chunk_;
    qsizetype at_ = 0;
    qint64 scanned_ = 0;
    bool started_ = false;
    bool ended_ = false;
    bool previousWasCr_ = false;
    int line_ = 1;
    int count_ = 0;
};

} // namespace vaporica
