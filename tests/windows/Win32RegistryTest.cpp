// Win32Registry: the registry routines' bytes reach the registry unchanged.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Win32Registry.h"

namespace tamberlyn {
namespace {

const wchar_t* const kTestKey = L"Software\\Quillmark\\TamberlynRegistryTest";
const char* const kTestPath = "Software\\Quillmark\\TamberlynRegistryTest";

std::vector<std::uint8_t> Bytes(const std::wstring& text) {
    std::vector<std::uint8_t> bytes;
    for (const wchar_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

struct Stored {
    LSTATUS status = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

Stored Query(HKEY root, const wchar_t* path, const wchar_t* name) {
    Stored stored;
    HKEY key = nullptr;
    stored.status = RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &key);
    if (stored.status != ERROR_SUCCESS) return stored;
    DWORD size = 0;
    stored.status = RegQueryValueExW(key, name, nullptr, &stored.type, nullptr, &size);
    stored.data.resize(size);
    if (stored.status == ERROR_SUCCESS) {
        stored.status = RegQueryValueExW(key, name, nullptr, &stored.type, stored.data.data(), &size);
    }
    RegCloseKey(key);
    return stored;
}

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }

    static void createTestKey() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    Win32Registry registry;
};

TEST_F(Win32RegistryTest, OpeningAnAbsentKeyFailsAndCreatesNothing) {
    RegistryKey key = 12345;
    EXPECT_EQ(registry.openKey(kHkeyCurrentUser, kTestPath, kKeyAllAccessButDelete, key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
    HKEY direct = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &direct), ERROR_FILE_NOT_FOUND);
}

TEST_F(Win32RegistryTest, StringAndNumberBytesArriveUnchanged) {
    createTestKey();
    RegistryKey key = 0;
    ASSERT_EQ(registry.openKey(kHkeyCurrentUser, kTestPath, kKeyAllAccessButDelete, key), ERROR_SUCCESS);
    ASSERT_NE(key, 0u);

    const std::vector<std::uint8_t> path = Bytes(L"\"C:\\Program Files\\Tamberlyn\\Tamberlyn.exe\" /école");
    const std::vector<std::uint8_t> number{0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(registry.setValue(key, "Tamberlyn", kRegSz, path), ERROR_SUCCESS);
    EXPECT_EQ(registry.setValue(key, "Démarrage", kRegDword, number), ERROR_SUCCESS);
    EXPECT_EQ(registry.setValue(key, "", kRegSz, Bytes(L"default")), ERROR_SUCCESS);
    EXPECT_EQ(registry.closeKey(key), ERROR_SUCCESS);

    const Stored text = Query(HKEY_CURRENT_USER, kTestKey, L"Tamberlyn");
    ASSERT_EQ(text.status, ERROR_SUCCESS);
    EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text.data, path);
    const Stored dword = Query(HKEY_CURRENT_USER, kTestKey, L"Démarrage");
    ASSERT_EQ(dword.status, ERROR_SUCCESS);
    EXPECT_EQ(dword.type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(dword.data.size(), 4u);
    DWORD value = 0;
    std::memcpy(&value, dword.data.data(), sizeof value);
    EXPECT_EQ(value, 0x12345678u);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, kTestKey, nullptr).data, Bytes(L"default"));
}

TEST_F(Win32RegistryTest, DeletingRemovesOneValueAndAnAbsentOneIsAnErrorCodeAlsoWhenQueried) {
    createTestKey();
    RegistryKey key = 0;
    ASSERT_EQ(registry.openKey(kHkeyCurrentUser, kTestPath, kKeyAllAccessButDelete, key), ERROR_SUCCESS);
    ASSERT_EQ(registry.setValue(key, "Tamberlyn", kRegSz, Bytes(L"x")), ERROR_SUCCESS);
    ASSERT_EQ(registry.setValue(key, "Other", kRegSz, Bytes(L"kept")), ERROR_SUCCESS);

    EXPECT_EQ(registry.queryValue(key, "Tamberlyn"), ERROR_SUCCESS);
    EXPECT_EQ(registry.deleteValue(key, "Tamberlyn"), ERROR_SUCCESS);
    EXPECT_EQ(registry.deleteValue(key, "Tamberlyn"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.queryValue(key, "Tamberlyn"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.queryValue(key, "Other"), ERROR_SUCCESS);
    EXPECT_EQ(registry.closeKey(key), ERROR_SUCCESS);

    EXPECT_EQ(Query(HKEY_CURRENT_USER, kTestKey, L"Tamberlyn").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, kTestKey, L"Other").data, Bytes(L"kept"));
}

TEST_F(Win32RegistryTest, ReadOnlyKeysRefuseWritesAndTheMachineWideRunKeyTakesThemUnderWine) {
    createTestKey();
    RegistryKey key = 0;
    ASSERT_EQ(registry.openKey(kHkeyCurrentUser, kTestPath, KEY_QUERY_VALUE, key), ERROR_SUCCESS);
    EXPECT_EQ(registry.setValue(key, "Tamberlyn", kRegSz, Bytes(L"x")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(registry.deleteValue(key, "Tamberlyn"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(registry.closeKey(key), ERROR_SUCCESS);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, kTestKey, L"Tamberlyn").status, ERROR_FILE_NOT_FOUND);

    // The machine-wide Run key. Wine gives every process an elevated administrator's token,
    // and the key grants administrators full access (D:(A;CIIO;GR;;;BU)(A;;KA;;;BA)): it
    // opens for writing and takes the value. A key that refuses is in the startup entry tests.
    const wchar_t* const run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    ASSERT_EQ(registry.openKey(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                               kKeyAllAccessButDelete, key),
              ERROR_SUCCESS);
    ASSERT_NE(key, 0u);
    const std::vector<std::uint8_t> path = Bytes(L"C:\\Tamberlyn.exe");
    EXPECT_EQ(registry.setValue(key, "TamberlynRegistryTest", kRegSz, path), ERROR_SUCCESS);
    const Stored stored = Query(HKEY_LOCAL_MACHINE, run, L"TamberlynRegistryTest");
    EXPECT_EQ(stored.status, ERROR_SUCCESS);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.data, path);
    EXPECT_EQ(registry.queryValue(key, "TamberlynRegistryTest"), ERROR_SUCCESS);
    EXPECT_EQ(registry.deleteValue(key, "TamberlynRegistryTest"), ERROR_SUCCESS);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, run, L"TamberlynRegistryTest").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.closeKey(key), ERROR_SUCCESS);
}

}  // namespace
}  // namespace tamberlyn
