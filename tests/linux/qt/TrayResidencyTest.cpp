// Minimizing hides the window into the tray; a real click on the tray icon (embedded in
// trayer) brings it back. Monitoring goes on meanwhile.

#include <QLabel>
#include <QPointer>
#include <QProcess>

#include "ProgramFixture.h"
#include "tray/TrayResidency.h"

namespace tamberlyn::qttest {
namespace {

QWidget* visibleTopLevel(const char* className) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className) && widget->isVisible()) return widget;
    }
    return nullptr;
}

// The icon as the tray host shows it: a window of this process embedded in trayer's panel.
QWidget* trayIconWindow() { return visibleTopLevel("QSystemTrayIconSys"); }

// Qt's own balloon, used where the session has no notification service.
QWidget* balloon() { return visibleTopLevel("QBalloonTip"); }

QStringList labelsOf(QWidget* widget) {
    QStringList texts;
    for (const QLabel* label : widget->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) texts << label->text();
    }
    return texts;
}

// Every balloon that comes up, once, seen from inside the program's own waits too.
class BalloonWatch {
public:
    BalloonWatch() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* shown = balloon();
            if (shown == nullptr || shown == last_) return;
            last_ = shown;
            texts.push_back(labelsOf(shown));
            if (onBalloon) onBalloon();
        });
        timer_.start(20);
    }
    std::vector<QStringList> texts;
    std::function<void()> onBalloon;

private:
    QTimer timer_;
    QPointer<QWidget> last_;
};

class TrayResidency : public ProgramTest {
protected:
    void SetUp() override {
        start();
        ASSERT_TRUE(eventually([] { return trayIconWindow() != nullptr; })) << "the icon is in trayer";
    }
    // What the window manager does for the title bar's minimize button.
    void minimizeLikeAUser() { run("xdotool", {"windowminimize", QString::number(window().winId())}); }
    // A real left click on the icon: the X server delivers it to the embedded window.
    static void clickTrayIcon() {
        QProcess::startDetached("xdotool", {"mousemove", "--window", QString::number(trayIconWindow()->winId()), "8",
                                            "8", "click", "1"});
    }
    bool hiddenInTray() { return window().isHidden() && !form().window.visible() && MinimizedToTray; }
    // Mapped again, so the window system has every request the restoring made.
    bool backOnScreen() {
        return window().isVisible() && window().windowHandle()->isExposed() && !window().isMinimized() &&
               !MinimizedToTray;
    }
};

TEST_F(TrayResidency, MinimizingHidesWithABalloonTheFirstTimeAndTheIconBringsTheWindowBack) {
    BalloonWatch balloons;
    balloons.onBalloon = [&] { clickTrayIcon(); };  // the user clicks while the balloon shows
    minimizeLikeAUser();
    ASSERT_TRUE(eventually([&] { return !balloons.texts.empty(); }));
    EXPECT_EQ(balloons.texts[0],
              (QStringList{"Tamberlyn", "has been minimized to the system tray.\nClick on the blue 'Q' icon (Q for "
                                        "Quillmark) to bring the software back."}));
    ASSERT_TRUE(eventually([&] { return backOnScreen(); }));
    EXPECT_TRUE(eventually([&] { return QApplication::activeWindow() == &window(); }));
    EXPECT_EQ(form().window.state(), WindowState::Normal);

    balloons.onBalloon = nullptr;
    minimizeLikeAUser();
    ASSERT_TRUE(eventually([&] { return hiddenInTray(); }));
    runEventsFor(1s);
    EXPECT_EQ(balloons.texts.size(), 1u) << "the balloon shows once only";
    clickTrayIcon();
    EXPECT_TRUE(eventually([&] { return backOnScreen(); }));
}

TEST_F(TrayResidency, MonitoringGoesOnWhileTheWindowIsInTheTray) {
    add("Calculator");
    click("PushButton2");
    minimizeLikeAUser();
    ASSERT_TRUE(eventually([&] { return hiddenInTray(); }));
    QProcess calculator;
    calculator.start("xcalc", {});
    EXPECT_TRUE(calculator.waitForStarted());
    // The program may still be waiting for its balloon; the scan runs inside that wait.
    EXPECT_TRUE(eventually([&] { return calculator.state() == QProcess::NotRunning; }));
    EXPECT_TRUE(window().isHidden());
}

}  // namespace
}  // namespace tamberlyn::qttest
