#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QList>
#include <QPointer>
#include <QString>
#include <chrono>
#include <functional>

class QLocalSocket;

namespace tamberlyn {

// One running program per user and X display. The first start holds a lock and listens on
// a local socket beside it; a later start finds the lock taken, asks the running program
// through the socket to come forward, and ends once it has. The lock is the kernel's, so a
// crashed program never leaves a start blocked: its socket file is just replaced.
class SingleInstance {
public:
    enum class Claim {
        First,       // this is the program that runs
        HandedOver,  // the running one came forward: this start ends
        NoAnswer,    // one runs but did not answer in time
    };

    // `folder`: private to the user; `name`: the session's, see InstanceName().
    SingleInstance(QString folder, const QString& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // $XDG_RUNTIME_DIR when it is the user's and closed to others, else a folder of this
    // machine's under ${XDG_CACHE_HOME:-~/.cache}/tamberlyn, made or checked to be private.
    // Throws PlatformError when no such folder can be had.
    static QString privateFolder();

    // Takes the lock and listens, or hands over to the program that holds it, waiting for
    // its answer up to `patience`. Throws PlatformError when neither can be done.
    Claim claim(std::chrono::milliseconds patience = std::chrono::seconds(10));

    // Runs `comeForward` for every later start, from now on and for those that asked
    // before; each is answered once it ran.
    void answerWith(std::function<void()> comeForward);

    // The program is ending: later starts are not answered, so they wait for the lock and
    // take over instead of handing over to a program on its way out.
    void withdraw();

    QString socketPath() const { return socketPath_; }

private:
    enum class Reply {
        Shown,         // it came forward
        NotListening,  // not yet, or no longer
        Closed,        // it hung up without an answer: it is ending
        None,          // no answer in time
    };

    bool tryLock();
    Reply askRunningProgram(std::chrono::steady_clock::time_point deadline);
    void listen();
    void read(QLocalSocket* socket);
    void answerWaiting();

    QString socketPath_;
    QByteArray lockPath_;
    int lockFd_ = -1;
    bool withdrawn_ = false;
    QLocalServer server_;
    QList<QPointer<QLocalSocket>> waiting_;
    std::function<void()> comeForward_;
};

}  // namespace tamberlyn
