#include "QtTestSupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <algorithm>
#include <stdexcept>

#include "platform/x11/X11WindowServices.h"

namespace tamberlyn::qttest {

void runEventsFor(std::chrono::milliseconds duration) {
    QEventLoop wait;
    QTimer::singleShot(duration, &wait, &QEventLoop::quit);
    wait.exec();
}

ScratchConfig::ScratchConfig() : previous_(qgetenv("XDG_CONFIG_HOME")) {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
}

ScratchConfig::~ScratchConfig() {
    if (previous_.isEmpty()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", previous_);
    }
}

BoxAnswerer::BoxAnswerer(QMessageBox::StandardButton answer) : answer_(answer) {
    timer_.setInterval(30);
    QObject::connect(&timer_, &QTimer::timeout, [this] { answerOpenBox(); });
    timer_.start();
}

void BoxAnswerer::answerOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    QPushButton* defaultButton = box->defaultButton();
    boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                     defaultButton != nullptr ? box->standardButton(defaultButton) : QMessageBox::NoButton,
                     box->textFormat()});
    QAbstractButton* button = box->button(answer_);
    if (button == nullptr) button = box->buttons().front();
    button->click();
}

std::vector<int> processesNamed(const std::string& command) {
    std::vector<int> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const int pid = entry.toInt(&number);
        if (!number) continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (!comm.open(QIODevice::ReadOnly)) continue;
        if (comm.readAll().trimmed().toStdString() != command) continue;
        // Only those on this test's display: other tests may run beside it.
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (!environment.open(QIODevice::ReadOnly)) continue;
        if (!environment.readAll().split('\0').contains("DISPLAY=" + qgetenv("DISPLAY"))) continue;
        // A process that has ended but was not reaped yet is gone for the user.
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ")) continue;
        found.push_back(pid);
    }
    return found;
}

std::vector<std::string> windowTitles() {
    X11WindowServices windows;
    std::vector<std::string> titles;
    for (const WindowHandle window : windows.topLevelWindows()) titles.push_back(windows.readTitle(window, 200));
    return titles;
}

bool windowTitled(const std::string& title) {
    const std::vector<std::string> titles = windowTitles();
    return std::find(titles.begin(), titles.end(), title) != titles.end();
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) throw std::runtime_error("did not finish: " + program.toStdString());
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace tamberlyn::qttest
