#include "SingleInstance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "ExePath.h"

namespace {

bool firstInstance = false;

// A message of more than this is not ours: the connection is dropped.
constexpr qsizetype kMaxMessage = 64 * 1024;
// A sender that neither finishes nor goes away is dropped after this.
constexpr int kConnectionTimeoutMs = 5000;
constexpr char kAnswer = '\x06';

// Room for the name in an abstract address: sun_path less the leading NUL.
constexpr std::size_t kMaxNameLength = sizeof(sockaddr_un::sun_path) - 1;

socklen_t AbstractAddress(const std::string& name, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

bool SameUser(qintptr descriptor) {
    ucred peer{};
    socklen_t length = sizeof peer;
    if (getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0)
        return false;
    return peer.uid == geteuid() || peer.uid == 0;
}

// Reads one NUL-terminated text from a sender, answers and hands the text on.
class IncomingText : public QObject {
public:
    IncomingText(QLocalSocket* socket, SingleInstanceGuard* guard)
        : QObject(socket), socket_(socket), guard_(guard) {
        connect(socket, &QLocalSocket::readyRead, this, &IncomingText::Read);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kConnectionTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        Read();
    }

private:
    void Read() {
        if (done_) return;
        buffer_ += socket_->readAll();
        const qsizetype end = buffer_.indexOf('\0');
        if (end < 0) {
            if (buffer_.size() > kMaxMessage) {
                done_ = true;
                socket_->abort();
                socket_->deleteLater();
            }
            return;
        }
        done_ = true;
        const QByteArray text = buffer_.left(end);
        // Answer first: acting on the text may end this process.
        socket_->write(&kAnswer, 1);
        socket_->flush();
        socket_->disconnectFromServer();
        if (guard_) emit guard_->TextReceived(text);
    }

    QLocalSocket* socket_;
    QPointer<SingleInstanceGuard> guard_;
    QByteArray buffer_;
    bool done_ = false;
};

// Waits until `fd` is ready for `events` or the time is up.
bool WaitFor(int fd, short events, QElapsedTimer& clock, int timeoutMs) {
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0) return false;
        pollfd p{fd, events, 0};
        const int n = poll(&p, 1, static_cast<int>(left));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { if (fd_ >= 0) ::close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { const int fd = fd_; fd_ = -1; return fd; }

private:
    int fd_;
};

}  // namespace

std::string InstanceProgramPath() {
    return HomeOverridden() ? ExePath() + "quillon" : ExecutablePath();
}

std::string InstanceName(const std::string& programPath) {
    QString upper = QFile::decodeName(QByteArray::fromStdString(programPath)).toUpper();
    upper.replace(QLatin1Char('/'), QLatin1Char('_'));
    std::string name = "APPLICATION-" + QFile::encodeName(upper).toStdString();
    if (name.size() > kMaxNameLength) {
        const QByteArray hash =
            QCryptographicHash::hash(QByteArray::fromStdString(name), QCryptographicHash::Sha1)
                .toHex();
        name = name.substr(0, kMaxNameLength - 1 - hash.size()) + "~" + hash.toStdString();
    }
    return name;
}

bool IsFirstInstance() { return firstInstance; }

SingleInstanceGuard::SingleInstanceGuard(std::string instanceName, QObject* parent)
    : QObject(parent), name_(std::move(instanceName)) {}

SingleInstanceGuard::~SingleInstanceGuard() { server_.close(); }

bool SingleInstanceGuard::Acquire() {
    if (server_.isListening()) return true;
    Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    sockaddr_un address;
    const socklen_t length = AbstractAddress(name_, address);
    if (fd.get() < 0 || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), length) != 0) {
        if (errno != EADDRINUSE)
            std::fprintf(stderr, "Instance name %s could not be taken: %s\n", name_.c_str(),
                         std::strerror(errno));
        return false;
    }
    if (::listen(fd.get(), 16) != 0 || !server_.listen(fd.get())) {
        std::fprintf(stderr, "Instance name %s could not be taken: %s\n", name_.c_str(),
                     std::strerror(errno));
        return false;
    }
    fd.release();  // the server owns it now
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstanceGuard::AcceptConnections);
    firstInstance = true;
    return true;
}

void SingleInstanceGuard::AcceptConnections() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        if (!SameUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        new IncomingText(socket, this);  // owned by the socket
    }
}

SendResult SendToInstance(const std::string& instanceName, const QByteArray& text, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0) return SendResult::Failed;
    sockaddr_un address;
    const socklen_t length = AbstractAddress(instanceName, address);
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), length) != 0) {
        if (errno == ECONNREFUSED || errno == ENOENT) return SendResult::NotRunning;
        if (errno != EINPROGRESS && errno != EAGAIN) return SendResult::Failed;
        if (!WaitFor(fd.get(), POLLOUT, clock, timeoutMs)) return SendResult::Failed;
        int error = 0;
        socklen_t size = sizeof error;
        getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &size);
        if (error == ECONNREFUSED) return SendResult::NotRunning;
        if (error != 0) return SendResult::Failed;
    }

    QByteArray message = text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
    message.append('\0');
    qsizetype sent = 0;
    while (sent < message.size()) {
        const ssize_t n = ::send(fd.get(), message.constData() + sent,
                                 static_cast<std::size_t>(message.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!WaitFor(fd.get(), POLLOUT, clock, timeoutMs)) return SendResult::Failed;
        } else {
            return SendResult::Failed;
        }
    }
    for (;;) {
        char answer = 0;
        const ssize_t n = ::recv(fd.get(), &answer, 1, 0);
        if (n == 1) return answer == kAnswer ? SendResult::Delivered : SendResult::Failed;
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) return SendResult::Failed;
        if (!WaitFor(fd.get(), POLLIN, clock, timeoutMs)) return SendResult::Failed;
    }
}
