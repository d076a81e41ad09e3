// The Qt adapters on their own, where the whole program does not reach them easily.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <random>
#include <set>

#include "FakeWindowServices.h"
#include "QtTestSupport.h"
#include "platform/PlatformError.h"
#include "platform/qt/IniLines.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtProgramFiles.h"
#include "platform/qt/QtProgramLauncher.h"
#include "platform/qt/QtProgram.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtSkinEngine.h"
#include "platform/linux/FallbackWindowServices.h"
#include "platform/linux/InstanceName.h"
#include "platform/linux/WindowSystem.h"
#include "platform/linux/XdgAutostartEntry.h"

namespace tamberlyn::qttest {
namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SettingsFile, ValuesRoundTripAndAbsentValuesAreNothing) {
    ScratchConfig config;
    QtSettingsStore store;
    EXPECT_EQ(store.read("Quillmark", "Tamberlyn", "Listview"), std::nullopt);
    const std::string awkward = " leading space, commas; \"quotes\" = ünïcode\\ ||||||||---|||";
    store.write("Quillmark", "Tamberlyn", "Listview", awkward);
    store.write("Quillmark", "Tamberlyn", "Windows Startup", "On");
    EXPECT_EQ(store.read("Quillmark", "Tamberlyn", "Listview"), awkward);
    EXPECT_EQ(store.read("Quillmark", "Tamberlyn", "Windows Startup"), "On");
    EXPECT_EQ(store.read("Quillmark", "Tamberlyn", "Other"), std::nullopt);
    EXPECT_EQ(store.read("Quillmark", "Other", "Listview"), std::nullopt);

    // Whatever the program stores comes back, in whatever the INI format makes of it.
    std::mt19937 random{20260110};
    const std::string pieces[] = {"a", " ", ",", ";", "\"", "\\", "=", "@", "#", "[x]", "%20", "\t", "\n", "é", "|"};
    for (int round = 0; round < 300; ++round) {
        std::string value;
        for (int i = std::uniform_int_distribution<int>(0, 8)(random); i > 0; --i) {
            value += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
        }
        store.write("Quillmark", "Tamberlyn", "Listview", value);
        ASSERT_EQ(store.read("Quillmark", "Tamberlyn", "Listview"), value);
    }
}

// Written by hand, or by another instance of the program since: read afresh, as written.
TEST(SettingsFile, HandWrittenValuesReadAsTheyAreWrittenAndStaySoWhenTheProgramSaves) {
    ScratchConfig config;
    QtSettingsStore store;
    const QString file = config.path() + "/Quillmark/Quillmark.ini";
    const auto read = [&](const char* key) { return store.read("Quillmark", "Tamberlyn", key); };
    // Commas would be a list to QSettings, a semicolon the start of a comment.
    const std::string list = "Calculator, Notepad,Inc ,  x||||||||---|||Tom; Jerry||||||||---|||";
    writeFile(file, "; kept by hand\r\n[Other]\r\nListview=not this one\r\n[Tamberlyn]\r\nListview = " +
                        QByteArray::fromStdString(list) +
                        "  \r\nWindows Startup=On\r\nMinimized=\"On\"\r\nStartStopState=On\r\n");
    EXPECT_EQ(read("Listview"), list);
    EXPECT_EQ(read("Windows Startup"), "On");
    EXPECT_EQ(read("Minimized"), "On") << "quotes as QSettings writes them";
    EXPECT_EQ(read("StartStopState"), "On");

    store.write("Quillmark", "Tamberlyn", "StartStopState", "Off");
    EXPECT_EQ(read("Listview"), list);
    EXPECT_EQ(read("StartStopState"), "Off");
    EXPECT_EQ(QSettings(file, QSettings::IniFormat).value("Tamberlyn/Listview"), QString::fromStdString(list))
        << readFile(file).toStdString();
    EXPECT_EQ(QSettings(file, QSettings::IniFormat).value("Other/Listview"), "not this one");

    // Every plain text a person may type there.
    std::mt19937 random{20260111};
    const std::string pieces[] = {"a", "B", " ", ",", ";", "=", "|", "-", "é", "#", "[", "]", "%41", "@"};
    for (int round = 0; round < 300; ++round) {
        std::string value;
        for (int i = std::uniform_int_distribution<int>(1, 10)(random); i > 0; --i) {
            value += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
        }
        while (!value.empty() && (value.front() == ' ' || value.front() == '@')) value.erase(0, 1);
        while (!value.empty() && value.back() == ' ') value.pop_back();
        writeFile(file, "[Tamberlyn]\nListview=" + QByteArray::fromStdString(value) + "\nMinimized=On\n");
        ASSERT_EQ(read("Listview"), value);
        store.write("Quillmark", "Tamberlyn", "Minimized", "Off");
        ASSERT_EQ(read("Listview"), value) << readFile(file).toStdString();
        ASSERT_EQ(QSettings(file, QSettings::IniFormat).value("Tamberlyn/Listview"), QString::fromStdString(value));
    }
}

TEST(SettingsFile, AValueThatCannotBeReadAsWrittenIsReportedAndNeverOverwritten) {
    ScratchConfig config;
    QtSettingsStore store;
    const QString file = config.path() + "/Quillmark/Quillmark.ini";
    const std::string message = "The settings file " + file.toStdString() +
                                " holds a value of Listview on line 3 that cannot be read as it is written. "
                                "Tamberlyn leaves it as it is: correct or remove it.";
    for (const QByteArray& value : {QByteArray("He said \"hi\", then left||||||||---|||"),
                                    QByteArray("\"unfinished||||||||---|||"), QByteArray("@Variant(junk)")}) {
        const QByteArray contents = "[Tamberlyn]\nStartStopState=On\nListview=" + value + "\n";
        writeFile(file, contents);
        try {
            store.read("Quillmark", "Tamberlyn", "Listview");
            ADD_FAILURE() << "read " << value.toStdString();
        } catch (const PlatformError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
        EXPECT_EQ(store.read("Quillmark", "Tamberlyn", "StartStopState"), "On");
        for (const char* key : {"Listview", "StartStopState"}) {
            EXPECT_THROW(store.write("Quillmark", "Tamberlyn", key, "x"), PlatformError) << key;
        }
        EXPECT_EQ(readFile(file), contents);
    }
}

// A value made of pieces whose meaning is known (plain text, escapes, escapes of nothing,
// stray quotes, commas outside quotes) reads as its writer meant it, as QSettings reads it
// too, or is reported; made only of what an INI writer writes, it is never reported.
TEST(SettingsFile, AValueReadsAsItsWriterMeantItOrIsReported) {
    ScratchConfig config;
    QtSettingsStore store;
    struct Piece {
        const char* written;
        std::string meant;
        bool asAnIniWriterWrites;  // outside quotes
    };
    const Piece pieces[] = {
        {"q", "q", true},         {"Z", "Z", true},       {" ", " ", true},      {"é", "é", true},
        {"|", "|", true},         {"=", "=", true},       {",", ",", false},     {";", ";", false},
        {"\\\\", "\\", true},     {"\\t", "\t", true},    {"\\n", "\n", true},   {"\\\"", "\"", true},
        {"\\x41", "A", true},     {"\\x00e9", "é", true}, {"\\101", "A", true},  {"\\0", std::string(1, '\0'), true},
        {"\\?", "?", true},       {"\\\n", "", true},     {"\\T", "\\T", false}, {"\\s", "\\s", false},
        {"\\x", "\\x", false},    {"\\8", "\\8", false},  {"\\xd800", "?", false}, {"\"", "\"", false},
        {"\\x12345", "?", false},
    };
    std::mt19937 random{20260112};
    int read = 0;
    int reported = 0;
    for (int round = 0; round < 2000; ++round) {
        const bool quoted = random() % 3 == 0;
        std::string written;
        std::string meant;
        bool asAnIniWriterWrites = true;
        for (int i = std::uniform_int_distribution<int>(1, 6)(random); i > 0; --i) {
            const Piece& piece = pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
            if (!quoted && written.empty() && piece.written == std::string_view("\"")) continue;  // it would quote
            written += piece.written;
            meant += piece.meant;
            const bool textInQuotes = quoted && (piece.meant == "," || piece.meant == ";");
            asAnIniWriterWrites = asAnIniWriterWrites && (piece.asAnIniWriterWrites || textInQuotes);
        }
        if (quoted) written = '"' + written + '"';
        if (written.empty() || written.front() == ' ' || written.back() == ' ') continue;  // the line's, not the value's
        // An empty line for a line end escaped at the end to go on over.
        const QByteArray contents = "[Tamberlyn]\nListview=" + QByteArray::fromStdString(written) + "\n\n";
        writeFile(config.path() + "/Quillmark/Quillmark.ini", contents);
        try {
            const std::optional<std::string> value = store.read("Quillmark", "Tamberlyn", "Listview");
            ++read;
            ASSERT_EQ(value, meant) << written;
            // QSettings keeps its last reading of a file with the same size and time: a new name each time.
            const QString same = config.path() + QStringLiteral("/same%1.ini").arg(round);
            writeFile(same, contents);
            if (written.find_first_of("\"\\") != std::string::npos) {
                ASSERT_EQ(QSettings(same, QSettings::IniFormat).value("Tamberlyn/Listview").toString().toStdString(), meant)
                    << written;
            }
        } catch (const PlatformError&) {
            ++reported;
            ASSERT_FALSE(asAnIniWriterWrites) << written;
        }
    }
    EXPECT_GT(read, 200);
    EXPECT_GT(reported, 200);
}

// A value goes on over the next line inside quotes or after a backslash, however many lines
// it takes.
TEST(SettingsFile, AValueGoesOnOverLinesInQuotesOrAfterABackslash) {
    std::string manyLines = "\"first";
    for (int i = 0; i < 20000; ++i) manyLines += "\nline " + std::to_string(i);
    manyLines += "\"";
    const std::string file = "[Tamberlyn]\nA=\"one\ntwo\r\nthree\"\nB=x\\\ny\nC=ends in \\\\\nD=next\nLong=" + manyLines +
                             "\nE=\"never closed\nF=swallowed\n";
    const auto values = WrittenValues(file, "Tamberlyn");
    const auto text = [&](const char* key) { return values.count(key) ? values.at(key).text : "(absent)"; };
    EXPECT_EQ(text("A"), "\"one\ntwo\nthree\"");
    EXPECT_EQ(values.at("A").line, 2);
    EXPECT_EQ(text("B"), "x\\\ny");
    EXPECT_EQ(text("C"), "ends in \\\\");
    EXPECT_EQ(text("D"), "next");
    EXPECT_EQ(values.at("D").line, 8);
    EXPECT_EQ(text("Long"), manyLines);
    EXPECT_EQ(text("E"), "\"never closed\nF=swallowed");
    EXPECT_EQ(values.at("E").line, 20010);
    EXPECT_EQ(text("F"), "(absent)");
}

TEST(SettingsFile, AFailedWriteSaysWhichFileAndWhy) {
    ScratchConfig config;
    writeFile(config.path() + "/Quillmark", "not a folder");
    QtSettingsStore store;
    try {
        store.write("Quillmark", "Tamberlyn", "Listview", "x");
        FAIL() << "no error";
    } catch (const PlatformError& e) {
        const std::string folder = config.path().toStdString() + "/Quillmark";
        EXPECT_EQ(std::string(e.what()), "The settings file " + folder + "/Quillmark.ini cannot be saved: the folder " +
                                             folder + " cannot be made: a file has that name. The change holds until "
                                             "Tamberlyn ends; the file keeps what it held.");
    }
}

TEST(AutostartEntry, ExecHoldsThePathAsOneQuotedArgument) {
    EXPECT_EQ(desktopExecValue("/opt/tamberlyn/tamberlyn"), "\"/opt/tamberlyn/tamberlyn\"");
    EXPECT_EQ(desktopExecValue("/home/me/My Apps/tamberlyn"), "\"/home/me/My Apps/tamberlyn\"");
    // Quoting escapes " ` $ \ with a backslash; the string rules then double every backslash.
    EXPECT_EQ(desktopExecValue("/a\"b`c$d\\e/t"), "\"/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e/t\"");
    EXPECT_EQ(desktopExecValue("/100%/t"), "\"/100%%/t\"");  // not a field code
    EXPECT_EQ(desktopExecValue("/new\nline/t"), "\"/new\\nline/t\"");
}

TEST(AutostartEntry, AddWritesTheFileAndRemoveDeletesIt) {
    ScratchConfig config;
    XdgAutostartEntry entry("/opt/My Apps/tamberlyn");
    entry.remove();  // absent: fine
    entry.add();
    const QString file = config.path() + "/autostart/tamberlyn.desktop";
    EXPECT_EQ(XdgAutostartEntry::filePath(), file);
    EXPECT_EQ(readFile(file), "[Desktop Entry]\nType=Application\nName=Tamberlyn\nIcon=example.quillmark.Tamberlyn\n"
                              "Exec=\"/opt/My Apps/tamberlyn\"\nX-GNOME-Autostart-enabled=true\n");
    EXPECT_EQ(QDir(config.path() + "/autostart").entryList(QDir::Files | QDir::Hidden), QStringList{"tamberlyn.desktop"})
        << "no temporary file left beside it";
    entry.remove();
    EXPECT_FALSE(QFile::exists(file));
}

// What desktop-file-validate says of a file: empty when it finds nothing wrong.
QString desktopFileComplaints(const QString& file) {
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(QStringLiteral("desktop-file-validate"), {file});
    if (!validate.waitForFinished(30000)) {
        return QStringLiteral("desktop-file-validate did not run (Debian package desktop-file-utils): ") +
               validate.errorString();
    }
    const QString output = QString::fromUtf8(validate.readAll()).trimmed();
    if (validate.exitStatus() != QProcess::NormalExit || validate.exitCode() != 0) {
        return QStringLiteral("exit status %1: %2").arg(validate.exitCode()).arg(output);
    }
    return output;
}

TEST(AutostartEntry, DesktopFileValidateAcceptsTheEntry) {
    ScratchConfig config;
    for (const QString& program : {QStringLiteral("/usr/bin/tamberlyn"), QStringLiteral("/opt/My Apps/tamberlyn"),
                                   QStringLiteral("/home/a\"b`c$d\\e/100%/t\u00e9")}) {
        XdgAutostartEntry(program).add();
        EXPECT_EQ(desktopFileComplaints(XdgAutostartEntry::filePath()), QString()) << program.toStdString();
    }
}

TEST(AutostartEntry, AnUnwritableEntrySaysWhy) {
    ScratchConfig config;
    QDir().mkpath(config.path() + "/autostart/tamberlyn.desktop");  // a folder in the way
    XdgAutostartEntry entry("/opt/tamberlyn");
    try {
        entry.add();
        FAIL() << "no error";
    } catch (const PlatformError& e) {
        EXPECT_TRUE(QString(e.what()).startsWith("The file " + config.path() + "/autostart/tamberlyn.desktop could "
                                                                               "not be written: "))
            << e.what();
    }    EXPECT_NO_THROW(entry.remove()) << "a folder is no entry that a session runs";
}

TEST(EventLoop, WaitingSleepsUntilTheDeadlineOrAnEvent) {
    QtEventLoop events;
    // Nothing happens: a handful of wake-ups at most, never a spin.
    const Clock::time_point deadline = events.now() + 300ms;
    int wakeUps = 0;
    while (events.now() < deadline) {
        events.waitForEventsUntil(deadline);
        ++wakeUps;
    }
    EXPECT_LT(wakeUps, 30);

    // An event that arrives early ends the wait early, after it ran.
    bool ran = false;
    QTimer::singleShot(50, [&] { ran = true; });
    const Clock::time_point start = events.now();
    while (!ran && events.now() - start < 10s) events.waitForEventsUntil(start + 10s);
    EXPECT_TRUE(ran);
    EXPECT_LT(events.now() - start, 5s);

    // One pass runs what is already pending.
    bool queued = false;
    QMetaObject::invokeMethod(qApp, [&] { queued = true; }, Qt::QueuedConnection);
    events.processPendingEvents();
    EXPECT_TRUE(queued);
}

TEST(MessageBoxes, TextTitleButtonsAndIconAsAsked) {
    QtMessageBoxes messages;
    BoxAnswerer user(QMessageBox::No);
    EXPECT_EQ(messages.show("First line\r\nsecond\rthird <b>not bold</b>", "Tamberlyn", MessageButtons::YesNo,
                            MessageIcon::None),
              MessageResult::No);
    user.setAnswer(QMessageBox::Yes);
    EXPECT_EQ(messages.show("Sure?", "Tamberlyn", MessageButtons::YesNo, MessageIcon::None), MessageResult::Yes);
    EXPECT_EQ(messages.show("Broken", "Application Error", MessageButtons::Ok, MessageIcon::Exclamation),
              MessageResult::Ok);
    ASSERT_EQ(user.boxes.size(), 3u);
    EXPECT_EQ(user.boxes[0].text, "First line\nsecond\nthird <b>not bold</b>");
    EXPECT_EQ(user.boxes[0].title, "Tamberlyn");
    EXPECT_EQ(user.boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(user.boxes[0].defaultButton, QMessageBox::Yes);
    EXPECT_EQ(user.boxes[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(user.boxes[2].buttons, QMessageBox::Ok);
    EXPECT_EQ(user.boxes[2].icon, QMessageBox::Warning);

    EXPECT_EQ(user.boxes[0].format, Qt::PlainText) << "tags show as typed";
}

TEST(MessageBoxes, AQuestionIsAnsweredByItsButtonsOnly) {
    QtMessageBoxes messages;
    int attempts = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        if (++attempts == 1) QTest::keyClick(box, Qt::Key_Escape);
        if (attempts == 2) box->close();  // what a close request to the box's window does
        if (attempts == 3) box->button(QMessageBox::Yes)->click();
    });
    user.start(30);
    EXPECT_EQ(messages.show("Clear?", "Tamberlyn", MessageButtons::YesNo, MessageIcon::None), MessageResult::Yes);
    EXPECT_EQ(attempts, 3);

    attempts = 0;
    QObject::disconnect(&user, nullptr, nullptr, nullptr);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget(); box != nullptr && ++attempts == 1) box->close();
    });
    EXPECT_EQ(messages.show("Noted.", "Tamberlyn", MessageButtons::Ok, MessageIcon::None), MessageResult::Ok)
        << "a box with one button closes like any window";
}

// A .cur file: an .ico written by Qt, marked as a cursor with its hot spot.
QByteArray cursorFile(QPoint hotSpot) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(0, 0, 16, 16, Qt::black);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    EXPECT_TRUE(writer.write(image)) << writer.errorString();
    QByteArray bytes = buffer.data();
    bytes[2] = 2;
    bytes[10] = static_cast<char>(hotSpot.x());
    bytes[12] = static_cast<char>(hotSpot.y());
    return bytes;
}

TEST(Desktop, TheApplicationIconIsABlueQAtBothSizes) {
    QtDesktop desktop;
    const Picture icon = desktop.applicationIcon();
    EXPECT_EQ(icon.type, PictureType::Icon);
    EXPECT_EQ(desktop.applicationIcon().handle, icon.handle) << "one icon, however often asked";
    const QIcon qicon = desktop.icon(icon.handle);
    EXPECT_EQ(qicon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
    const QImage small = qicon.pixmap(16, 16).toImage();
    int blue = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor c = small.pixelColor(x, y);
            blue += c.alpha() > 200 && c.blue() > 150 && c.red() < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(blue, 20) << "the letter is drawn in blue";
    EXPECT_TRUE(desktop.icon(icon.handle + 1).isNull());
}

TEST(Desktop, CursorFilesLoadWithTheirHotSpotAndBadOnesAreRefused) {
    QTemporaryDir dir;
    QtDesktop desktop;
    writeFile(dir.filePath("HAND-M.CUR"), cursorFile({5, 7}));
    const int id = desktop.loadCursorFile(dir.filePath("HAND-M.CUR").toStdString());
    const std::optional<QCursor> cursor = desktop.cursor(id);
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->hotSpot(), QPoint(5, 7));
    EXPECT_EQ(cursor->pixmap().size(), QSize(32, 32));

    writeFile(dir.filePath("text.cur"), "not a cursor");
    EXPECT_THROW(desktop.loadCursorFile(dir.filePath("text.cur").toStdString()), PlatformError);
    EXPECT_THROW(desktop.loadCursorFile(dir.filePath("missing.cur").toStdString()), PlatformError);
}

TEST(ProgramFiles, PathsAndFileTests) {
    QTemporaryDir dir;
    QtProgramFiles files;
    EXPECT_TRUE(QDir::isAbsolutePath(QString::fromStdString(files.executablePath())));
    writeFile(dir.filePath("o.cjs"), "x");
    writeFile(dir.filePath(".hidden"), "x");
    const std::string base = dir.path().toStdString();
    EXPECT_TRUE(files.modificationTimeReadable(base + "/o.cjs"));
    EXPECT_TRUE(files.modificationTimeReadable(base));
    EXPECT_FALSE(files.modificationTimeReadable(base + "/missing"));
    EXPECT_TRUE(files.isOrdinaryFile(base + "/o.cjs"));
    EXPECT_FALSE(files.isOrdinaryFile(base + "/.hidden"));
    EXPECT_FALSE(files.isOrdinaryFile(base));
    EXPECT_FALSE(files.isOrdinaryFile(base + "/missing"));
}

TEST(Launcher, ProgramsStartInTheGivenFolder) {
    QTemporaryDir dir;
    const QString script = dir.filePath("where");
    writeFile(script, "#!/bin/sh\npwd > \"$0.out\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QtProgramLauncher().startProgram(script.toStdString(), "/");
    EXPECT_TRUE(eventually([&] { return readFile(script + ".out") == "/\n"; }));
}

TEST(SkinEngine, AMistakeNamesItsLine) {
    QTemporaryDir dir;
    writeFile(dir.filePath("o.cjs"), "[Tamberlyn Skin]\nWindow = #zzzzzz\n");
    QtSkinEngine skin;
    try {
        skin.loadSkin(dir.filePath("o.cjs").toStdString(), "");
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "Skin file, line 2: \"#zzzzzz\" is not a colour");
    }
    EXPECT_THROW(skin.loadSkin(dir.filePath("missing.cjs").toStdString(), ""), PlatformError);
}

TEST(SkinEngine, ColoursGoToTheirPartsOfTheMainWindow) {
    ScratchConfig config;
    QTemporaryDir dir;
    writeFile(dir.filePath("o.cjs"), "\xEF\xBB\xBF; a skin\n[Tamberlyn Skin]\nWindow = #102030\nFrame = 1,2,3\n"
                                     "CheckBox=#040506\nButton=#3A6EA5\nButtonText=#FFFFFF\nList=#FFFFE0\n"
                                     "ListText=#000080\nText=#800000\n");
    QtProgram program([] {});
    QWidget& window = program.window();
    QtSkinEngine skin;
    skin.loadSkin(dir.filePath("o.cjs").toStdString(), "");
    skin.setApplyColors(true);
    skin.applyWindow(static_cast<WindowHandle>(window.winId()));

    auto colour = [&](const char* name, QPalette::ColorRole role) {
        return window.findChild<QWidget*>(name)->palette().color(role);
    };
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(colour("Frame1", QPalette::Window), QColor(1, 2, 3));
    EXPECT_EQ(colour("Frame2", QPalette::WindowText), QColor(0x80, 0, 0));
    EXPECT_EQ(colour("Check6", QPalette::Button), QColor(4, 5, 6)) << "a check box fills with its Button role";
    EXPECT_EQ(colour("Check8", QPalette::WindowText), QColor(0x80, 0, 0));
    EXPECT_EQ(colour("PushButton2", QPalette::Button), QColor(0x3A, 0x6E, 0xA5));
    EXPECT_EQ(colour("PushButton1", QPalette::ButtonText), QColor(Qt::white));
    EXPECT_EQ(colour("ListView1", QPalette::Base), QColor(0xFF, 0xFF, 0xE0));
    EXPECT_EQ(colour("ListView1", QPalette::Text), QColor(0, 0, 0x80));
}

}  // namespace
TEST(WindowSystem, TheCompositorsGlobalsChooseTheRouteAndNameTheSession) {
    const auto choose = [](std::vector<std::string> globals, const char* wayland = "wayland-1") {
        return ChooseWindowSystem(globals, wayland);
    };
    const auto x11 = choose({"zwlr_foreign_toplevel_manager_v1"}, "");
    EXPECT_EQ(x11.route, WindowRoute::X11) << "no Wayland session: X11, whatever else is set";
    EXPECT_EQ(x11.kind, DesktopKind::X11);
    EXPECT_EQ(x11.notice, "");
    EXPECT_EQ(choose({"wl_compositor", "zwlr_foreign_toplevel_manager_v1"}).route, WindowRoute::Wlroots);
    EXPECT_EQ(choose({"org_kde_plasma_window_management", "org_kde_kwin_idle"}).route, WindowRoute::Kde);
    for (const auto& globals : std::vector<std::vector<std::string>>{
             {"wl_compositor", "org_kde_kwin_server_decoration_manager"}, {"gtk_shell1"}, {"wl_compositor"}}) {
        const auto choice = choose(globals);
        EXPECT_EQ(choice.route, WindowRoute::X11) << globals.back();
        EXPECT_EQ(choice.kind, DesktopKind::Wayland);
        EXPECT_NE(choice.notice.find("X11 programs only"), std::string::npos) << globals.back();
        EXPECT_EQ(choice.notice.find('\n'), std::string::npos) << "one line";
    }
    EXPECT_NE(choose({"org_kde_kwin_idle"}).notice.find("menu entry"), std::string::npos);

    EXPECT_EQ(InstanceName(":3"), InstanceName("unix:3.0"));
    EXPECT_EQ(InstanceName(":3", "wayland-1"), InstanceName(":3", "/run/user/1000/wayland-1"));
    EXPECT_NE(InstanceName(":3", "wayland-1"), InstanceName(":3"));
    EXPECT_NE(InstanceName(":3", "wayland-1"), InstanceName(":3", "wayland-2"));
}

TEST(WindowSystem, OnGnomeWhatTheShellSaysOfTheExtensionChoosesAndTellsWhatToDo) {
    using State = GnomeExtension::State;
    const auto choose = [](State state, std::string program = "/usr/bin/tamberlyn") {
        const GnomeExtension extension{state, "tamberlyn-gnome43@example.quillmark", "SyntaxError", program};
        return ChooseWindowSystem({"wl_compositor", "gtk_shell1"}, "wayland-0", extension, "/usr/bin/tamberlyn");
    };
    EXPECT_EQ(choose(State::Running).route, WindowRoute::Gnome);
    EXPECT_EQ(choose(State::Running).notice, "");
    const std::string enable = "gnome-extensions enable tamberlyn-gnome43@example.quillmark";
    const std::vector<std::pair<WindowSystemChoice, std::string>> told{
        {choose(State::NotInstalled), "not installed"},
        {choose(State::NotLoaded), "log out and in"},
        {choose(State::NotLoaded), enable},
        {choose(State::Disabled), enable},
        {choose(State::Failed), "SyntaxError"},
        {choose(State::Running, "/opt/tamberlyn/bin/tamberlyn"), "(/opt/tamberlyn/bin/tamberlyn), not this one"},
    };
    std::set<std::string> notices;
    for (const auto& [choice, words] : told) {
        EXPECT_EQ(choice.route, WindowRoute::X11) << words;
        EXPECT_NE(choice.notice.find(words), std::string::npos) << choice.notice;
        EXPECT_NE(choice.notice.find("X11 programs only"), std::string::npos) << words;
        notices.insert(choice.notice);
    }
    EXPECT_EQ(notices.size(), told.size() - 1) << "each state its own words, told again when it changes";
}

// The fake's windows behind a connection of their own.
struct EventDrivenFake final : EventDrivenWindowServices {
    fakes::FakeWindowServices fake;
    int fileDescriptor() const override { return 3; }
    bool processEvents() override { return false; }
    std::uint64_t changeCount() override { return fake.changeCount(); }
    HandleList topLevelWindows() override { return fake.topLevelWindows(); }
    std::string readTitle(WindowHandle w, int n) override { return fake.readTitle(w, n); }
    void requestClose(WindowHandle w) override { fake.requestClose(w); }
    bool closePending(WindowHandle w) override { return fake.closePending(w); }
    WindowHandle ownerOf(WindowHandle w) override { return fake.ownerOf(w); }
    bool isDesktopShell(WindowHandle w) override { return fake.isDesktopShell(w); }
};

TEST(WindowSystem, ANativeRouteThatFailsGivesWayToX11OnceAndSaysWhy) {
    auto native = std::make_unique<EventDrivenFake>();
    native->fake.open(5, "Native");
    auto* nativeWindows = &native->fake;
    int made = 0;
    FallbackWindowServices services(std::move(native), [&] {
        ++made;
        auto x11 = std::make_unique<EventDrivenFake>();
        x11->fake.open(0x400001, "On X11");
        return x11;
    });
    std::vector<std::string> told;
    int reconnects = 0;
    services.onFallback = [&](const std::string& why) { told.push_back(why); };
    services.onReconnect = [&] { ++reconnects; };
    EXPECT_EQ(services.topLevelWindows(), HandleList{5});
    const auto before = services.changeCount();

    nativeWindows->failEnumeration = true;  // the compositor took the window list away
    EXPECT_EQ(services.topLevelWindows(), HandleList{0x400001});
    EXPECT_EQ(told, std::vector<std::string>{"enumeration failed"});
    EXPECT_EQ(reconnects, 1) << "the new connection is watched";
    EXPECT_NE(services.changeCount(), before) << "the next cycle looks at every window again";
    EXPECT_EQ(made, 1);
}

}  // namespace tamberlyn::qttest
