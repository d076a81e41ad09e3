// The notification-area adapter: Shell_NotifyIcon's records onto QSystemTrayIcon (trayer
// hosts it), and Qt's signals back as the shell's notification codes.

#include <gtest/gtest.h>

#include <QLabel>

#include "QtTestSupport.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtNotifyIcon.h"
#include "platform/qt/QtTrayHook.h"
#include "tray/cSysTray.h"

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
    NotifyIconRecord record(std::uint32_t flags) {
        NotifyIconRecord r;
        r.uID = 3;
        r.uFlags = flags;
        r.hIcon = desktop.applicationIcon().handle;
        return r;
    }

    QtDesktop desktop{[] {}};
    QtNotifyIcon icon{desktop};
    QSystemTrayIcon& tray = icon.trayIcon();
};

TEST_F(TrayAdapter, TheRecordsShowChangeAndRemoveTheIcon) {
    ASSERT_TRUE(eventually([&] { return icon.trayAvailable(); })) << "trayer is the tray";
    NotifyIconRecord add = record(kNifIcon | kNifTip | kNifMessage);
    add.szTip = "Tamberlyn";
    icon.notify(NotifyOperation::Add, add);
    EXPECT_TRUE(tray.isVisible());
    EXPECT_FALSE(tray.icon().isNull());
    EXPECT_EQ(tray.toolTip(), "Tamberlyn");
    EXPECT_EQ(icon.iconId(), 3);

    NotifyIconRecord tip = record(kNifTip);
    tip.szTip = "Another tip";
    icon.notify(NotifyOperation::Modify, tip);
    EXPECT_EQ(tray.toolTip(), "Another tip");

    NotifyIconRecord balloon = record(kNifInfo);
    balloon.szInfoTitle = "Tamberlyn";
    balloon.szInfo = "first line\r\nsecond line";
    balloon.uTimeout = 5000;
    icon.notify(NotifyOperation::Modify, balloon);
    ASSERT_TRUE(eventually([] { return shownBalloon() != nullptr; }));
    QStringList texts;
    for (const QLabel* label : shownBalloon()->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("first line\nsecond line")) << texts.join('|');

    balloon.szInfoTitle.clear();
    balloon.szInfo.clear();
    icon.notify(NotifyOperation::Modify, balloon);  // no texts: the balloon goes
    EXPECT_TRUE(eventually([] { return shownBalloon() == nullptr; }));
    EXPECT_EQ(tray.toolTip(), "Another tip");

    icon.notify(NotifyOperation::Delete, record(0));
    EXPECT_FALSE(tray.isVisible());
}

struct Received final : TrayMessageSink {
    void HandleTrayMessage(std::int32_t notification, std::int32_t iconId) override {
        codes.push_back(notification);
        ids.push_back(iconId);
    }
    std::vector<std::int32_t> codes;
    std::vector<std::int32_t> ids;
};

TEST_F(TrayAdapter, ClicksArriveAsTheShellsNotificationCodesWhileInstalled) {
    icon.notify(NotifyOperation::Add, record(kNifIcon));
    QtTrayHook hook(icon);
    Received sink;
    hook.install(0, sink);
    emit tray.activated(QSystemTrayIcon::Trigger);
    emit tray.activated(QSystemTrayIcon::Context);
    emit tray.activated(QSystemTrayIcon::DoubleClick);
    emit tray.messageClicked();
    EXPECT_EQ(sink.codes, (std::vector<std::int32_t>{0x201, 0x202, 0x204, 0x205, 0x203, 0x405}));
    EXPECT_EQ(sink.ids, std::vector<std::int32_t>(6, 3));

    hook.install(0, sink);  // installed again: still one delivery per click
    emit tray.activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(sink.codes.size(), 8u);

    hook.remove(0);
    emit tray.activated(QSystemTrayIcon::Trigger);
    emit tray.messageClicked();
    EXPECT_EQ(sink.codes.size(), 8u);
}

}  // namespace
}  // namespace tamberlyn::qttest
