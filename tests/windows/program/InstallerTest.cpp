// The installer as a package manager runs it: a silent install, the installed program at
// work, a silent reinstall over the running program, and a silent uninstall.

#include <shlobj.h>
#include <shobjidl.h>

#include "ProgramDriver.h"

#ifndef TAMBERLYN_EXPECTED_VERSION
#error "TAMBERLYN_EXPECTED_VERSION is the project's version, given by the build"
#endif

namespace tamberlyn::programtest {
namespace {

constexpr wchar_t kAppsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tamberlyn";

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    const std::wstring folder = SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) ? path : L"";
    CoTaskMemFree(path);
    return folder;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A shortcut's target and working folder, a line each.
std::wstring TargetAndFolder(const std::wstring& shortcut) {
    wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"";
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ))) {
            link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
            link->GetWorkingDirectory(folder, MAX_PATH);
        }
        if (file) file->Release();
        link->Release();
    }
    return std::wstring(target) + L"\n" + folder;
}

TEST_F(ProgramTest, TheInstallerInstallsUpdatesOverTheRunningProgramAndUninstallsAllButTheSettings) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const std::wstring installer = PathFromEnvironment("TAMBERLYN_INSTALLER");
    const std::wstring folder = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Tamberlyn";
    const std::wstring exe = folder + L"\\Tamberlyn.exe";
    const std::wstring uninstaller = folder + L"\\Uninstall.exe";
    const std::wstring shortcut = KnownFolder(FOLDERID_Programs) + L"\\Tamberlyn.lnk";
    const auto apps = [](const wchar_t* name) { return RegistryText(HKEY_CURRENT_USER, kAppsKey, name); };
    const auto runValue = [](HKEY root) { return RegistryText(root, kRunKey, L"Tamberlyn.exe"); };
    const auto settings = [] {
        std::vector<std::optional<std::wstring>> values;
        for (const wchar_t* name : {L"Listview", L"StartStopState", L"Windows Startup", L"Minimized"}) {
            values.push_back(StoredSetting(name));
        }
        return values;
    };
    // What an earlier, failed run left must not pass for what this one installs.
    for (const wchar_t* file : {L"\\Tamberlyn.exe", L"\\LICENSE.txt", L"\\Uninstall.exe"}) {
        DeleteFileW((folder + file).c_str());
    }
    RemoveDirectoryW(folder.c_str());
    DeleteFileW(shortcut.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kAppsKey);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, L"Tamberlyn.exe");

    const Finished install = RunToEnd(L"/S", installer);
    ASSERT_TRUE(install.ended && install.exitCode == 0)
        << "the silent install of \"" << installer << "\" failed, exit code " << install.exitCode;
    EXPECT_TRUE(Exists(exe)) << exe;
    EXPECT_EQ(TargetAndFolder(shortcut), exe + L"\n" + folder) << "the Start menu shortcut " << shortcut;
    EXPECT_EQ(apps(L"DisplayName"), L"Tamberlyn");
    EXPECT_EQ(apps(L"DisplayVersion"), std::wstring(L"" TAMBERLYN_EXPECTED_VERSION));
    EXPECT_EQ(apps(L"Publisher"), L"Quillmark");
    EXPECT_EQ(apps(L"DisplayIcon"), exe + L",0");
    EXPECT_EQ(apps(L"QuietUninstallString"), L"\"" + uninstaller + L"\" /S");
    EXPECT_EQ(RunToEnd(L"--version", exe).out.rfind("Tamberlyn " TAMBERLYN_EXPECTED_VERSION "\r\n", 0), 0u);

    // Ticked in the installed program, the log-on option names the installed exe. Wine lets
    // every user write the machine-wide Run key, which the program tries first.
    const std::wstring logOn = exe.find(L' ') == std::wstring::npos ? exe : L"\"" + exe + L"\"";
    Program program(exe);
    ASSERT_TRUE(program.start());
    program.type(L"Special offer");
    Program::Click(program.button(L"Add To List Below"));
    Program::Click(program.button(L"Load this software on Windows startup"));
    ASSERT_TRUE(WaitUntil([&] {
        return runValue(HKEY_LOCAL_MACHINE) == logOn && StoredSetting(L"Windows Startup") == L"On" &&
               StoredSetting(L"Listview");
    })) << "Run value: " << runValue(HKEY_LOCAL_MACHINE).value_or(L"none");
    const auto before = settings();
    // The log-on value of another copy (the ZIP's, say) is not the installer's to remove.
    const std::wstring otherCopy = L"C:\\Tools\\Tamberlyn.exe";
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Tamberlyn.exe", REG_SZ, otherCopy.c_str(),
                    static_cast<DWORD>((otherCopy.size() + 1) * sizeof(wchar_t)));

    // The same version again while it runs: asked to close, it ends by itself and is started again.
    const Finished reinstall = RunToEnd(L"/S", installer);
    ASSERT_TRUE(reinstall.ended) << "the silent reinstall did not end";
    EXPECT_EQ(reinstall.exitCode, 0u);
    ASSERT_TRUE(program.waitForExit()) << "the running program was not closed";
    EXPECT_EQ(program.exitCode(), 0u) << "it closed itself, it was not ended";
    EXPECT_TRUE(WaitUntil([] { return FindWindowW(L"TamberlynMainWindow", nullptr) != nullptr; }))
        << "it was not started again";
    EXPECT_EQ(ProcessCount(L"Tamberlyn.exe"), 1);
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE), logOn);

    // The uninstaller goes on from a copy of itself and returns at once: its last step ends the wait.
    const Finished uninstall = RunToEnd(L"/S", uninstaller);
    ASSERT_TRUE(uninstall.ended && uninstall.exitCode == 0) << "the silent uninstall failed, exit code "
                                                            << uninstall.exitCode;
    EXPECT_TRUE(WaitUntil([&] { return !apps(L"DisplayName"); })) << "the Apps entry stays";
    EXPECT_TRUE(WaitUntil([] { return !ProcessRunning(L"Tamberlyn.exe"); })) << "the program still runs";
    EXPECT_FALSE(Exists(folder)) << folder;
    EXPECT_FALSE(Exists(shortcut)) << shortcut;
    EXPECT_FALSE(runValue(HKEY_LOCAL_MACHINE)) << "the installed exe's log-on value is gone";
    EXPECT_EQ(runValue(HKEY_CURRENT_USER), otherCopy) << "the other copy's stays";
    EXPECT_EQ(settings(), before) << "the list and options stay";
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Tamberlyn.exe");
}

}  // namespace
}  // namespace tamberlyn::programtest
