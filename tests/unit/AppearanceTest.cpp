#include "FormFixture.h"
#include "shell/ProgramFolder.h"

namespace tamberlyn {
namespace {

using testing::FormTest;

TEST(AppTitle, ShortensByWholeWordsToFortyCharacters) {
    // 50 characters; dropping the last word gives 41, the next 36.
    const std::string name = "Quillmark Tamberlyn Window Watcher Deluxe Pro Edit";
    ASSERT_EQ(name.size(), 50u);
    EXPECT_EQ(ShortTitle(name), "Quillmark Tamberlyn Window Watcher");
    EXPECT_EQ(ShortTitle("Tamberlyn Window Closer"), "Tamberlyn Window");  // always one word at least
    EXPECT_EQ(ShortTitle("Tamberlyn"), "Tamberlyn");
    std::string accented;
    for (int i = 0; i < 30; ++i) accented += "é";
    EXPECT_EQ(ShortTitle(accented + " " + std::string(12, 'x')), accented);  // 43 characters, 73 bytes
}

TEST(ProgramFolder, FolderFileNameAndFilesBesideTheProgram) {
    fakes::FakeProgramFiles files;
    files.exe = "C:\\Tamberlyn.exe";
    EXPECT_EQ(ProgramFolder(files), "C:\\");
    EXPECT_EQ(ProgramFolderFile(files, "\\HAND-M.CUR"), "C:\\HAND-M.CUR");
    files.exe = "/opt/tamberlyn/bin/tamberlyn";
    files.sep = '/';
    EXPECT_EQ(ProgramFolder(files), "/opt/tamberlyn/bin");
    EXPECT_EQ(ExecutableFileName(files), "tamberlyn");
    EXPECT_EQ(ProgramFolderFile(files, "\\x\\o.cjs"), "/opt/tamberlyn/bin/x/o.cjs");
}

TEST_F(FormTest, WithoutASkinFileTheWindowKeepsItsWhite) {
    fake.files.files = {"C:\\Apps\\Tamberlyn\\x\\o.cjs"};
    fake.files.hidden = {"C:\\Apps\\Tamberlyn\\x\\o.cjs"};  // a hidden file is not listed
    Form1& f = start();
    EXPECT_EQ(f.window.backColour(), kWhite);
    EXPECT_TRUE(fake.skin.calls.empty());
}

TEST_F(FormTest, ASkinFileColoursFramesAndCheckBoxesAndIsAppliedInOrder) {
    fake.files.files = {"C:\\Apps\\Tamberlyn\\x\\o.cjs"};
    Form1& f = start();
    for (const Control* c : std::vector<const Control*>{&f.window, &f.Frame1, &f.Frame2, &f.Check6, &f.Check8}) {
        EXPECT_EQ(c->backColour(), kButtonFace) << c->name();
    }
    EXPECT_EQ(f.PushButton1.backColour(), kWhite);
    EXPECT_EQ(f.ListView1.backColour(), kWhite);
    EXPECT_EQ(fake.skin.calls, (std::vector<std::string>{"load C:\\Apps\\Tamberlyn\\x\\o.cjs []", "options 65",
                                                         "metrics on", "colors on", "apply 1"}));
}

TEST_F(FormTest, HandPointerOverButtonsArrowElsewhere) {
    fake.files.files = {"C:\\Apps\\Tamberlyn\\HAND-M.CUR"};
    Form1& f = start();
    EXPECT_EQ(fake.desktop.loadedCursors, std::vector<std::string>{"C:\\Apps\\Tamberlyn\\HAND-M.CUR"});
    EXPECT_EQ(f.window.mouseIcon(), 9);
    f.PushButton_MouseMove();
    EXPECT_EQ(f.window.mousePointer(), kPointerCustom);
    f.Surface_MouseMove();
    EXPECT_EQ(f.window.mousePointer(), kPointerDefault);
}

}  // namespace
}  // namespace tamberlyn

#include <stdexcept>

#include "shell/SkinFile.h"

namespace tamberlyn {
namespace {

TEST(SkinFile, ReadsColoursAndNamesTheLineOfAMistake) {
    const SkinColours skin = ParseSkin("\xEF\xBB\xBF; a skin\r\n[Tamberlyn Skin]\r\nWindow = #D4D0C8\r\n"
                                       "buttontext=255, 255 ,0\n\nList = #00ff7f\n");
    EXPECT_EQ(skin.window, (Rgb{0xD4, 0xD0, 0xC8}));
    EXPECT_EQ(skin.buttonText, (Rgb{255, 255, 0}));
    EXPECT_EQ(skin.list, (Rgb{0, 0xFF, 0x7F}));
    EXPECT_FALSE(skin.frame.has_value());

    for (const char* bad : {"Window = #12345", "Window = 1,2,256", "Window = red", "Window #123456", "Windw = #000000"}) {
        try {
            ParseSkin(std::string("; ok\n") + bad + "\n");
            ADD_FAILURE() << bad;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Skin file, line 2: ", 0), 0u) << e.what();
        }
    }
}

TEST(SkinFile, AMistakeIsQuotedInReadableCharactersAndCutShort) {
    const auto mistake = [](const std::string& text) {
        try {
            ParseSkin(text);
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("(none)");
    };
    // A NUL, other control characters, bytes that are no UTF-8 (a lone continuation byte, an
    // overlong slash, a surrogate, a cut sequence) each show as one "?"; letters stay.
    EXPECT_EQ(mistake(std::string("Window = a\0b\x01\x7F\xC2\x85\x80\xC0\xAF\xED\xA0\x80\xE2\x82z\u00e9\U0001F600", 31) +
                      "\n"),
              "Skin file, line 1: \"a?b" + std::string(11, '?') + "z\u00e9\U0001F600\" is not a colour");
    EXPECT_EQ(mistake("\n\tW\x01ndow = #000000\n"), "Skin file, line 2: unknown part \"W?ndow\"");
    EXPECT_EQ(mistake("Window = " + std::string(100, 'x') + "\n"),
              "Skin file, line 1: \"" + std::string(32, 'x') + "\u2026\" is not a colour");
}

}  // namespace
}  // namespace tamberlyn
