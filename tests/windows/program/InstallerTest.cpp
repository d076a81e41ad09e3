// The installer as a package manager runs it: a silent install, the installed program at
// work, a silent reinstall over the running program, and a silent uninstall.

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "ProgramDriver.h"

#ifndef TAMBERLYN_EXPECTED_VERSION
#error "TAMBERLYN_EXPECTED_VERSION is the project's version, given by the build"
#endif

namespace tamberlyn::programtest {
namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tamberlyn";
constexpr wchar_t kRunValue[] = L"Tamberlyn.exe";
const wchar_t* const kSettingNames[] = {L"Listview", L"StartStopState", L"Windows Startup", L"Minimized"};

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Shortcut {
    bool read = false;
    std::wstring target;
    std::wstring workingFolder;
};

Shortcut ReadShortcut(const std::wstring& path) {
    Shortcut shortcut;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return shortcut;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t text[MAX_PATH] = L"";
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) {
            shortcut.target = text;
            text[0] = L'\0';
            shortcut.read = SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH));
            shortcut.workingFolder = text;
        }
        file->Release();
    }
    link->Release();
    return shortcut;
}

std::optional<DWORD> RegistryNumber(HKEY root, const wchar_t* path, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(root, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) return std::nullopt;
    return value;
}

std::vector<std::optional<std::wstring>> Settings() {
    std::vector<std::optional<std::wstring>> values;
    for (const wchar_t* name : kSettingNames) values.push_back(StoredSetting(name));
    return values;
}

// The running Tamberlyn, found as the installer finds it: by its main window.
struct Running {
    HANDLE process = nullptr;
    std::wstring path;
};

Running RunningTamberlyn() {
    Running running;
    const HWND window = FindWindowW(L"TamberlynMainWindow", nullptr);
    DWORD id = 0;
    if (!window || !GetWindowThreadProcessId(window, &id)) return running;
    running.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    wchar_t path[MAX_PATH] = L"";
    DWORD size = MAX_PATH;
    if (running.process && QueryFullProcessImageNameW(running.process, 0, path, &size)) running.path = path;
    return running;
}

class InstallerTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        folder_ = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Tamberlyn";
        exe_ = folder_ + L"\\Tamberlyn.exe";
        uninstaller_ = folder_ + L"\\Uninstall.exe";
        shortcut_ = KnownFolder(FOLDERID_Programs) + L"\\Tamberlyn.lnk";
        // What an earlier, failed run left must not pass for what this run installs.
        for (const wchar_t* file : {L"Tamberlyn.exe", L"LICENSE.txt", L"Uninstall.exe"}) {
            DeleteFileW((folder_ + L"\\" + file).c_str());
        }
        RemoveDirectoryW(folder_.c_str());
        DeleteFileW(shortcut_.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        RemoveRunValues();
    }
    void TearDown() override { RemoveRunValues(); }

    static void RemoveRunValues() {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
    }

    std::optional<std::wstring> appsEntry(const wchar_t* name) const {
        return RegistryText(HKEY_CURRENT_USER, kUninstallKey, name);
    }

    std::wstring folder_, exe_, uninstaller_, shortcut_;
};

TEST_F(InstallerTest, InstallsForTheUserUpdatesOverTheRunningProgramAndUninstallsAllButTheSettings) {
    const std::wstring installer = PathFromEnvironment("TAMBERLYN_INSTALLER");
    ASSERT_TRUE(Exists(installer)) << "no installer at " << installer;

    const Finished install = RunToEnd(L"/S", installer);
    ASSERT_TRUE(install.ended) << "the silent install did not end";
    ASSERT_EQ(install.exitCode, 0u);
    EXPECT_TRUE(Exists(exe_)) << exe_;
    EXPECT_TRUE(Exists(uninstaller_)) << uninstaller_;
    const Shortcut shortcut = ReadShortcut(shortcut_);
    EXPECT_TRUE(shortcut.read) << "no Start menu shortcut " << shortcut_;
    EXPECT_EQ(shortcut.target, exe_);
    EXPECT_EQ(shortcut.workingFolder, folder_);
    EXPECT_EQ(appsEntry(L"DisplayName"), L"Tamberlyn");
    EXPECT_EQ(appsEntry(L"DisplayVersion"), std::wstring(L"" TAMBERLYN_EXPECTED_VERSION));
    EXPECT_EQ(appsEntry(L"Publisher"), L"Quillmark");
    EXPECT_EQ(appsEntry(L"DisplayIcon"), exe_ + L",0");
    EXPECT_EQ(appsEntry(L"UninstallString"), L"\"" + uninstaller_ + L"\"");
    EXPECT_EQ(appsEntry(L"QuietUninstallString"), L"\"" + uninstaller_ + L"\" /S");
    WIN32_FILE_ATTRIBUTE_DATA exe{};
    GetFileAttributesExW(exe_.c_str(), GetFileExInfoStandard, &exe);
    EXPECT_GE(RegistryNumber(HKEY_CURRENT_USER, kUninstallKey, L"EstimatedSize").value_or(0), exe.nFileSizeLow / 1024)
        << "the size in KiB, the exe's at least";

    const Finished version = RunToEnd(L"--version", exe_);
    EXPECT_EQ(version.out.rfind("Tamberlyn " TAMBERLYN_EXPECTED_VERSION "\r\n", 0), 0u) << version.out;

    // Ticked in the installed program, the log-on option names the installed exe. Wine lets
    // every user write the machine-wide Run key, which the program tries first.
    const std::wstring runValue = exe_.find(L' ') == std::wstring::npos ? exe_ : L"\"" + exe_ + L"\"";
    const auto machineRunValue = [] { return RegistryText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue); };
    Program program(exe_);
    ASSERT_TRUE(program.start());
    program.type(L"Special offer");
    Program::Click(program.button(L"Add To List Below"));
    Program::Click(program.button(L"Load this software on Windows startup"));
    ASSERT_TRUE(WaitUntil([&] {
        return machineRunValue() == runValue && StoredSetting(L"Windows Startup") == L"On" && StoredSetting(L"Listview");
    }))
        << "Run value: " << machineRunValue().value_or(L"none");
    const auto settings = Settings();
    // A log-on value of another copy (the ZIP's, say), which is not the installer's to remove.
    const std::wstring otherCopy = L"C:\\Tools\\Tamberlyn.exe";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, REG_SZ, otherCopy.c_str(),
                              static_cast<DWORD>((otherCopy.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);

    // The same version again while it runs: asked to close, it ends by itself and is started again.
    const Finished reinstall = RunToEnd(L"/S", installer);
    ASSERT_TRUE(reinstall.ended) << "the silent reinstall did not end";
    EXPECT_EQ(reinstall.exitCode, 0u);
    ASSERT_TRUE(program.waitForExit()) << "the running program was not closed";
    EXPECT_EQ(program.exitCode(), 0u) << "it closed itself, it was not ended";
    Running running;
    EXPECT_TRUE(WaitUntil([&] { return !(running = RunningTamberlyn()).path.empty(); })) << "it was not started again";
    EXPECT_EQ(running.path, exe_);
    EXPECT_EQ(ProcessCount(L"Tamberlyn.exe"), 1);
    EXPECT_EQ(Settings(), settings);
    EXPECT_EQ(machineRunValue(), runValue);

    // The uninstaller goes on from a copy of itself and returns at once: its last step ends the wait.
    const Finished uninstall = RunToEnd(L"/S", uninstaller_);
    ASSERT_TRUE(uninstall.ended) << "the silent uninstall did not end";
    EXPECT_EQ(uninstall.exitCode, 0u);
    EXPECT_TRUE(WaitUntil([&] { return !appsEntry(L"DisplayName"); })) << "the Apps entry stays";
    ASSERT_NE(running.process, nullptr);
    EXPECT_EQ(WaitForSingleObject(running.process, 10000), WAIT_OBJECT_0) << "the program still runs";
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(running.process, &exitCode);
    CloseHandle(running.process);
    EXPECT_EQ(exitCode, 0u) << "it closed itself, it was not ended";
    EXPECT_FALSE(ProcessRunning(L"Tamberlyn.exe"));
    EXPECT_FALSE(Exists(folder_)) << folder_;
    EXPECT_FALSE(Exists(shortcut_)) << shortcut_;
    EXPECT_FALSE(machineRunValue()) << "the value for the installed exe is gone";
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kRunKey, kRunValue), otherCopy) << "the other copy's stays";
    EXPECT_EQ(Settings(), settings) << "the list and options stay";
}

}  // namespace
}  // namespace tamberlyn::programtest
