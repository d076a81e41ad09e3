// The optional skin file beside the program, the pointer over the buttons and the cursor
// file beside the program, and the layout at the screen's DPI.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramDriver.h"

namespace tamberlyn::programtest {
namespace {

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

// ---- The pointer --------------------------------------------------------------------------

// A pointer image as the X server shows it: size, hot spot and ARGB pixels.
struct PointerImage {
    unsigned width = 0;
    unsigned height = 0;
    unsigned xhot = 0;
    unsigned yhot = 0;
    std::vector<std::uint32_t> pixels;
    bool operator==(const PointerImage&) const = default;
};

std::ostream& operator<<(std::ostream& out, const PointerImage& image) {
    return out << image.width << "x" << image.height << " hot spot (" << image.xhot << ", " << image.yhot << ")";
}

// What the X server shows now, read by the host program x-pointer-image (TAMBERLYN_X_POINTER_IMAGE,
// a Unix path): no Windows program under Wine can see it. The image comes in a file beside it.
std::optional<PointerImage> ShownPointer() {
    const char* helper = std::getenv("TAMBERLYN_X_POINTER_IMAGE");
    if (helper == nullptr) return std::nullopt;
    const std::string output = std::string(helper) + ".txt";
    std::wstring outputPath = L"Z:" + std::wstring(output.begin(), output.end());  // Wine's Z: drive is /
    for (wchar_t& c : outputPath) {
        if (c == L'/') c = L'\\';
    }
    DeleteFileW(outputPath.c_str());
    std::wstring commandLine = L"\"" + std::wstring(helper, helper + std::char_traits<char>::length(helper)) + L"\" \"" +
                               std::wstring(output.begin(), output.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return std::nullopt;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string text;
    WaitUntil([&] {
        const HANDLE file = CreateFileW(outputPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
        CloseHandle(file);
        return true;
    }, std::chrono::seconds(10));
    std::istringstream in(text);
    PointerImage image;
    if (!(in >> image.width >> image.height >> image.xhot >> image.yhot)) return std::nullopt;
    in >> std::hex;
    for (std::uint32_t pixel = 0; in >> pixel;) image.pixels.push_back(pixel);
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) return std::nullopt;
    return image;
}

// The pointer onto a screen point, as the mouse moves it.
void MovePointerTo(POINT point) {
    Xdotool(L"mousemove " + std::to_wstring(point.x) + L" " + std::to_wstring(point.y));
}

POINT CentreOf(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT SurfacePoint(HWND window) {
    POINT point{2, 200};  // the margin left of the controls
    ClientToScreen(window, &point);
    return point;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Waits for the X server to show that image.
::testing::AssertionResult PointerBecomes(const std::optional<PointerImage>& expected) {
    std::optional<PointerImage> shown;
    if (WaitUntil([&] { return (shown = ShownPointer()) == expected; }, std::chrono::seconds(10))) {
        return ::testing::AssertionSuccess();
    }
    auto failure = ::testing::AssertionFailure() << "the pointer is ";
    if (shown) {
        failure << *shown;
    } else {
        failure << "not readable";
    }
    const bool sameShape = shown && expected && shown->width == expected->width &&
                           shown->height == expected->height && shown->xhot == expected->xhot &&
                           shown->yhot == expected->yhot;
    return failure << (sameShape ? ", other pixels" : "");
}

int g_probeSetCursors = 0;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR) ++g_probeSetCursors;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A system pointer as the X server shows it under Wine: over a window of this test whose
// class pointer it is, once the window was asked for its pointer and the image holds still.
std::optional<PointerImage> SystemPointer(const wchar_t* id, RECT at) {
    const std::wstring className = L"TamberlynPointerProbe" + std::to_wstring(reinterpret_cast<std::uintptr_t>(id));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, id);
    windowClass.lpszClassName = className.c_str();
    RegisterClassW(&windowClass);
    const HWND probe = CreateWindowExW(WS_EX_TOPMOST, className.c_str(), L"", WS_POPUP | WS_VISIBLE, at.left, at.top,
                                       at.right - at.left, at.bottom - at.top, nullptr, nullptr,
                                       windowClass.hInstance, nullptr);
    PumpMessages();
    const int asked = g_probeSetCursors;
    MovePointerTo(CentreOf(probe));
    std::optional<PointerImage> shown;
    std::optional<PointerImage> before;
    WaitUntil([&] {
        PumpMessages();
        if (g_probeSetCursors == asked) return false;
        before = shown;
        shown = ShownPointer();
        return shown && shown == before;
    });
    DestroyWindow(probe);
    UnregisterClassW(className.c_str(), windowClass.hInstance);
    PumpMessages();
    return shown;
}

// HAND-M.CUR: a 32 x 32 monochrome cursor unlike any system pointer, hot spot (5, 9), and the
// image the X server shows for it: a black-rimmed white block with a black diagonal, the rest
// transparent.
constexpr unsigned kCursorSide = 32;
constexpr std::uint32_t kTransparent = 0x00000000;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;

std::uint32_t CursorPixel(unsigned x, unsigned y) {
    if (x < 3 || x >= 25 || y < 2 || y >= 30) return kTransparent;
    if (x < 5 || x >= 23 || y < 4 || y >= 28 || x == y) return kBlack;
    return kWhite;
}

PointerImage CursorFileImage() {
    PointerImage image{kCursorSide, kCursorSide, 5, 9, {}};
    for (unsigned y = 0; y < kCursorSide; ++y) {
        for (unsigned x = 0; x < kCursorSide; ++x) image.pixels.push_back(CursorPixel(x, y));
    }
    return image;
}

void WriteCursorFile(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    auto word = [&](unsigned value) {
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    };
    auto dword = [&](unsigned value) {
        word(value & 0xFFFF);
        word(value >> 16);
    };
    constexpr unsigned kRowBytes = kCursorSide / 8;
    constexpr unsigned kImageBytes = 40 + 8 + 2 * kRowBytes * kCursorSide;
    word(0), word(2), word(1);                                  // a cursor file with one image
    bytes.push_back(kCursorSide), bytes.push_back(kCursorSide);  // its directory entry
    bytes.push_back(2), bytes.push_back(0);
    word(5), word(9), dword(kImageBytes), dword(6 + 16);
    dword(40), dword(kCursorSide), dword(2 * kCursorSide);  // the bitmap: XOR mask over AND mask
    word(1), word(1), dword(0), dword(0), dword(0), dword(0), dword(2), dword(0);
    dword(0x000000), dword(0xFFFFFF);  // black, white
    for (const bool andMask : {false, true}) {
        for (unsigned row = kCursorSide; row-- > 0;) {  // bottom-up
            for (unsigned byte = 0; byte < kRowBytes; ++byte) {
                std::uint8_t bits = 0;
                for (unsigned bit = 0; bit < 8; ++bit) {
                    const std::uint32_t pixel = CursorPixel(byte * 8 + bit, row);
                    const bool set = andMask ? pixel == kTransparent : pixel == kWhite;
                    if (set) bits |= static_cast<std::uint8_t>(0x80 >> bit);
                }
                bytes.push_back(bits);
            }
        }
    }
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

TEST_F(ProgramTest, ThePointerOverTheButtonsIsTheSystemsHandOrTheCursorFileBesideTheProgram) {
    const std::optional<PointerImage> hand = SystemPointer(IDC_HAND, {1000, 800, 1200, 950});
    const std::optional<PointerImage> arrow = SystemPointer(IDC_ARROW, {1000, 600, 1200, 750});
    ASSERT_TRUE(hand && arrow) << "x-pointer-image saw no pointer";
    ASSERT_NE(*hand, *arrow);
    const PointerImage cursorFile = CursorFileImage();
    {
        Program plain;
        ASSERT_TRUE(plain.start());
        MovePointerTo(CentreOf(plain.button(L"Add To List Below")));
        EXPECT_TRUE(PointerBecomes(hand)) << "without HAND-M.CUR, the system's hand";
        MovePointerTo(SurfacePoint(plain.window()));
        EXPECT_TRUE(PointerBecomes(arrow));
        MovePointerTo(CentreOf(plain.button(L"Help")));
        EXPECT_TRUE(PointerBecomes(hand));
    }
    const std::wstring exe = CopyProgramTo(L"C:\\With Cursor");
    WriteCursorFile(L"C:\\With Cursor\\HAND-M.CUR");
    Program program(exe);
    ASSERT_TRUE(program.start());
    MovePointerTo(CentreOf(program.button(L"Add To List Below")));
    EXPECT_TRUE(PointerBecomes(cursorFile)) << "HAND-M.CUR";
    MovePointerTo(SurfacePoint(program.window()));
    EXPECT_TRUE(PointerBecomes(arrow));
    MovePointerTo(CentreOf(program.button(L"Start Monitoring")));
    EXPECT_TRUE(PointerBecomes(cursorFile));
}

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
