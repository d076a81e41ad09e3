// What the program keeps for the user: the settings file across a restart, and the
// autostart entry behind the log-in option.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "ProgramFixture.h"

namespace tamberlyn::qttest {
namespace {

QString contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Root passes every permission check; for as long as this lives, this thread (the one the
// program runs on) gives up the capabilities that let it, as any other user never had them.
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride() {
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        syscall(SYS_capset, &header_, reduced);
    }
    ~WithoutPermissionOverride() { syscall(SYS_capset, &header_, saved_); }
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

using Settings = ProgramTest;

TEST_F(Settings, ARestartBringsBackTheListAndMonitoringFromTheIniFile) {
    start();
    add("Calculator");
    add("a = b; c, d");  // INI's own punctuation
    click("PushButton2");
    EXPECT_EQ(settingsFile(), config.path() + "/Quillmark/Quillmark.ini");
    const QString ini = settingsText();
    EXPECT_TRUE(ini.startsWith("[Tamberlyn]\n")) << ini;
    EXPECT_TRUE(ini.contains("StartStopState=On\n")) << ini;
    EXPECT_TRUE(ini.contains("Listview=")) << ini;

    restart();
    EXPECT_EQ(rows(), (QStringList{"Calculator", "a = b; c, d"}));
    EXPECT_EQ(widget<QPushButton>("PushButton2").text(), "Stop Monitoring");
    QProcess calculator;
    calculator.start("xcalc", {});
    EXPECT_TRUE(eventually([&] { return calculator.state() == QProcess::NotRunning; }))
        << "monitoring runs again without a click";
}

TEST_F(Settings, TheLogInOptionWritesAndRemovesTheAutostartEntry) {
    start();
    const QString entry = config.path() + "/autostart/tamberlyn.desktop";
    QTest::mouseClick(&widget<QCheckBox>("Check6"), Qt::LeftButton);
    EXPECT_EQ(contentsOf(entry), "[Desktop Entry]\nType=Application\nName=Tamberlyn\nExec=\"" +
                                     QCoreApplication::applicationFilePath() + "\"\nX-GNOME-Autostart-enabled=true\n");
    EXPECT_TRUE(settingsText().contains("Windows%20Startup=On")) << settingsText();
    EXPECT_FALSE(widget<QCheckBox>("Check8").isVisibleTo(&window())) << "the tray option shows from the next start";

    add("nothing-has-this-title");
    restart();
    EXPECT_TRUE(widget<QCheckBox>("Check6").isChecked());
    QCheckBox& startInTray = widget<QCheckBox>("Check8");
    ASSERT_TRUE(startInTray.isVisibleTo(&window()));
    QTest::mouseClick(&startInTray, Qt::LeftButton);
    EXPECT_TRUE(settingsText().contains("Minimized=On"));

    restart();  // "start in system tray" starts monitoring
    EXPECT_TRUE(widget<QCheckBox>("Check8").isChecked());
    EXPECT_EQ(widget<QPushButton>("PushButton2").text(), "Stop Monitoring");

    QTest::mouseClick(&widget<QCheckBox>("Check6"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_TRUE(settingsText().contains("Windows%20Startup=Off"));
}

TEST_F(Settings, AnEntryThatCannotBeWrittenLeavesTheOptionOffAndSaysWhy) {
    QDir().mkpath(config.path());
    QFile blocker(config.path() + "/autostart");  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    BoxAnswerer user;
    QCheckBox& logIn = widget<QCheckBox>("Check6");
    QTest::mouseClick(&logIn, Qt::LeftButton);
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(user.boxes[0].text.startsWith(
        "Tamberlyn could not be set to start when you log in, so the option stays off.\n\nThe folder " +
        config.path() + "/autostart could not be created."))
        << user.boxes[0].text;
    EXPECT_FALSE(logIn.isChecked());
    EXPECT_TRUE(settingsText().contains("Windows%20Startup=Off"));
}

TEST_F(Settings, AnEntryThatCannotBeRemovedKeepsTheOptionOnAndSaysWhy) {
    start();
    QCheckBox& logIn = widget<QCheckBox>("Check6");
    QTest::mouseClick(&logIn, Qt::LeftButton);
    const QString folder = config.path() + "/autostart";
    const QString entry = folder + "/tamberlyn.desktop";
    ASSERT_TRUE(QFile::exists(entry));
    // As after a run with more rights: the folder may no longer be changed.
    const QFile::Permissions writable = QFile::permissions(folder);
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    {
        WithoutPermissionOverride asAnyUser;
        BoxAnswerer user;
        QTest::mouseClick(&logIn, Qt::LeftButton);
        ASSERT_EQ(user.boxes.size(), 1u);
        EXPECT_EQ(user.boxes[0].icon, QMessageBox::Warning);
        EXPECT_EQ(user.boxes[0].text,
                  "Tamberlyn still starts when you log in: its autostart entry could not be removed, so the option "
                  "stays on.\n\nThe file " + entry + " could not be removed: Permission denied");
    }
    QFile::setPermissions(folder, writable);
    EXPECT_TRUE(QFile::exists(entry));
    EXPECT_TRUE(logIn.isChecked());
    EXPECT_TRUE(settingsText().contains("Windows%20Startup=On")) << settingsText();
}

TEST_F(Settings, ASettingsFileThatCannotBeWrittenIsReported) {
    QDir().mkpath(config.path());
    QFile blocker(config.path() + "/Quillmark");  // a file where the settings folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    BoxAnswerer user;
    add("kept on screen");
    EXPECT_EQ(rows(), QStringList{"kept on screen"});
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].title, "Application Error");
    EXPECT_TRUE(user.boxes[0].text.startsWith("The settings file " + settingsFile() + " cannot be"))
        << user.boxes[0].text;
    EXPECT_TRUE(user.boxes[0].text.contains("Form1.PushButton1_Click at line 106"));
}

}  // namespace
}  // namespace tamberlyn::qttest
