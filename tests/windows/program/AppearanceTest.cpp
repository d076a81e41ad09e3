// The optional skin file beside the program.

#include <string>

#include "ProgramDriver.h"

namespace tamberlyn::programtest {
namespace {

// A skinned copy of the program in its own folder, with the skin file x\o.cjs beside it.
std::wstring SkinnedProgram(const std::wstring& folder, const char* skin) {
    const std::wstring exe = CopyProgramTo(folder);
    CreateDirectoryW((folder + L"\\x").c_str(), nullptr);
    const HANDLE file = CreateFileW((folder + L"\\x\\o.cjs").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, skin, static_cast<DWORD>(std::char_traits<char>::length(skin)), &written, nullptr);
    CloseHandle(file);
    return exe;
}

// A point of the window's own surface, where no control lies: the margin left of the controls.
COLORREF SurfaceColour(HWND window) {
    POINT point{2, 200};
    ClientToScreen(window, &point);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

TEST_F(ProgramTest, TheSurfaceIsWhiteWithoutASkinAndTheSkinsColourWithOne) {
    {
        Program plain;
        ASSERT_TRUE(plain.start());
        EXPECT_TRUE(WaitUntil([&] { return SurfaceColour(plain.window()) == RGB(255, 255, 255); }));
    }
    const std::wstring exe = SkinnedProgram(L"C:\\Skinned", "[Tamberlyn Skin]\r\nWindow = #336699\r\n");
    Program skinned(exe);
    ASSERT_TRUE(skinned.start());
    EXPECT_TRUE(WaitUntil([&] { return SurfaceColour(skinned.window()) == RGB(0x33, 0x66, 0x99); }));
}

TEST_F(ProgramTest, AMistakeInTheSkinIsReportedAndTheProgramStartsAnyway) {
    const std::wstring exe = SkinnedProgram(L"C:\\Misskinned", "; mine\r\nWindow = blue\r\n");
    Program program(exe);
    ASSERT_TRUE(program.launch());
    HWND report = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (report = program.messageBox()) != nullptr; }));
    EXPECT_EQ(TextOf(report), L"Application Error");
    const std::wstring text = Program::MessageText(report);
    EXPECT_NE(text.find(L"Skin file, line 2: \"blue\" is not a colour"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Form1.Form_Load at line 100"), std::wstring::npos) << text;
    program.answer(report, IDOK);
    EXPECT_TRUE(program.waitForWindow());
}

// The screen's DPI, as Wine reads it for each new process.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) { set(dpi); }
    ~ScreenDpi() { RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels"); }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;

private:
    static void set(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
};

SIZE ClientSize(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return {client.right, client.bottom};
}

RECT ClientRectOf(HWND window, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(ProgramTest, LaysOutInTwipsAtTheScreensDpi) {
    ScreenDpi dpi(144);
    Program program;
    ASSERT_TRUE(program.start());
    // 8040 x 6585 twips at 144 dpi; the text box sits inside its frame: (120 + 240, 600 + 300) twips.
    const SIZE client = ClientSize(program.window());
    EXPECT_EQ(client.cx, 804);
    EXPECT_EQ(client.cy, 659);
    const RECT text = ClientRectOf(program.window(), program.edit());
    EXPECT_EQ(text.left, 36);
    EXPECT_EQ(text.top, 90);
    EXPECT_EQ(text.right - text.left, 734);
}

}  // namespace
}  // namespace tamberlyn::programtest
