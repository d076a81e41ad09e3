// The notification-area adapter: the tray control's requests onto QSystemTrayIcon (trayer
// hosts it), and Qt's signals back as what the user did.

#include <gtest/gtest.h>

#include <QLabel>

#include "QtTestSupport.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtNotifyIcon.h"

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

TEST_F(TrayAdapter, ClicksArriveAsIntentsWithTheIconsId) {
    std::vector<std::pair<TrayIntent, std::int32_t>> told;
    icon.intentArrived = [&](TrayIntent intent, std::int32_t id) { told.emplace_back(intent, id); };
    icon.addIcon(3, picture, std::nullopt);
    emit tray.activated(QSystemTrayIcon::Trigger);
    emit tray.activated(QSystemTrayIcon::Context);
    emit tray.activated(QSystemTrayIcon::DoubleClick);  // follows a Trigger, which said it all
    emit tray.activated(QSystemTrayIcon::MiddleClick);
    emit tray.messageClicked();
    EXPECT_EQ(told, (std::vector<std::pair<TrayIntent, std::int32_t>>{{TrayIntent::Activated, 3},
                                                                      {TrayIntent::ContextActivated, 3},
                                                                      {TrayIntent::BalloonClicked, 3}}));
}

}  // namespace
}  // namespace tamberlyn::qttest
