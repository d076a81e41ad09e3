// Monitoring as the user sees it: windows of other programs whose titles match close.

#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <stdexcept>

#include "ProgramFixture.h"

namespace tamberlyn::qttest {
namespace {

// Another program with a window, run for the test.
class OtherProgram {
public:
    explicit OtherProgram(const QString& program) {
        process_.start(program, {});
        process_.waitForStarted();
    }
    ~OtherProgram() {
        process_.kill();
        process_.waitForFinished();
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    bool running() const { return process_.state() != QProcess::NotRunning; }

private:
    QProcess process_;
};

// The program finds first on PATH a notepadqq that starts from settings of its own, as on a
// new machine: from its second start on, notepadqq asks about statistics in a dialog that
// waits for the user. As root (always so in CI) it must also be told it may run as root,
// and its web view then wants no sandbox.
class SampleEditor {
public:
    SampleEditor() : editor_(QStandardPaths::findExecutable(QStringLiteral("notepadqq"))) {
        if (editor_.isEmpty()) return;
        QFile script(folder_.path() + QStringLiteral("/notepadqq"));
        if (!script.open(QIODevice::WriteOnly)) throw std::runtime_error("no editor script");
        const bool root = geteuid() == 0;
        script.write("#!/bin/sh\nXDG_CONFIG_HOME='" + folder_.path().toUtf8() + "/config' " +
                     (root ? "QTWEBENGINE_DISABLE_SANDBOX=1 " : "") + "exec '" + editor_.toUtf8() + "'" +
                     (root ? " --allow-root" : "") + " \"$@\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        previousPath_ = qgetenv("PATH");
        qputenv("PATH", folder_.path().toUtf8() + ':' + previousPath_);
    }
    ~SampleEditor() {
        if (!previousPath_.isNull()) qputenv("PATH", previousPath_);
    }
    SampleEditor(const SampleEditor&) = delete;
    SampleEditor& operator=(const SampleEditor&) = delete;
    bool installed() const { return !editor_.isEmpty(); }

private:
    QString editor_;
    QTemporaryDir folder_;
    QByteArray previousPath_;
};

bool anyWindowTitledWith(const std::string& part) {
    for (const std::string& title : windowTitles()) {
        if (title.find(part) != std::string::npos) return true;
    }
    return false;
}

using Monitoring = ProgramTest;

TEST_F(Monitoring, OnlyTheMatchingWindowOfAnotherProgramCloses) {
    start();
    add("CALC");  // letter case does not matter
    OtherProgram calculator("xcalc");
    OtherProgram logo("xlogo");
    ASSERT_TRUE(eventually([] { return windowTitled("Calculator") && windowTitled("xlogo"); }));
    runEventsFor(300ms);
    EXPECT_TRUE(calculator.running()) << "nothing closes before monitoring starts";

    click("PushButton2");
    EXPECT_TRUE(eventually([&] { return !calculator.running(); })) << "xcalc ends when its window is asked to close";
    EXPECT_FALSE(windowTitled("Calculator"));
    runEventsFor(500ms);  // a few more scans
    EXPECT_TRUE(logo.running());
    EXPECT_TRUE(windowTitled("xlogo"));
    EXPECT_TRUE(window().isVisible()) << "the program's own window never closes";
}

TEST_F(Monitoring, AOneLetterFragmentLeavesTheNotificationAreaAlone) {
    start();
    ASSERT_TRUE(windowTitled("trayer")) << "these tests run with trayer as the tray";
    add("r");  // in "trayer", and in the titles of its windows
    click("PushButton2");
    runEventsFor(1500ms);
    EXPECT_TRUE(windowTitled("trayer"));
    EXPECT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
}

TEST_F(Monitoring, StoppedMonitoringLeavesWindowsAlone) {
    start();
    add("Calculator");
    click("PushButton2");
    click("PushButton2");
    OtherProgram calculator("xcalc");
    ASSERT_TRUE(eventually([] { return windowTitled("Calculator"); }));
    runEventsFor(500ms);
    EXPECT_TRUE(calculator.running());
}

TEST_F(Monitoring, TheSamplesStartTheDemoProgramsAndMonitoringClosesThem) {
    SampleEditor editor;
    ASSERT_TRUE(editor.installed()) << "scripts/packages.sh installs notepadqq";
    start();
    std::vector<int> calculatorsSeen;
    bool editorStarted = false;
    bool notepadShown = false;
    QTimer watch;  // runs inside the command's own waits as well
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (const int pid : processesNamed("xcalc")) {
            if (std::find(calculatorsSeen.begin(), calculatorsSeen.end(), pid) == calculatorsSeen.end()) {
                calculatorsSeen.push_back(pid);
            }
        }
        editorStarted |= !processesNamed("notepadqq-bin").empty();
        notepadShown |= anyWindowTitledWith("Notepad");
    });
    watch.start(10);

    BoxAnswerer user(QMessageBox::Yes);
    click("PushButton6");
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].text, "Would you like to run Calculator and Notepad now to see that software works?");
    EXPECT_EQ(rows(), (QStringList{"Calculator", "Notepad"}));
    EXPECT_EQ(widget<QPushButton>("PushButton2").text(), "Stop Monitoring");

    EXPECT_TRUE(eventually([&] { return !calculatorsSeen.empty(); })) << "xcalc was started";
    EXPECT_TRUE(eventually([&] { return processesNamed("xcalc").empty() && !windowTitled("Calculator"); }))
        << "and closed";
    EXPECT_TRUE(eventually([&] { return editorStarted; })) << "notepadqq was started";
    EXPECT_TRUE(eventually([&] { return notepadShown; })) << "its window showed";
    EXPECT_TRUE(eventually([&] { return processesNamed("notepadqq-bin").empty() && !anyWindowTitledWith("Notepad"); }))
        << "and closed, which ends the editor";
    EXPECT_TRUE(settingsText().contains("Listview=Calculator||||||||---|||Notepad||||||||---|||"));
}

}  // namespace
}  // namespace tamberlyn::qttest
