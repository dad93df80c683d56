#pragma once

// Opening a data file without ever blocking: a named pipe or a device under a data file's name
// would make a plain open or read wait for good (a FIFO until a writer comes, /dev/zero forever).
// Header-only, because the sound module links neither the core nor its error type.

#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vaporica {

enum class OpenOutcome { Opened, Missing, NotRegular, Unreadable };

// Opens `path` into `file` for reading when it is a regular file (or a link to one).
inline OpenOutcome openRegularFile(const QString &path, QFile &file) {
    // O_NONBLOCK: opening a FIFO with no writer returns at once instead of waiting.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? OpenOutcome::Missing : OpenOutcome::Unreadable;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return OpenOutcome::NotRegular;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return OpenOutcome::Unreadable;
    }
    return OpenOutcome::Opened;
}

// Why a file did not open, in the words the program's warnings use; empty when it did.
inline QString openProblem(OpenOutcome outcome) {
    switch (outcome) {
    case OpenOutcome::Opened:
        return {};
    case OpenOutcome::Missing:
        return QStringLiteral("ファイルがありません");
    case OpenOutcome::NotRegular:
        return QStringLiteral("普通のファイルではありません");
    case OpenOutcome::Unreadable:
        break;
    }
    return QStringLiteral("ファイルを読み込めません");
}

} // namespace vaporica
