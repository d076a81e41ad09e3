#pragma once
// What the Qt tests share: a fresh settings folder, waiting while events run, answering
// message boxes as a user does, and a look at the X windows of other programs.

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <ostream>
#include <vector>

#include "../Eventually.h"

// Readable QStrings in GoogleTest's messages.
inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << text.toStdString(); }
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text << '"'; }

namespace tamberlyn::qttest {

using namespace std::chrono_literals;

using testing::kPatience;

// Runs events for the whole duration.
void runEventsFor(std::chrono::milliseconds duration);

// Runs events until the condition holds; false when the patience ran out first.
inline bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds patience = kPatience) {
    return testing::eventually(condition, patience, [] { runEventsFor(std::chrono::milliseconds(20)); });
}

// XDG_CONFIG_HOME points into a fresh folder for as long as this lives.
class ScratchConfig {
public:
    ScratchConfig();
    ~ScratchConfig();
    ScratchConfig(const ScratchConfig&) = delete;
    ScratchConfig& operator=(const ScratchConfig&) = delete;
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};

// Answers every message box that comes up, as a user would, and remembers what it said.
class BoxAnswerer {
public:
    struct Box {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        Qt::TextFormat format;
    };

    explicit BoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);
    void setAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }

    std::vector<Box> boxes;

private:
    void answerOpenBox();

    QMessageBox::StandardButton answer_;
    QTimer timer_;
};

// The processes of another program on this display, by their command name, from /proc.
std::vector<int> processesNamed(const std::string& command);

// The titles of the top-level windows of the display, hidden ones included.
std::vector<std::string> windowTitles();
bool windowTitled(const std::string& title);

// Runs a command line (xdotool and the like) to its end; its standard output.
QString run(const QString& program, const QStringList& arguments);

}  // namespace tamberlyn::qttest
