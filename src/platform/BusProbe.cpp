#include "platform/BusProbe.h"

#include <QList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vaporica {

namespace {

using Clock = std::chrono::steady_clock;

// A socket closed with its scope.
class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

bool waitFor(int fd, short events, Clock::time_point deadline) {
    pollfd watched{fd, events, 0};
    int ready;
    do
        ready = ::poll(&watched, 1, msLeft(deadline));
    while (ready < 0 && errno == EINTR);
    return ready > 0;
}

QByteArray unescaped(const QByteArray &value) {
    return QByteArray::fromPercentEncoding(value);
}

// The socket address of the first unix transport in a D-Bus address list; false when there is
// none this probe can reach.
bool socketAddress(const QByteArray &address, sockaddr_un &where, socklen_t &length) {
    for (const QByteArray &entry : address.split(';')) {
        if (!entry.startsWith("unix:"))
            continue;
        for (const QByteArray &pair : entry.mid(5).split(',')) {
            const bool abstract = pair.startsWith("abstract=");
            if (!abstract && !pair.startsWith("path="))
                continue;
            const QByteArray name = unescaped(pair.mid(pair.indexOf('=') + 1));
            std::memset(&where, 0, sizeof where);
            where.sun_family = AF_UNIX;
            // A path needs its terminating zero; an abstract name its leading one.
            const qsizetype room = qsizetype(sizeof where.sun_path) - 1;
            if (name.isEmpty() || name.size() > room)
                return false;
            std::memcpy(where.sun_path + (abstract ? 1 : 0), name.constData(), name.size());
            length = socklen_t(offsetof(sockaddr_un, sun_path) + name.size() + 1);
            return true;
        }
    }
    return false;
}

// Connects without blocking; -1 when nothing listens there.
int connectTo(const QByteArray &address, Clock::time_point deadline) {
    sockaddr_un where;
    socklen_t length = 0;
    if (!socketAddress(address, where, length))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&where), length) == 0)
        return fd;
    if (errno == EINPROGRESS || errno == EAGAIN) {
        int error = 0;
        socklen_t size = sizeof error;
        if (waitFor(fd, POLLOUT, deadline) &&
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
            return fd;
    }
    ::close(fd);
    return -1;
}

bool sendAll(int fd, const QByteArray &bytes, Clock::time_point deadline) {
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0)
            sent += n;
        else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!waitFor(fd, POLLOUT, deadline))
                return false;
        } else
            return false;
    }
    return true;
}

// Reads more bytes into `into`; false at the deadline or when the peer closed.
bool receiveMore(int fd, QByteArray &into, Clock::time_point deadline) {
    if (!waitFor(fd, POLLIN, deadline))
        return false;
    char chunk[4096];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0)
        return false;
    into.append(chunk, n);
    return true;
}

enum class Step { Done, Closed, TimedOut };

// The authentication handshake: the server's first line, whatever it says.
Step authenticate(int fd, Clock::time_point deadline) {
    const QByteArray request =
        QByteArray(1, '\0') + "AUTH EXTERNAL " + QByteArray::number(::getuid()).toHex() + "\r\n";
    if (!sendAll(fd, request, deadline))
        return Step::Closed;
    QByteArray reply;
    while (!reply.contains("\r\n")) {
        if (!waitFor(fd, POLLIN, deadline))
            return Step::TimedOut;
        if (!receiveMore(fd, reply, deadline))
            return Step::Closed;
    }
    if (!reply.startsWith("OK "))
        return Step::Closed;
    return sendAll(fd, "BEGIN\r\n", deadline) ? Step::Done : Step::Closed;
}

// A method call in D-Bus's little-endian wire format, with no body.
class Message {
public:
    QByteArray methodCall(quint32 serial, const QByteArray &destination, const QByteArray &path,
                          const QByteArray &interface, const QByteArray &member, quint8 flags) {
        field(1, 'o', path);
        field(2, 's', interface);
        field(3, 's', member);
        field(6, 's', destination);
        QByteArray message("l\x01", 2);
        message.append(char(flags)).append(char(1));
        appendU32(message, 0);
        appendU32(message, serial);
        appendU32(message, quint32(fields_.size()));
        message.append(fields_);
        while (message.size() % 8)
            message.append('\0');
        return message;
    }

private:
    static void appendU32(QByteArray &to, quint32 value) {
        for (int i = 0; i < 4; ++i)
            to.append(char((value >> (8 * i)) & 0xFF));
    }
    void align(int to) {
        while (fields_.size() % to)
            fields_.append('\0');
    }
    // The fields start 16 bytes into the message, a multiple of 8, so aligning within them
    // aligns in the message.
    void field(char code, char type, const QByteArray &value) {
        align(8);
        fields_.append(code).append('\x01').append(type).append('\0');
        align(4);
        appendU32(fields_, quint32(value.size()));
        fields_.append(value).append('\0');
    }
    QByteArray fields_;
};

quint32 u32At(const QByteArray &bytes, qsizetype at) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

qsizetype aligned(qsizetype at, int to) {
    return (at + to - 1) / to * to;
}

struct Reply {
    quint8 type = 0;
    quint32 replySerial = 0;
    QByteArray firstString; // the body's first string, for a reply whose body starts with one
};

// Takes one whole little-endian message off the front of `buffer`; false until one is there.
bool takeMessage(QByteArray &buffer, Reply &reply) {
    if (buffer.size() < 16)
        return false;
    const qsizetype fieldsEnd = 16 + qsizetype(u32At(buffer, 12));
    const qsizetype bodyAt = aligned(fieldsEnd, 8);
    const qsizetype end = bodyAt + qsizetype(u32At(buffer, 4));
    if (buffer.size() < end)
        return false;
    reply = Reply{quint8(buffer[1]), 0, {}};
    QByteArray signature;
    bool readable = buffer[0] == 'l';
    for (qsizetype at = 16; readable && at < fieldsEnd;) {
        at = aligned(at, 8);
        const char code = buffer[at];
        const int typeLength = quint8(buffer[at + 1]);
        const char type = buffer[at + 2];
        at += 3 + typeLength;
        if (type == 'u') {
            at = aligned(at, 4);
            if (code == 5)
                reply.replySerial = u32At(buffer, at);
            at += 4;
        } else if (type == 's' || type == 'o') {
            at = aligned(at, 4);
            at += 4 + qsizetype(u32At(buffer, at)) + 1;
        } else if (type == 'g') {
            const int length = quint8(buffer[at]);
            if (code == 8)
                signature = buffer.mid(at + 1, length);
            at += 1 + length + 1;
        } else {
            readable = false;
        }
    }
    if (readable && signature.startsWith('s') && end - bodyAt >= 4) {
        const qsizetype length = u32At(buffer, bodyAt);
        if (bodyAt + 4 + length <= end)
            reply.firstString = buffer.mid(bodyAt + 4, length);
    }
    buffer.remove(0, end);
    return true;
}

// Sends a call and waits for its reply.
Step call(int fd, QByteArray &buffer, const QByteArray &message, quint32 serial,
          Clock::time_point deadline, Reply &reply) {
    if (!sendAll(fd, message, deadline))
        return Step::Closed;
    for (;;) {
        while (takeMessage(buffer, reply))
            if (reply.replySerial == serial && (reply.type == 2 || reply.type == 3))
                return Step::Done;
        if (!waitFor(fd, POLLIN, deadline))
            return Step::TimedOut;
        if (!receiveMore(fd, buffer, deadline))
            return Step::Closed;
    }
}

} // namespace

BusAnswer probeBus(const QByteArray &address, std::chrono::milliseconds bound) {
    const auto deadline = Clock::now() + bound;
    Socket socket(connectTo(address, deadline));
    if (socket.fd() < 0)
        return BusAnswer::Unreachable;
    return authenticate(socket.fd(), deadline) == Step::TimedOut ? BusAnswer::Silent
                                                                 : BusAnswer::Answers;
}

BusAnswer askAccessibilityBus(const QByteArray &address, std::chrono::milliseconds bound,
                              QByteArray &a11yAddress) {
    a11yAddress.clear();
    const auto deadline = Clock::now() + bound;
    Socket socket(connectTo(address, deadline));
    if (socket.fd() < 0)
        return BusAnswer::Unreachable;
    if (const Step step = authenticate(socket.fd(), deadline); step != Step::Done)
        return step == Step::TimedOut ? BusAnswer::Silent : BusAnswer::Answers;
    QByteArray buffer;
    Reply reply;
    const QByteArray hello = Message().methodCall(
        1, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello", 0);
    if (const Step step = call(socket.fd(), buffer, hello, 1, deadline, reply); step != Step::Done)
        return step == Step::TimedOut ? BusAnswer::Silent : BusAnswer::Answers;
    // No auto-start: the toolkit only asks a service that already runs.
    constexpr quint8 NoAutoStart = 0x2;
    const QByteArray getAddress = Message().methodCall(2, "org.a11y.Bus", "/org/a11y/bus",
                                                       "org.a11y.Bus", "GetAddress", NoAutoStart);
    const Step step = call(socket.fd(), buffer, getAddress, 2, deadline, reply);
    if (step == Step::TimedOut)
        return BusAnswer::ServiceSilent;
    if (step == Step::Done && reply.type == 2)
        a11yAddress = reply.firstString;
    return BusAnswer::Answers;
}

} // namespace vaporica
