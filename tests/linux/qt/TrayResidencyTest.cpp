// Minimizing hides the window into the tray; a real click on the tray icon (embedded in
// trayer) brings it back. Monitoring goes on meanwhile. "Start in system tray" starts the
// program there, or minimized on a desktop without a tray. A tray host that ends and comes
// back loses no window.

#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QSystemTrayIcon>

#include "ProgramFixture.h"
#include "form/TrayResidency.h"
#include "platform/qt/QtSettingsStore.h"

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

// What the window manager holds of a window: "Normal", "Iconic", or nothing for a window never mapped.
QString windowManagerState(const QWidget& widget) {
    const QString property = run("xprop", {"-id", QString::number(widget.winId()), "WM_STATE"});
    const qsizetype at = property.indexOf("window state: ");
    return at < 0 ? QString() : property.mid(at + 14).section('\n', 0, 0).trimmed();
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

class WithTrayIcon : public ProgramTest {
protected:
    // What the window manager does for the title bar's minimize button.
    void minimizeLikeAUser() { run("xdotool", {"windowminimize", QString::number(window().winId())}); }
    // A real left click on the icon: the X server delivers it to the embedded window.
    static void clickTrayIcon() {
        QProcess::startDetached("xdotool", {"mousemove", "--window", QString::number(trayIconWindow()->winId()), "8",
                                            "8", "click", "1"});
    }
    bool hiddenInTray() { return window().isHidden() && !form().window.visible() && form().MinimizedToTray; }
    // Mapped again, so the window system has every request the restoring made.
    bool backOnScreen() {
        return window().isVisible() && window().windowHandle()->isExposed() && !window().isMinimized() &&
               !form().MinimizedToTray;
    }
};

class TrayResidency : public WithTrayIcon {
protected:
    void SetUp() override {
        start();
        ASSERT_TRUE(eventually([] { return trayIconWindow() != nullptr; })) << "the icon is in trayer";
    }
};

// A tray host of the test's own, which the test ends and starts again, as a panel that
// crashes and is restarted.
class TrayHostRestart : public WithTrayIcon {
protected:
    void SetUp() override {
        ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the display's only tray host is the test's";
        startTrayer();
        start();
        ASSERT_TRUE(eventually([] { return trayIconWindow() != nullptr; })) << "the icon is in trayer";
    }
    void TearDown() override {
        WithTrayIcon::TearDown();
        endTrayer();
    }
    void startTrayer() {
        trayer_.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"});
        ASSERT_TRUE(trayer_.waitForStarted());
        ASSERT_TRUE(eventually([] { return QSystemTrayIcon::isSystemTrayAvailable(); }));
    }
    void endTrayer() {
        trayer_.kill();
        trayer_.waitForFinished();
    }

private:
    QProcess trayer_;
};

// "Start in system tray" ticked, with a list and monitoring on, as the user left them.
class StartInTray : public WithTrayIcon {
protected:
    void SetUp() override {
        QtSettingsStore store;
        for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
                 {"Listview", "Calculator||||||||---|||"},
                 {"StartStopState", "On"},
                 {"Windows Startup", "On"},
                 {"Minimized", "On"}}) {
            store.write("Quillmark", "Tamberlyn", key, value);
        }
    }
    // Monitoring runs: a calculator does not stay.
    static bool closesACalculator() {
        QProcess calculator;
        calculator.start("xcalc", {});
        return calculator.waitForStarted() &&
               eventually([&] { return calculator.state() == QProcess::NotRunning; });
    }
};

// The same, on a desktop without a notification area.
using StartMinimized = StartInTray;

TEST_F(TrayResidency, MinimizingHidesWithABalloonTheFirstTimeAndTheIconBringsTheWindowBack) {
    // Moved by the user away from where the program placed it.
    const QPoint placed = window().pos();
    run("xdotool", {"windowmove", QString::number(window().winId()), "173", "141"});
    ASSERT_TRUE(eventually([&] { return window().pos() != placed; }));
    const QRect before = window().geometry();

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
    EXPECT_TRUE(eventually([&] { return window().geometry() == before; }))
        << "back at " << window().geometry().x() << "," << window().geometry().y() << " " << window().width() << "x"
        << window().height() << ", was " << before.x() << "," << before.y() << " " << before.width() << "x"
        << before.height();
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

TEST_F(TrayHostRestart, AWindowInTheTrayWaitsMinimizedWhileThereIsNoneAndGoesBackIntoTheNext) {
    minimizeLikeAUser();
    ASSERT_TRUE(eventually([&] { return hiddenInTray(); }));

    endTrayer();
    EXPECT_TRUE(eventually([&] { return windowManagerState(window()) == "Iconic"; }))
        << "a minimized window the user can bring back, not a hidden one nobody can";
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(form().MinimizedToTray);

    startTrayer();
    ASSERT_TRUE(eventually([] { return trayIconWindow() != nullptr; })) << "the icon is back";
    EXPECT_TRUE(eventually([&] { return hiddenInTray(); }));
    // A fresh tray lays its icons out again for a while: a click may land before the icon
    // settles. A click on a shown window only focuses it, so clicking again is harmless.
    EXPECT_TRUE(eventually([&] {
        if (backOnScreen()) return true;
        clickTrayIcon();
        runEventsFor(500ms);
        return backOnScreen();
    }));

    // A window on screen stays there while the tray host comes and goes.
    endTrayer();
    runEventsFor(500ms);
    startTrayer();
    ASSERT_TRUE(eventually([] { return trayIconWindow() != nullptr; }));
    runEventsFor(500ms);
    EXPECT_TRUE(backOnScreen());
}

TEST_F(StartInTray, TheWindowStaysInTheTrayWithoutABalloonAndMonitoringAsItWas) {
    BalloonWatch balloons;
    launch();
    ASSERT_TRUE(eventually([] { return trayIconWindow() != nullptr; })) << "the icon is in trayer";
    runEventsFor(1s);
    EXPECT_TRUE(hiddenInTray());
    EXPECT_EQ(windowManagerState(window()), "") << "never mapped";
    EXPECT_TRUE(balloons.texts.empty());
    EXPECT_EQ(widget<QPushButton>("PushButton2").text(), "Stop Monitoring");
    EXPECT_TRUE(closesACalculator());
    EXPECT_TRUE(window().isHidden());

    clickTrayIcon();
    EXPECT_TRUE(eventually([&] { return backOnScreen(); }));
    EXPECT_TRUE(settingsText().contains("StartStopState=On\n")) << settingsText();
    EXPECT_TRUE(settingsText().contains("Minimized=On\n")) << settingsText();
}

TEST_F(StartMinimized, WithoutANotificationAreaTheWindowStartsMinimizedAndMonitoring) {
    launch();
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "a display without a tray host";
    EXPECT_TRUE(eventually([&] { return windowManagerState(window()) == "Iconic"; }));
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(form().window.state(), WindowState::Minimized);
    EXPECT_TRUE(closesACalculator());

    // Brought back by the user, as from a task bar.
    run("xdotool", {"windowactivate", QString::number(window().winId())});
    EXPECT_TRUE(eventually([&] { return !window().isMinimized() && form().window.state() == WindowState::Normal; }));
    EXPECT_EQ(windowManagerState(window()), "Normal");
}

}  // namespace
}  // namespace tamberlyn::qttest
