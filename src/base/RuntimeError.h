#pragma once

#include <QString>
#include <exception>
#include <string>

namespace vaporica {

// The numbers follow the classic runtime's error codes, so a teacher who has seen them before
// recognises the kind of failure at once.
enum class ErrorNumber : int {
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    FileNotFound = 53,
    InputPastEndOfFile = 62,
    PathFileAccess = 75,
    InvalidFileFormat = 321,
    InvalidPicture = 481,
};

// The one failure type of the program: a runtime error that ends the run through the report.
class RuntimeError : public std::exception {
public:
    RuntimeError(ErrorNumber number, QString message, QString subject);

    ErrorNumber number() const { return number_; }
    const QString &message() const { return message_; }
    // The file or value the failure concerns.
    const QString &subject() const { return subject_; }
    // "実行時エラー 53: ファイルが見つかりません: /path/file" — the line shown and printed.
    QString reportLine() const;
    const char *what() const noexcept override { return what_.c_str(); }

private:
    ErrorNumber number_;
    QString message_;
    QString subject_;
    std::string what_;
};

// Builds the error for an index outside an array's bounds.
RuntimeError subscriptError(const char *arrayName, int index, int lower, int upper);

} // namespace vaporica
