#include "platform/qt/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSysInfo>
#include <QThread>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "platform/PlatformError.h"
#include "platform/linux/InstanceName.h"
#include "platform/qt/QtStrings.h"

namespace tamberlyn {

namespace {

constexpr char kRequest[] = "show\n";
constexpr char kAnswer[] = "shown\n";

std::string systemError(int code) { return std::strerror(code); }

}  // namespace

QString SingleInstance::privateFolder() {
    // Only the user's own, closed to others, as the XDG rules have it: a lock another user
    // holds there would send every start away.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat status {};
    const bool ours = QDir::isAbsolutePath(runtime) && ::stat(QFile::encodeName(runtime).constData(), &status) == 0 &&
                      S_ISDIR(status.st_mode) && status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
    if (ours) return QDir::cleanPath(runtime);
    // Under the user's cache, where no other user can make the name first as in a shared
    // temporary folder; one folder per machine, as a home folder may be shared by several.
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString folder = QDir::cleanPath(cache) + QStringLiteral("/tamberlyn/") +
                           FileNamePart(QSysInfo::machineHostName().toUtf8());
    const QByteArray path = QFile::encodeName(folder);
    QDir().mkpath(QFileInfo(folder).absolutePath());
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        throw PlatformError("The folder " + toUtf8(folder) + " cannot be made: " + systemError(errno) + ".");
    }
    if (::lstat(path.constData(), &status) != 0) {
        throw PlatformError("The folder " + toUtf8(folder) + " cannot be read: " + systemError(errno) + ".");
    }
    if (!S_ISDIR(status.st_mode)) throw PlatformError(toUtf8(folder) + " is not a folder.");
    if (status.st_uid != ::getuid()) throw PlatformError("The folder " + toUtf8(folder) + " belongs to another user.");
    if ((status.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0) {
        throw PlatformError("The folder " + toUtf8(folder) + " cannot be made private: " + systemError(errno) + ".");
    }
    return folder;
}

SingleInstance::SingleInstance(QString folder, const QString& name)
    : socketPath_(std::move(folder) + QLatin1Char('/') + name), lockPath_(QFile::encodeName(socketPath_ + ".lock")) {
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { read(socket); });
            read(socket);
        }
    });
}

SingleInstance::~SingleInstance() { withdraw(); }

bool SingleInstance::tryLock() {
    if (lockFd_ < 0) {
        // Close-on-exec: a program the user starts from here must not keep the lock alive.
        lockFd_ = ::open(lockPath_.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (lockFd_ < 0) {
            throw PlatformError("The lock file " + lockPath_.toStdString() + " cannot be opened: " +
                                systemError(errno) + ".");
        }
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EWOULDBLOCK || errno == EINTR) return false;
    throw PlatformError("The lock file " + lockPath_.toStdString() + " cannot be locked: " + systemError(errno) + ".");
}

SingleInstance::Claim SingleInstance::claim(std::chrono::milliseconds patience) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + patience;
    for (;;) {
        if (tryLock()) {
            listen();
            return Claim::First;
        }
        const Reply reply = askRunningProgram(deadline);
        if (reply == Reply::Shown) return Claim::HandedOver;
        if (Clock::now() >= deadline) return Claim::NoAnswer;
        // Not listening yet, or on its way out: the lock tells which, soon.
        if (reply != Reply::Closed) QThread::msleep(50);
    }
}

SingleInstance::Reply SingleInstance::askRunningProgram(std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    const auto left = [&] {
        return static_cast<int>(
            std::max<long long>(1, duration_cast<milliseconds>(deadline - steady_clock::now()).count()));
    };
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(std::min(left(), 1000))) return Reply::NotListening;
    socket.write(kRequest);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(left())) return Reply::Closed;
    }
    while (!socket.canReadLine()) {
        if (steady_clock::now() >= deadline) return Reply::None;
        if (!socket.waitForReadyRead(left()) && socket.state() != QLocalSocket::ConnectedState &&
            !socket.canReadLine()) {
            return Reply::Closed;
        }
    }
    return socket.readLine() == kAnswer ? Reply::Shown : Reply::None;
}

void SingleInstance::listen() {
    // Ours alone under the lock: a socket file still here is a crashed program's.
    QLocalServer::removeServer(socketPath_);
    if (!server_.listen(socketPath_)) {
        throw PlatformError("Cannot listen on " + toUtf8(socketPath_) + ": " + toUtf8(server_.errorString()) + ".");
    }
}

void SingleInstance::read(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > 64) socket->abort();
        return;
    }
    if (socket->readLine() != kRequest || withdrawn_) {
        socket->abort();
        return;
    }
    waiting_.append(socket);
    answerWaiting();
}

void SingleInstance::answerWaiting() {
    if (!comeForward_ || withdrawn_ || waiting_.isEmpty()) return;
    const QList<QPointer<QLocalSocket>> answering = std::exchange(waiting_, {});
    comeForward_();
    for (const QPointer<QLocalSocket>& socket : answering) {
        if (socket == nullptr || withdrawn_) continue;
        socket->write(kAnswer);
        socket->disconnectFromServer();  // after the answer is written
    }
}

void SingleInstance::answerWith(std::function<void()> comeForward) {
    comeForward_ = std::move(comeForward);
    answerWaiting();
}

void SingleInstance::withdraw() {
    if (withdrawn_) return;
    withdrawn_ = true;
    waiting_.clear();
    // Those asking are left without an answer: they try the lock again.
    for (QLocalSocket* socket : server_.findChildren<QLocalSocket*>()) socket->abort();
    server_.close();  // removes the socket file
    if (lockFd_ >= 0) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

}  // namespace tamberlyn
