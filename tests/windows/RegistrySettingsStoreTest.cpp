// RegistrySettingsStore on the registry of this test's own Wine prefix.

#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <string>

#include "platform/PlatformError.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32ErrorText.h"

namespace tamberlyn {
namespace {

const wchar_t* const kSettingsRoot = L"Software\\VB and VBA Program Settings";
const wchar_t* const kTestApplication = L"Software\\VB and VBA Program Settings\\TamberlynTest";

class RegistrySettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { clean(); }
    void TearDown() override { clean(); }
    static void clean() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestApplication);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Quillmark\\Tamberlyn");
    }

    // Stores a value the way another program might have.
    static void store(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kTestApplication) + L"\\Section").c_str(), 0,
                                  nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    RegistrySettingsStore settings;
};

TEST_F(RegistrySettingsStoreTest, StoresTextAsStringValuesWhereExistingUsersHaveThem) {
    settings.write("Quillmark", "Tamberlyn", "Listview", "notepad|Ma belle école — привет|\U0001F600");
    settings.write("Quillmark", "Tamberlyn", "StartStopState", "On");
    settings.write("Quillmark", "Tamberlyn", "StartStopState", "Off");
    settings.write("Quillmark", "Tamberlyn", "Minimized", "");

    EXPECT_EQ(settings.read("Quillmark", "Tamberlyn", "Listview"), "notepad|Ma belle école — привет|\U0001F600");
    EXPECT_EQ(settings.read("Quillmark", "Tamberlyn", "StartStopState"), "Off");
    EXPECT_EQ(settings.read("Quillmark", "Tamberlyn", "Minimized"), "");

    const wchar_t* const path = L"Software\\VB and VBA Program Settings\\Quillmark\\Tamberlyn";
    wchar_t text[64] = L"";
    DWORD type = REG_NONE;
    DWORD bytes = sizeof text;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, path, L"Listview", RRF_RT_ANY, &type, text, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(text, L"notepad|Ma belle école — привет|\U0001F600");

    // The terminating NUL is stored with the text (RegGetValueW would add a missing one).
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    bytes = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Listview", nullptr, nullptr, nullptr, &bytes), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(bytes, (std::wcslen(text) + 1) * sizeof(wchar_t));
}

TEST_F(RegistrySettingsStoreTest, AbsentValuesReadAsNothingAndOthersThanTextAreReportedAndNeverSavedOver) {
    EXPECT_EQ(settings.read("TamberlynTest", "Section", "Anything"), std::nullopt);  // no key
    const DWORD number = 1;
    store(L"Number", REG_DWORD, &number, sizeof number);
    store(L"Bytes", REG_BINARY, "On", 2);
    EXPECT_EQ(settings.read("TamberlynTest", "Section", "Absent"), std::nullopt);
    EXPECT_EQ(settings.read("TamberlynTest", "Other section", "Number"), std::nullopt);

    const auto failure = [](auto&& operation) {
        try {
            operation();
        } catch (const PlatformError& error) {
            return std::string(error.what());
        }
        return std::string("(none)");
    };
    const std::string where = " in HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\TamberlynTest\\Section holds ";
    const std::string leftAlone = " data, not text. Tamberlyn leaves it as it is: correct or remove it.";
    EXPECT_EQ(failure([&] { settings.read("TamberlynTest", "Section", "Number"); }),
              "The setting Number" + where + "REG_DWORD" + leftAlone);
    EXPECT_EQ(failure([&] { settings.read("TamberlynTest", "Section", "Bytes"); }),
              "The setting Bytes" + where + "REG_BINARY" + leftAlone);
    EXPECT_EQ(failure([&] { settings.write("TamberlynTest", "Section", "Bytes", "Off"); }),
              "The setting Bytes" + where + "REG_BINARY" + leftAlone);

    BYTE bytes[8] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof bytes;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, (std::wstring(kTestApplication) + L"\\Section").c_str(), L"Bytes",
                           RRF_RT_ANY, &type, bytes, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), size), "On");
}

TEST_F(RegistrySettingsStoreTest, ReadsStringsHoweverTheyWereStored) {
    // The system adds a NUL the count left out when one follows the text, so none does here.
    const wchar_t unterminated[] = L"Ohne Ende!";
    store(L"Unterminated", REG_SZ, unterminated, 9 * sizeof(wchar_t));
    const std::wstring expandable = L"%TEMP%\\école";
    store(L"Expandable", REG_EXPAND_SZ, expandable.c_str(),
          static_cast<DWORD>((expandable.size() + 1) * sizeof(wchar_t)));
    std::wstring longText;
    for (int i = 0; i < 2000; ++i) longText += L"привет|";
    store(L"Long", REG_SZ, longText.c_str(), static_cast<DWORD>((longText.size() + 1) * sizeof(wchar_t)));
    store(L"Odd", REG_SZ, "O\0n\0!", 5);  // a half character at the end

    EXPECT_EQ(settings.read("TamberlynTest", "Section", "Unterminated"), "Ohne Ende");
    EXPECT_EQ(settings.read("TamberlynTest", "Section", "Expandable"), "%TEMP%\\école");
    std::string expectedLong;
    for (int i = 0; i < 2000; ++i) expectedLong += "привет|";
    EXPECT_EQ(settings.read("TamberlynTest", "Section", "Long"), expectedLong);
    EXPECT_EQ(settings.read("TamberlynTest", "Section", "Odd"), "On");
}

// The message names the key and says that the program keeps the change, as the Linux
// program says for its file.
TEST_F(RegistrySettingsStoreTest, AFailedWriteNamesTheKeyTheSystemsReasonAndThatTheChangeIsKept) {
    const auto failure = [&](const char* key) {
        try {
            settings.write("TamberlynTest", "Section", key, "value");
        } catch (const PlatformError& error) {
            return std::string(error.what());
        }
        return std::string("(none)");
    };
    const auto expected = [](const char* key, DWORD code) {
        std::string why = Win32ErrorText(code);
        if (why.ends_with('.')) why.pop_back();
        return std::string("The setting ") + key +
               " in HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\TamberlynTest\\Section cannot be "
               "saved: " + why + ". The change holds until Tamberlyn ends; the registry keeps what it held.";
    };

    // A key whose access list refuses writes.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kTestApplication) + L"\\Section").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR refusing = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x0006;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                     &refusing, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, refusing), ERROR_SUCCESS);
    LocalFree(refusing);
    RegCloseKey(key);
    EXPECT_EQ(failure("Denied"), expected("Denied", ERROR_ACCESS_DENIED));
    EXPECT_EQ(settings.read("TamberlynTest", "Section", "Denied"), std::nullopt);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestApplication);

    // A stable key cannot be made under a volatile one.
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsRoot, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestApplication, 0, nullptr, REG_OPTION_VOLATILE, KEY_READ, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(failure("Key"), expected("Key", ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_EQ(settings.read("TamberlynTest", "Section", "Key"), std::nullopt);
}

TEST(Win32ErrorTextTest, GivesTheSystemsSentenceWithoutALineBreak) {
    const std::string denied = Win32ErrorText(ERROR_ACCESS_DENIED);
    EXPECT_NE(denied.find("denied"), std::string::npos) << denied;
    EXPECT_NE(denied.back(), '\n');
    EXPECT_NE(denied.back(), '\r');
    EXPECT_EQ(Win32ErrorText(0x2000ABCDu), "Error 536914893");
}

}  // namespace
}  // namespace tamberlyn
