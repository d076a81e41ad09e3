// The command line of a GUI program: answers on the output it was given, else in a box,
// and the manifest and version the exe carries.

#include "ProgramDriver.h"

#include <psapi.h>

#include <cwctype>

#ifndef TAMBERLYN_EXPECTED_VERSION
#error "TAMBERLYN_EXPECTED_VERSION is the project's version, given by the build"
#endif
#ifndef TAMBERLYN_EXPECTED_COPYRIGHT
#error "TAMBERLYN_EXPECTED_COPYRIGHT is the copyright line of LICENSE, given by the build"
#endif

namespace tamberlyn::programtest {
namespace {

#define TAMBERLYN_WIDEN2(text) L##text
#define TAMBERLYN_WIDEN(text) TAMBERLYN_WIDEN2(text)
#define TAMBERLYN_WIDE_VERSION TAMBERLYN_WIDEN(TAMBERLYN_EXPECTED_VERSION)
#define TAMBERLYN_WIDE_COPYRIGHT TAMBERLYN_WIDEN(TAMBERLYN_EXPECTED_COPYRIGHT)

const std::string kVersionLine = std::string("Tamberlyn ") + TAMBERLYN_EXPECTED_VERSION + "\r\n";
// The version, the copyright of LICENSE and the licence, as --version tells them.
const std::string kVersionLines = kVersionLine + TAMBERLYN_EXPECTED_COPYRIGHT +
                                  "\r\nMIT License: free to use, change and share, with no warranty.\r\n";

TEST(CommandLineTest, VersionAndHelpAnswerOnStandardOutputAndEnd) {
    const Finished version = RunToEnd(L"--version");
    ASSERT_TRUE(version.ended) << "it waited for something instead of answering";
    EXPECT_EQ(version.exitCode, 0u);
    EXPECT_EQ(version.out, kVersionLines);
    EXPECT_EQ(version.err, "");

    for (const wchar_t* help : {L"--help", L"/?"}) {
        const Finished finished = RunToEnd(help);
        ASSERT_TRUE(finished.ended);
        EXPECT_EQ(finished.exitCode, 0u);
        EXPECT_EQ(finished.out.rfind(kVersionLines, 0), 0u) << finished.out;
        EXPECT_NE(finished.out.find("--version"), std::string::npos) << finished.out;
        EXPECT_NE(finished.out.find("/?"), std::string::npos) << finished.out;
    }
    EXPECT_EQ(RunToEnd(L"--help --version").out, RunToEnd(L"--help").out) << "the first request wins";
    EXPECT_FALSE(ProcessRunning(L"Tamberlyn.exe")) << "none of them went on to start the program";
}

TEST(CommandLineTest, AnUnknownOptionIsNamedOnStandardErrorWithStatus2) {
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"--verbose", "Tamberlyn: unknown option '--verbose'; try Tamberlyn --help\r\n"},
        {L"--version --frobnicate", "Tamberlyn: unknown option '--frobnicate'; try Tamberlyn --help\r\n"},
        {L"-v", "Tamberlyn: unknown option '-v'; try Tamberlyn --help\r\n"},
        {L"\"my list.txt\"", "Tamberlyn: unknown option 'my list.txt'; try Tamberlyn --help\r\n"},
        {L"/VERSION", "Tamberlyn: unknown option '/VERSION'; try Tamberlyn --help\r\n"},
    };
    for (const auto& [arguments, line] : cases) {
        const Finished finished = RunToEnd(arguments);
        ASSERT_TRUE(finished.ended);
        EXPECT_EQ(finished.exitCode, 2u) << "for " << ::testing::PrintToString(std::wstring(arguments));
        EXPECT_EQ(finished.err, line);
        EXPECT_EQ(finished.out, "");
    }
    EXPECT_FALSE(ProcessRunning(L"Tamberlyn.exe"));
}

// From a shortcut there is no console and no output to write to: a box says it.
TEST(CommandLineTest, WithNowhereToWriteTheAnswerIsABox) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"--version", L"Tamberlyn " TAMBERLYN_WIDE_VERSION L"\r\n" TAMBERLYN_WIDE_COPYRIGHT
                       L"\r\nMIT License: free to use, change and share, with no warranty."},
        {L"--bogus", L"Tamberlyn: unknown option '--bogus'; try Tamberlyn --help"},
    };
    for (const auto& [arguments, text] : cases) {
        Program program;
        ASSERT_TRUE(program.launch(arguments, Program::Output::None));
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = program.messageBox()) != nullptr || program.exited(); }));
        ASSERT_NE(box, nullptr) << "it ended without a word";
        EXPECT_EQ(Program::MessageText(box), text);
        EXPECT_EQ(TextOf(box), L"Tamberlyn");
        EXPECT_FALSE(program.hasMainWindow());
        program.answer(box, IDOK);
        ASSERT_TRUE(program.waitForExit());
        EXPECT_EQ(program.exitCode(), std::wstring(arguments) == L"--version" ? 0u : 2u);
    }
}

// ---- What the exe carries ---------------------------------------------------------------

class ExeResources : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << "cannot open the exe, error " << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    std::string resource(const wchar_t* type, const wchar_t* name) const {
        const HRSRC found = FindResourceW(module_, name, type);
        if (!found) return {};
        const HGLOBAL loaded = LoadResource(module_, found);
        const auto* bytes = static_cast<const char*>(LockResource(loaded));
        return bytes ? std::string(bytes, SizeofResource(module_, found)) : std::string();
    }

    HMODULE module_ = nullptr;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(ExeResources, TheManifestAsksForWhatTheProgramNeeds) {
    // The one the loader reads for a process: RT_MANIFEST, id 1.
    const std::string manifest = resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty()) << "no process manifest";
    EXPECT_TRUE(Contains(manifest, "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"))
        << "Windows 10 and 11";
    EXPECT_TRUE(Contains(manifest, "http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2"));
    EXPECT_TRUE(Contains(manifest, "http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"));
    EXPECT_TRUE(Contains(manifest, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_TRUE(Contains(manifest, "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"));
    EXPECT_TRUE(Contains(manifest, std::string("name=\"Quillmark.Tamberlyn\" version=\"") +
                                       TAMBERLYN_EXPECTED_VERSION + ".0\""));
}

TEST_F(ExeResources, TheVersionResourceCarriesTheVersionAndCopyrightThatVersionTells) {
    const std::string data = resource(RT_VERSION, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(data.empty()) << "no version resource";
    std::string copy = data;  // VerQueryValue may write into its block
    UINT length = 0;
    wchar_t* product = nullptr;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&product), &length));
    const std::string expected = TAMBERLYN_EXPECTED_VERSION;
    EXPECT_EQ(std::wstring(product), std::wstring(expected.begin(), expected.end()));
    wchar_t* copyright = nullptr;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\StringFileInfo\\040904B0\\LegalCopyright",
                               reinterpret_cast<void**>(&copyright), &length));
    EXPECT_EQ(std::wstring(copyright), TAMBERLYN_WIDE_COPYRIGHT L". MIT License.");
    EXPECT_EQ(RunToEnd(L"--version").out, kVersionLines);
}

// The manifest in effect: the loader bound the program to common controls 6, which live
// beside their own manifest in the side-by-side store, not in the system folder.
TEST_F(ProgramTest, TheManifestTakesEffectInTheRunningProgram) {
    Program program;
    ASSERT_TRUE(program.start());
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.processId());
    ASSERT_NE(process, nullptr);
    HMODULE modules[512];
    DWORD size = 0;
    ASSERT_TRUE(EnumProcessModules(process, modules, sizeof modules, &size));
    std::wstring controls;
    for (DWORD i = 0; i < size / sizeof(HMODULE); ++i) {
        wchar_t path[MAX_PATH] = L"";
        GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
        std::wstring lower = path;
        for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
        if (lower.size() >= 12 && lower.compare(lower.size() - 12, 12, L"comctl32.dll") == 0) controls = lower;
    }
    CloseHandle(process);
    EXPECT_NE(controls.find(L"\\winsxs\\"), std::wstring::npos) << "common controls from " << controls;
    EXPECT_NE(controls.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos) << controls;
}

}  // namespace
}  // namespace tamberlyn::programtest
