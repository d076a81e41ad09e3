// The log-on option: the Run entry it writes and removes, machine-wide or for this user.

#include <aclapi.h>
#include <sddl.h>

#include "ProgramDriver.h"

namespace tamberlyn::programtest {
namespace {

constexpr wchar_t kStartupCaption[] = L"Load this software on Windows startup";

class StartupEntryTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr);
        if (key) RegCloseKey(key);
    }
    void TearDown() override {
        if (denied_) setMachineRunKeySecurity(original_.c_str());
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, L"Tamberlyn.exe");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Tamberlyn.exe");
    }

    // As for a user who may not write for every user: the machine-wide Run key refuses values.
    void denyMachineWideWrites() {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, READ_CONTROL, &key), ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_EQ(GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr,
                                  &descriptor),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        wchar_t* text = nullptr;
        ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr);
        original_ = text ? text : L"D:(A;;KA;;;WD)";
        LocalFree(text);
        LocalFree(descriptor);
        ASSERT_TRUE(setMachineRunKeySecurity(L"D:P(D;;0x2;;;WD)(A;;KA;;;WD)"));  // deny KEY_SET_VALUE
        denied_ = true;
    }

    static bool setMachineRunKeySecurity(const wchar_t* sddl) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
            return false;
        }
        HKEY key = nullptr;
        LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, WRITE_DAC, &key);
        if (result == ERROR_SUCCESS) {
            result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
            RegCloseKey(key);
        }
        LocalFree(descriptor);
        return result == ERROR_SUCCESS;
    }

    std::optional<std::wstring> machineEntry() const {
        return RegistryText(HKEY_LOCAL_MACHINE, kRunKey, L"Tamberlyn.exe");
    }
    std::optional<std::wstring> userEntry() const {
        return RegistryText(HKEY_CURRENT_USER, kRunKey, L"Tamberlyn.exe");
    }

private:
    bool denied_ = false;
    std::wstring original_;
};

TEST_F(StartupEntryTest, TheCheckBoxWritesAndRemovesARunEntryQuotedForAPathWithSpaces) {
    const std::wstring exe = CopyProgramTo(L"C:\\Program Files\\Tamberlyn Test");
    {
        Program program(exe);
        ASSERT_TRUE(program.start());
        const HWND box = program.button(kStartupCaption);
        Program::Click(box);
        EXPECT_TRUE(WaitUntil([&] { return machineEntry() == L"\"" + exe + L"\""; }));
        EXPECT_TRUE(program.checked(box));
        EXPECT_EQ(StoredSetting(L"Windows Startup"), L"On");
    }
    // Set to start with Windows, the next start offers to start in the tray too.
    Program program(exe);
    ASSERT_TRUE(program.start());
    const HWND box = program.button(kStartupCaption);
    EXPECT_TRUE(program.checked(box));
    EXPECT_TRUE(Visible(program.button(L"Start in system tray")));

    Program::Click(box);
    EXPECT_TRUE(WaitUntil([&] { return !machineEntry(); }));
    EXPECT_FALSE(userEntry());
    EXPECT_FALSE(program.checked(box));
    EXPECT_EQ(StoredSetting(L"Windows Startup"), L"Off");
}

TEST_F(StartupEntryTest, AnEntryForAPathWithSpacesAndLettersBeyondAsciiStartsTheProgramAndIsRemoved) {
    const std::wstring folder = L"C:\\Program Files\\Zo\u00eb's Werkzeug \u2014 \u041f\u0440\u0438\u0432\u0435\u0442";
    const std::wstring name = L"T\u00e4mberlyn \u00c9t\u00e9 \u4e2d\u6587.exe";
    const std::wstring exe = folder + L"\\" + name;
    CopyProgramTo(folder);
    ASSERT_TRUE(MoveFileExW((folder + L"\\Tamberlyn.exe").c_str(), exe.c_str(), MOVEFILE_REPLACE_EXISTING));
    const auto entry = [&] { return RegistryText(HKEY_LOCAL_MACHINE, kRunKey, name.c_str()); };
    {
        Program program(exe);
        ASSERT_TRUE(program.start());
        Program::Click(program.button(kStartupCaption));
        EXPECT_TRUE(WaitUntil([&] { return entry() == L"\"" + exe + L"\""; })) << "got: " << entry().value_or(L"none");
        EXPECT_EQ(program.messageBox(), nullptr);
    }
    ClearSettings();

    // What log-on does with the entry: run its text as a command line.
    Program started(exe);
    ASSERT_TRUE(started.launchCommandLine(entry().value_or(L"")));
    ASSERT_TRUE(started.waitForWindow()) << "the program the entry names runs";
    const HWND box = started.button(kStartupCaption);
    Program::Click(box);  // clear, with the settings gone: ticking it writes the entry again
    ASSERT_TRUE(WaitUntil([&] { return started.checked(box); }));
    EXPECT_EQ(entry(), L"\"" + exe + L"\"");
    Program::Click(box);
    EXPECT_TRUE(WaitUntil([&] { return !entry(); }));
    EXPECT_FALSE(userEntry());
    EXPECT_EQ(StoredSetting(L"Windows Startup"), L"Off");
}

TEST_F(StartupEntryTest, DeniedTheMachineWideKeyItWritesThisUsersEntry) {
    denyMachineWideWrites();
    Program program;
    ASSERT_TRUE(program.start());
    const HWND box = program.button(kStartupCaption);
    Program::Click(box);
    EXPECT_TRUE(WaitUntil([&] { return userEntry() == ProgramPath(); })) << "no spaces: no quotes";
    EXPECT_FALSE(machineEntry());
    EXPECT_TRUE(program.checked(box));
    EXPECT_EQ(program.messageBox(), nullptr);

    Program::Click(box);
    EXPECT_TRUE(WaitUntil([&] { return !userEntry(); }));
    EXPECT_FALSE(program.checked(box));
    EXPECT_EQ(program.messageBox(), nullptr) << "nothing is left machine-wide, so there is nothing to say";
    EXPECT_EQ(StoredSetting(L"Windows Startup"), L"Off");
}

TEST_F(StartupEntryTest, AMachineWideEntryThatCannotBeRemovedKeepsTheOptionOnAndSaysWhere) {
    // As a run with an administrator's rights left it.
    const std::wstring data = ProgramPath();
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, L"Tamberlyn.exe", REG_SZ, data.c_str(),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    StoreSetting(L"Windows Startup", L"On");
    denyMachineWideWrites();
    Program program;
    ASSERT_TRUE(program.start());
    const HWND box = program.button(kStartupCaption);
    ASSERT_TRUE(program.checked(box));

    Program::Click(box);
    HWND report = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (report = program.messageBox()) != nullptr; }));
    const std::wstring text = Program::MessageText(report);
    EXPECT_NE(text.find(L"Tamberlyn still starts with Windows: its log-on entry could not be removed, so the option "
                        L"stays on."),
              std::wstring::npos)
        << "got: " << text;
    EXPECT_NE(text.find(L"The entry \"Tamberlyn.exe\" in HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                        L"CurrentVersion\\Run could not be removed (access denied, error 5). It starts Tamberlyn for "
                        L"every user who logs on; an administrator can remove it."),
              std::wstring::npos)
        << "got: " << text;
    program.answer(report, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return program.messageBox() == nullptr; }));
    EXPECT_TRUE(program.checked(box));
    EXPECT_EQ(StoredSetting(L"Windows Startup"), L"On");
    EXPECT_EQ(machineEntry(), data);
    EXPECT_FALSE(userEntry()) << "no second entry beside the one left";
}

TEST_F(StartupEntryTest, WithNowhereToWriteTheOptionSaysSoAndStaysOff) {
    denyMachineWideWrites();
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, kRunKey), ERROR_SUCCESS);
    RegDeleteKeyW(HKEY_CURRENT_USER, kRunKey);
    Program program;
    ASSERT_TRUE(program.start());
    const HWND box = program.button(kStartupCaption);
    Program::Click(box);
    HWND report = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (report = program.messageBox()) != nullptr; }));
    const std::wstring text = Program::MessageText(report);
    EXPECT_NE(text.find(L"Tamberlyn could not be set to start with Windows, so the option stays off."),
              std::wstring::npos)
        << "got: " << text;
    program.answer(report, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return program.messageBox() == nullptr; }));
    EXPECT_FALSE(program.checked(box));
    EXPECT_EQ(StoredSetting(L"Windows Startup"), L"Off");
}

}  // namespace
}  // namespace tamberlyn::programtest
