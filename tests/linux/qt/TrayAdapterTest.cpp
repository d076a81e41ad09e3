// The notification-area adapter: the tray control's requests onto QSystemTrayIcon (trayer
// hosts it), and Qt's signals back as the control's events.

#include <gtest/gtest.h>

#include <QLabel>

#include "QtTestSupport.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtNotifyIcon.h"
#include "platform/qt/QtTrayHook.h"

namespace tamberlyn::qttest {
namespace {

QWidget* shownBalloon() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QBalloonTip") && widget->isVisible()) return widget;
    }
    return nullptr;
}

class TrayAdapter : public ::testing::Test {
protected:
    QtDesktop desktop{[] {}};
    QtNotifyIcon icon{desktop};
    QSystemTrayIcon& tray = icon.trayIcon();
    const IconHandle picture = desktop.applicationIcon().handle;
};

TEST_F(TrayAdapter, TheRequestsShowChangeAndRemoveTheIcon) {
    ASSERT_TRUE(eventually([&] { return icon.trayAvailable(); })) << "trayer is the tray";
    icon.addIcon(3, picture, "Tamberlyn");
    EXPECT_TRUE(tray.isVisible());
    EXPECT_FALSE(tray.icon().isNull());
    EXPECT_EQ(tray.toolTip(), "Tamberlyn");
    EXPECT_EQ(icon.iconId(), 3);

    icon.changeTip(3, "Another tip");
    EXPECT_EQ(tray.toolTip(), "Another tip");

    icon.showBalloon(3, "Tamberlyn", "first line\r\nsecond line", 5000);
    ASSERT_TRUE(eventually([] { return shownBalloon() != nullptr; }));
    QStringList texts;
    for (const QLabel* label : shownBalloon()->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("first line\nsecond line")) << texts.join('|');

    icon.showBalloon(3, "", "", 5000);  // no texts: the balloon goes
    EXPECT_TRUE(eventually([] { return shownBalloon() == nullptr; }));
    EXPECT_EQ(tray.toolTip(), "Another tip");

    icon.deleteIcon(3);
    EXPECT_FALSE(tray.isVisible());
}

struct Received final : TrayMessageSink {
    void HandleTrayMessage(TrayEvent event, std::int32_t iconId) override {
        events.push_back(event);
        ids.push_back(iconId);
    }
    std::vector<TrayEvent> events;
    std::vector<std::int32_t> ids;
};

TEST_F(TrayAdapter, ClicksArriveAsTheControlsEventsWhileInstalled) {
    icon.addIcon(3, picture, std::nullopt);
    QtTrayHook hook(icon);
    Received sink;
    hook.install(0, sink);
    emit tray.activated(QSystemTrayIcon::Trigger);
    emit tray.activated(QSystemTrayIcon::Context);
    emit tray.activated(QSystemTrayIcon::DoubleClick);
    emit tray.activated(QSystemTrayIcon::MiddleClick);
    emit tray.messageClicked();
    EXPECT_EQ(sink.events, (std::vector<TrayEvent>{TrayEvent::LeftButtonDown, TrayEvent::LeftButtonUp,
                                                   TrayEvent::RightButtonDown, TrayEvent::RightButtonUp,
                                                   TrayEvent::LeftDoubleClick, TrayEvent::MiddleButtonUp,
                                                   TrayEvent::BalloonClicked}));
    EXPECT_EQ(sink.ids, std::vector<std::int32_t>(7, 3));

    hook.install(0, sink);  // installed again: still one delivery per click
    emit tray.activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(sink.events.size(), 9u);

    hook.remove(0);
    emit tray.activated(QSystemTrayIcon::Trigger);
    emit tray.messageClicked();
    EXPECT_EQ(sink.events.size(), 9u);
}

}  // namespace
}  // namespace tamberlyn::qttest
