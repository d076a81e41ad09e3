// What the program keeps for the user: the settings file across a restart, and the
// autostart entry behind the log-in option.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>

#include <optional>

#include "ProgramFixture.h"
#include "platform/qt/QtSettingsStore.h"
#include "watchlist/WatchListStore.h"

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

void writeFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

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

TEST_F(Settings, AListEditedByHandWithCommasStartsAsWrittenAndTheNextEditKeepsIt) {
    writeFile(settingsFile(), "[Tamberlyn]\nListview=Calculator, Scientific||||||||---|||Tom; Jerry||||||||---|||\n");
    start();
    EXPECT_EQ(rows(), (QStringList{"Calculator, Scientific", "Tom; Jerry"}));
    add("Notepad");
    restart();
    EXPECT_EQ(rows(), (QStringList{"Calculator, Scientific", "Tom; Jerry", "Notepad"}));
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("Tamberlyn/Listview"),
              "Calculator, Scientific||||||||---|||Tom; Jerry||||||||---|||Notepad||||||||---|||")
        << settingsText();
}

TEST_F(Settings, AListThatCannotBeReadIsReportedAndLeftAsItIs) {
    const QByteArray contents = "[Tamberlyn]\nListview=He said \"hi\", then left||||||||---|||\n";
    writeFile(settingsFile(), contents);
    BoxAnswerer user;
    start();
    EXPECT_TRUE(rows().isEmpty());
    add("Notepad");
    ASSERT_EQ(user.boxes.size(), 2u);
    const QString problem = "The settings file " + settingsFile() +
                            " holds a value of Listview on line 2 that cannot be read as it is written. Tamberlyn "
                            "leaves it as it is: correct or remove it.";
    EXPECT_TRUE(user.boxes[0].text.startsWith(problem + "\nin Orvandel2021/08/31.Form1.Form_Load at line 112"))
        << user.boxes[0].text;
    EXPECT_TRUE(user.boxes[1].text.startsWith(problem + "\nin Orvandel2021/08/31.Form1.PushButton1_Click at line 106"))
        << user.boxes[1].text;
    EXPECT_EQ(settingsText().toUtf8(), contents);
}

// Settings files as people leave them, by hand or by accident: what the list shows at start,
// what is said, and whether a fragment the user wrote is lost once one is added. A file that
// cannot be read as it is written is named with its line and left as it is, every save.
TEST_F(Settings, EverySettingsFileShowsWhatItHoldsOrIsReportedAndLeftAsItIs) {
    const QByteArray S = "||||||||---|||";
    QByteArray fiveMegabytes = "[Tamberlyn]\nListview=";
    QStringList manyFragments;
    for (int i = 0; manyFragments.size() < 150000; ++i) {
        manyFragments << QStringLiteral("Special offer %1").arg(i);
        fiveMegabytes += manyFragments.back().toUtf8() + S;
    }
    fiveMegabytes += '\n';
    const QString lastFragment = QStringLiteral("Special offer 149999");

    enum Place { AFile, AFolder, ALoopOfLinks, AFileNobodyMayRead };
    struct Case {
        const char* what;
        QByteArray contents;
        QStringList shown;
        QString said;  // after the file's name; empty: nothing is said
        Place place = AFile;
        QString saidAtSave = {};  // when not the same
    };
    const Case cases[] = {
        {"a list as the program writes it", "[Tamberlyn]\nListview=Calculator" + S + "Notepad" + S + "\n",
         {"Calculator", "Notepad"}, ""},
        {"escapes as an INI file writes them", "[Tamberlyn]\nListview=\"C:\\\\Temp" + S + "Tab\\there, \\x41\\101" + S + "\"\n",
         {"C:\\Temp", "Tab\there, AA"}, ""},
        {"backslashes that escape nothing", "[Tamberlyn]\nListview=C:\\Temp\\x" + S + "Plain" + S + "\n", {},
         " holds a value of Listview on line 2 that cannot be read as it is written."},
        {"a network path", "[Tamberlyn]\n\nListview=\\\\server\\share" + S + "\n", {},
         " holds a value of Listview on line 3 that cannot be read as it is written."},
        {"quotes inside the text", "[Tamberlyn]\nListview=He said \"hi\", then left" + S + "\n", {},
         " holds a value of Listview on line 2 that cannot be read as it is written."},
        {"a separator broken over two lines", "[Tamberlyn]\nListview=Abc||||||||\n---|||Def" + S + "\n", {},
         " holds a line that is neither [section] nor key=value, on line 3."},
        {"the last fragment without its separator", "[Tamberlyn]\nListview=Calculator\n", {"Calculator"}, ""},
        {"a separator cut short after the last", "[Tamberlyn]\nListview=First" + S + "Last||||||||---|\n",
         {"First", "Last"}, ""},
        {"Latin-1 text", "[Tamberlyn]\nStartStopState=Off\nListview=Caf\xe9" + S + "\n", {},
         " holds text that is not UTF-8 on line 3."},
        {"Listview twice", "[Tamberlyn]\nListview=One" + S + "\nStartStopState=Off\nListview=Two" + S + "\n", {},
         " holds Listview twice in [Tamberlyn], on lines 2 and 4."},
        {"a byte order mark", "\xEF\xBB\xBF[Tamberlyn]\nListview=Calculator" + S + "\n", {"Calculator"}, ""},
        {"a NUL", QByteArray("[Tamberlyn]\nListview=Nul") + '\0' + "Inside" + S + "\n",
         {QString::fromUtf8("Nul\0Inside", 10)}, ""},
        {"CRLF line ends", "[Tamberlyn]\r\nListview=A" + S + "B" + S + "\r\nStartStopState=Off\r\n", {"A", "B"}, ""},
        {"no [Tamberlyn] section", "[Other]\nListview=Not ours" + S + "\n", {}, ""},
        {"five megabytes", fiveMegabytes, manyFragments, ""},
        {"a folder in place of the file", "", {}, " cannot be read: it is a folder.", AFolder,
         " cannot be saved: it is a folder."},
        {"a loop of symbolic links", "", {}, " cannot be read: Too many levels of symbolic links.", ALoopOfLinks,
         " cannot be saved: Too many levels of symbolic links."},
        {"a file nobody may read", "[Tamberlyn]\nListview=Kept" + S + "\n", {}, " cannot be read: Permission denied.",
         AFileNobodyMayRead, " cannot be saved: Tamberlyn may neither read nor write it."},
    };
    const QString file = settingsFile();
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        program.reset();
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(file);
        QDir(file).removeRecursively();
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (row.place == AFolder) QDir().mkpath(file);
        if (row.place == ALoopOfLinks) QFile::link(file, file);
        if (row.place == AFile || row.place == AFileNobodyMayRead) writeFile(file, row.contents);
        if (row.place == AFileNobodyMayRead) QFile::setPermissions(file, {});
        BoxAnswerer user;
        {
            std::optional<WithoutPermissionOverride> asAnyUser;
            if (row.place == AFileNobodyMayRead) asAnyUser.emplace();
            start();
            EXPECT_EQ(rows().size(), row.shown.size());
            if (rows() != row.shown) ADD_FAILURE() << "shown: " << rows().mid(0, 5).join(" / ");
            add("Added");
        }
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);

        const QString problem = "The settings file " + file + row.said;
        const QString problemAtSave = "The settings file " + file + (row.saidAtSave.isEmpty() ? row.said : row.saidAtSave);
        if (row.said.isEmpty()) {
            EXPECT_TRUE(user.boxes.empty()) << user.boxes[0].text;
            QtSettingsStore store;
            const QStringList expected = row.shown + QStringList{"Added"};
            QStringList stored;
            for (const std::string& entry : SplitWatchList(*store.read("Quillmark", "Tamberlyn", "Listview"))) {
                stored << QString::fromStdString(entry);
            }
            EXPECT_EQ(stored.size(), expected.size());
            EXPECT_TRUE(stored == expected) << "stored: " << stored.mid(0, 5).join(" / ");
            if (row.contents.contains("Not ours")) {
                EXPECT_TRUE(settingsText().contains("Not ours")) << settingsText();
            }
            continue;
        }
        EXPECT_EQ(user.boxes.size(), 2u) << "one at start, one at the save";
        if (user.boxes.size() != 2) continue;
        EXPECT_TRUE(user.boxes[0].text.startsWith(problem)) << user.boxes[0].text;
        EXPECT_TRUE(user.boxes[0].text.contains("in Orvandel2021/08/31.Form1.Form_Load at line 112"));
        EXPECT_TRUE(user.boxes[1].text.startsWith(problemAtSave)) << user.boxes[1].text;
        EXPECT_TRUE(user.boxes[1].text.contains("in Orvandel2021/08/31.Form1.PushButton1_Click at line 106"));
        EXPECT_EQ(rows(), QStringList{"Added"}) << "the change holds on screen";
        if (row.place == AFolder) {
            EXPECT_TRUE(QFileInfo(file).isDir());
        }
        if (row.place == ALoopOfLinks) {
            EXPECT_EQ(QFileInfo(file).symLinkTarget(), file);
        }
        if (row.place == AFile || row.place == AFileNobodyMayRead) {
            QFile kept(file);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), row.contents);
        }
    }
    program.reset();
    QFile::remove(file);
}

TEST_F(Settings, TheLogInOptionWritesAndRemovesTheAutostartEntry) {
    start();
    const QString entry = config.path() + "/autostart/tamberlyn.desktop";
    QTest::mouseClick(&widget<QCheckBox>("Check6"), Qt::LeftButton);
    EXPECT_EQ(contentsOf(entry), "[Desktop Entry]\nType=Application\nName=Tamberlyn\nIcon=example.quillmark.Tamberlyn\n"
                                 "Exec=\"" +
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

    program.reset();
    launch();  // in the tray, monitoring as it was
    EXPECT_TRUE(widget<QCheckBox>("Check8").isChecked());
    EXPECT_TRUE(window().isHidden());
    EXPECT_EQ(widget<QPushButton>("PushButton2").text(), "Start Monitoring");
    form().cSysTray1_MouseUp(1, 0);  // the icon's click
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window(), 20000));

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

TEST_F(Settings, AMissingSettingsFolderIsMadeAtTheFirstSaveOrSaysWhyNot) {
    start();
    BoxAnswerer user;
    add("kept");
    EXPECT_TRUE(user.boxes.empty());
    EXPECT_TRUE(settingsText().contains("Listview=kept||||||||---|||")) << settingsText();

    program.reset();
    QDir(config.path()).removeRecursively();
    QDir().mkpath(QFileInfo(config.path()).absolutePath());
    QFile blocker(config.path());  // a file where the settings folders should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    add("kept on screen");
    EXPECT_EQ(rows(), QStringList{"kept on screen"});
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].title, "Application Error");
    EXPECT_TRUE(user.boxes[0].text.startsWith(
        "The settings file " + settingsFile() + " cannot be saved: the folder " + config.path() +
        "/Quillmark cannot be made: " + config.path() +
        " is a file, not a folder. The change holds until Tamberlyn ends; the file keeps what it held.\n"
        "in Orvandel2021/08/31.Form1.PushButton1_Click at line 106"))
        << user.boxes[0].text;
    QFile::remove(config.path());
}

TEST_F(Settings, AReadOnlySettingsFolderOrFileIsReportedAtEverySaveAndTheFileKeepsWhatItHeld) {
    const QByteArray stored = "[Tamberlyn]\nListview=first||||||||---|||\nStartStopState=Off\n";
    writeFile(settingsFile(), stored);
    const QString folder = QFileInfo(settingsFile()).absolutePath();
    const QFile::Permissions writable = QFile::permissions(folder);
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    BoxAnswerer user;
    {
        WithoutPermissionOverride asAnyUser;
        start();
        EXPECT_TRUE(user.boxes.empty()) << "reading is allowed";
        EXPECT_EQ(rows(), QStringList{"first"});
        add("second");
        click("PushButton2");
    }
    const QString problem = "The settings file " + settingsFile() + " cannot be saved: Tamberlyn may not write in the "
                            "folder " + folder + ". The change holds until Tamberlyn ends; the file keeps what it held.";
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_TRUE(user.boxes[0].text.startsWith(problem + "\nin Orvandel2021/08/31.Form1.PushButton1_Click at line 106"))
        << user.boxes[0].text;
    EXPECT_TRUE(user.boxes[1].text.startsWith(problem + "\nin Orvandel2021/08/31.Form1.PushButton2_Click at line 108"))
        << user.boxes[1].text;
    EXPECT_EQ(rows(), (QStringList{"first", "second"}));
    EXPECT_EQ(widget<QPushButton>("PushButton2").text(), "Stop Monitoring");
    EXPECT_EQ(settingsText().toUtf8(), stored);

    // The folder may be written again, the file not.
    ASSERT_TRUE(QFile::setPermissions(folder, writable));
    const QFile::Permissions fileWritable = QFile::permissions(settingsFile());
    ASSERT_TRUE(QFile::setPermissions(settingsFile(), QFile::ReadOwner));
    {
        WithoutPermissionOverride asAnyUser;
        add("third");
    }
    ASSERT_EQ(user.boxes.size(), 3u);
    EXPECT_TRUE(user.boxes[2].text.startsWith("The settings file " + settingsFile() +
                                              " cannot be saved: the file is read-only."))
        << user.boxes[2].text;
    EXPECT_EQ(settingsText().toUtf8(), stored);

    // Once it may be written, the next save keeps everything the program held meanwhile.
    ASSERT_TRUE(QFile::setPermissions(settingsFile(), fileWritable));
    add("fourth");
    EXPECT_EQ(user.boxes.size(), 3u);
    restart();
    EXPECT_EQ(rows(), (QStringList{"first", "second", "third", "fourth"}));
}

TEST_F(Settings, ASettingsFileThatCannotBeReadIsReportedOnceAtStartAndNeverSavedOver) {
    QDir().mkpath(settingsFile());  // a folder where the file should be
    BoxAnswerer user;
    start();
    ASSERT_EQ(user.boxes.size(), 1u) << "one box for the four settings read at start";
    EXPECT_TRUE(user.boxes[0].text.startsWith("The settings file " + settingsFile() +
                                              " cannot be read: it is a folder.\n"
                                              "in Orvandel2021/08/31.Form1.Form_Load at line 112"))
        << user.boxes[0].text;
    add("kept on screen");
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_TRUE(user.boxes[1].text.startsWith("The settings file " + settingsFile() +
                                              " cannot be saved: it is a folder. The change holds"))
        << user.boxes[1].text;
    EXPECT_EQ(rows(), QStringList{"kept on screen"});
    EXPECT_TRUE(QFileInfo(settingsFile()).isDir());
    program.reset();
    QDir(settingsFile()).removeRecursively();

    // A file Tamberlyn may not read is not written over with only what it changed.
    const QByteArray stored = "[Tamberlyn]\nListview=first||||||||---|||\nWindows%20Startup=On\n";
    writeFile(settingsFile(), stored);
    ASSERT_TRUE(QFile::setPermissions(settingsFile(), QFile::WriteOwner));
    user.boxes.clear();
    {
        WithoutPermissionOverride asAnyUser;
        start();
        add("second");
    }
    ASSERT_TRUE(QFile::setPermissions(settingsFile(), QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_TRUE(user.boxes[0].text.startsWith("The settings file " + settingsFile() +
                                              " cannot be read: Permission denied.\n"))
        << user.boxes[0].text;
    EXPECT_TRUE(user.boxes[1].text.startsWith("The settings file " + settingsFile() +
                                              " cannot be saved: Tamberlyn may not read it."))
        << user.boxes[1].text;
    EXPECT_EQ(settingsText().toUtf8(), stored);
}

}  // namespace
}  // namespace tamberlyn::qttest
