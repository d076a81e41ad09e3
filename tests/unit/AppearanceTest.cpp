#include "FormFixture.h"
#include "common/ProgramFolder.h"

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
    EXPECT_TRUE(fake.skin.skinned.empty());
}

TEST_F(FormTest, ASkinFileColoursFramesAndCheckBoxesAndSkinsTheWindow) {
    fake.files.files = {"C:\\Apps\\Tamberlyn\\x\\o.cjs"};
    Form1& f = start();
    for (const Control* c : std::vector<const Control*>{&f.window, &f.Frame1, &f.Frame2, &f.Check6, &f.Check8}) {
        EXPECT_EQ(c->backColour(), kButtonFace) << c->name();
    }
    EXPECT_EQ(f.PushButton1.backColour(), kWhite);
    EXPECT_EQ(f.ListView1.backColour(), kWhite);
    // The window, once, with the program's skin: frames drawn as well as what the engine
    // did already, its metrics and its colours.
    using Skinned = fakes::FakeSkinEngine::Skinned;
    const Skinned expected{1, "C:\\Apps\\Tamberlyn\\x\\o.cjs", 0x41, true, true};
    EXPECT_EQ(fake.skin.skinned, std::vector<Skinned>{expected});
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

#include "common/SkinFile.h"

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

// A skin file may hold any bytes: the message quotes them as a message box can show them,
// whole up to a NUL or a broken sequence, and not a whole line of a megabyte.
TEST(SkinFile, AMistakeQuotesTheFileAsAMessageCanShowIt) {
    const auto message = [](const std::string& text) {
        try {
            ParseSkin(text);
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("(no mistake)");
    };
    EXPECT_EQ(message(std::string("Window = 1,2\0,3\x1B\xFF\n", 17)),
              "Skin file, line 1: \"1,2\uFFFD,3\uFFFD\uFFFD\" is not a colour");
    EXPECT_EQ(message("\n W\xC3indow\xE2\x82 = #000000"), "Skin file, line 2: unknown part \"W\uFFFDindow\uFFFD\"");
    EXPECT_EQ(message("Window = " + std::string(100000, 'x')),
              "Skin file, line 1: \"" + std::string(40, 'x') + "\u2026\" is not a colour");
    EXPECT_EQ(message("Window = ÉCRU"), "Skin file, line 1: \"ÉCRU\" is not a colour");
}

}  // namespace
}  // namespace tamberlyn
