#pragma once

#include "app/SharedVariables.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace vaporica {

// One value as read, with where it stood, so a checker can point a teacher at it.
struct ReadValue {
    Integer value = 0;
    int line = 0;     // 1-based
    int position = 0; // 1-based count of values in the file
    // false for an empty or non-number field (read as 0) or one with junk after its digits
    bool wasNumber = true;
    QByteArray text; // the field as written, leading spaces skipped
};

// Sequential reading of 16-bit Integers: values separated by commas or line breaks, spaces before
// a value skipped, an empty or non-number field read as 0. Values are taken strictly one by one,
// so what follows the last one a caller needs is never looked at.
class NumberReader {
public:
    // Opens the file; a missing or unreadable file is a runtime error naming it.
    explicit NumberReader(const QString &path);
    // Reads text that is already in memory (for the checker's own messages and for tests).
    NumberReader(const QString &name, QByteArray contents);

    // The next value, or nothing at the end of the file.
    std::optional<ReadValue> tryNext();
    // The next value; the end of the file is a runtime error that says how many values the file
    // had of how many were needed. A value outside -32768..32767 is an overflow error.
    Integer next(int needed);

    int valuesRead() const { return count_; }
    const QString &name() const { return name_; }

private:
    struct Field {
        QByteArray text;
        int line;
    };
    void split(const QByteArray &data);

    QString name_;
    std::vector<Field> fields_;
    int count_ = 0;
};

} // namespace vaporica
