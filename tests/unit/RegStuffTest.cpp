#include <gtest/gtest.h>

#include "FakeDesktopServices.h"
#include "FakeRegistry.h"
#include "platform/PlatformError.h"
#include "platform/win32/RegStuff.h"

namespace tamberlyn {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(RegistryRoutines, ValueBytes) {
    EXPECT_EQ(RegistryBytes(kRegSz, std::string("C:\\é")), (Bytes{'C', 0, ':', 0, '\\', 0, 0xE9, 0, 0, 0}));
    EXPECT_EQ(RegistryBytes(kRegSz, std::string("😀")), (Bytes{0x3D, 0xD8, 0x00, 0xDE, 0, 0}));
    EXPECT_EQ(RegistryBytes(kRegSz, std::int32_t{42}), (Bytes{'4', 0, '2', 0, 0, 0}));
    EXPECT_EQ(RegistryBytes(kRegDword, std::int32_t{0x01020304}), (Bytes{4, 3, 2, 1}));
    EXPECT_EQ(RegistryBytes(kRegDword, std::int32_t{-2}), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
}

class RunEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry.createKey(kHkeyLocalMachine, kRunKeyPath);
        registry.createKey(kHkeyCurrentUser, kRunKeyPath);
    }
    std::string data(RegistryKey root, const std::string& name) const {
        const auto* v = registry.value(root, kRunKeyPath, name);
        if (!v) return "(none)";
        EXPECT_EQ(v->type, kRegSz);
        std::string text;
        for (std::size_t i = 0; i + 1 < v->data.size(); i += 2) text += static_cast<char>(v->data[i]);
        return text;
    }
    fakes::FakeRegistry registry;
};

TEST_F(RunEntryTest, WritesTheRunningProgramQuotedWhenItHoldsASpace) {
    EXPECT_EQ(AddRunEntry(registry, "C:\\Apps\\Tool", "tool.exe"), 0);
    EXPECT_EQ(data(kHkeyLocalMachine, "tool.exe"), std::string("C:\\Apps\\Tool\\tool.exe") + '\0');
    EXPECT_EQ(RunEntryData("C:\\", "tool.exe"), "C:\\tool.exe");
    EXPECT_EQ(RunEntryData("C:\\Program Files\\Tamberlyn", "Tamberlyn.exe"),
              "\"C:\\Program Files\\Tamberlyn\\Tamberlyn.exe\"");
    EXPECT_EQ(registry.lastAccess, 0x3Fu);
    EXPECT_TRUE(registry.open.empty());  // every key opened is closed again
}

TEST_F(RunEntryTest, AddingTwiceLeavesOneValueWithTheLatestData) {
    AddRunEntry(registry, "C:\\Old", "tool.exe");
    AddRunEntry(registry, "C:\\New", "tool.exe");
    EXPECT_EQ(registry.values.size(), 1u);
    EXPECT_EQ(data(kHkeyLocalMachine, "tool.exe"), std::string("C:\\New\\tool.exe") + '\0');
}

TEST_F(RunEntryTest, FallsBackToTheUsersRunKeyAndRemovesFromBoth) {
    registry.readOnlyRoots = {kHkeyLocalMachine};
    EXPECT_EQ(AddRunEntry(registry, "C:\\Apps", "t.exe"), 0);
    EXPECT_EQ(data(kHkeyLocalMachine, "t.exe"), "(none)");
    EXPECT_EQ(data(kHkeyCurrentUser, "t.exe"), std::string("C:\\Apps\\t.exe") + '\0');

    registry.readOnlyRoots.clear();
    AddRunEntry(registry, "C:\\Apps", "t.exe");
    RemoveRunEntry(registry, "t.exe");
    EXPECT_TRUE(registry.values.empty());
    RemoveRunEntry(registry, "t.exe");  // absent: nothing happens, nothing reported
    EXPECT_TRUE(registry.open.empty());
}

TEST_F(RunEntryTest, AnEntryThatCannotBeDeletedIsReportedWithItsKeyAnAbsentOneIsNot) {
    AddRunEntry(registry, "C:\\Apps", "t.exe");  // by an earlier run with an administrator's rights
    registry.readOnlyRoots = {kHkeyLocalMachine};
    std::vector<RunEntryLeft> left = RemoveRunEntry(registry, "t.exe");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].root, kHkeyLocalMachine);
    EXPECT_EQ(left[0].result, fakes::FakeRegistry::kAccessDenied);
    EXPECT_EQ(data(kHkeyLocalMachine, "t.exe"), std::string("C:\\Apps\\t.exe") + '\0');
    EXPECT_EQ(RunEntryLeftText("t.exe", left[0]),
              "The entry \"t.exe\" in HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run could not be "
              "removed (access denied, error 5). It starts Tamberlyn for every user who logs on; an administrator "
              "can remove it.");
    EXPECT_TRUE(registry.open.empty());

    registry.values.clear();  // denied, but nothing there: nothing to report
    EXPECT_TRUE(RemoveRunEntry(registry, "t.exe").empty());

    registry.unreadableRoots = {kHkeyCurrentUser};  // a key that cannot even be read may hold it
    left = RemoveRunEntry(registry, "t.exe");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].root, kHkeyCurrentUser);
    EXPECT_EQ(RunEntryLeftText("t.exe", left[0]),
              "The entry \"t.exe\" in HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run could not be "
              "removed (access denied, error 5).");
}

TEST_F(RunEntryTest, NeitherKeyWritableIsAFailureWithTheMachineWideReason) {
    registry.readOnlyRoots = {kHkeyLocalMachine, kHkeyCurrentUser};
    EXPECT_EQ(AddRunEntry(registry, "C:\\Apps", "t.exe"), fakes::FakeRegistry::kAccessDenied);
    fakes::FakeRegistry noRunKey;  // a missing key is not created
    EXPECT_EQ(AddRunEntry(noRunKey, "C:\\Apps", "t.exe"), fakes::FakeRegistry::kNotFound);
    EXPECT_TRUE(noRunKey.keys.empty());
    EXPECT_EQ(WriteRegistryValue(noRunKey, 0, "x", 3, std::string("ignored")), 0);  // other types write nothing
}

TEST_F(RunEntryTest, TheLogOnEntryRegistersTheRunningExecutableItself) {
    fakes::FakeProgramFiles files;
    files.exe = "C:\\Users\\Ann Lee\\Tools\\Tamberlyn.exe";
    RunKeyLogonEntry entry(registry, files);
    entry.add();
    EXPECT_EQ(data(kHkeyLocalMachine, "Tamberlyn.exe"), "\"C:\\Users\\Ann Lee\\Tools\\Tamberlyn.exe\"" + std::string(1, '\0'));
    entry.remove();
    EXPECT_TRUE(registry.values.empty());

    registry.readOnlyRoots = {kHkeyLocalMachine, kHkeyCurrentUser};
    EXPECT_THROW(entry.add(), PlatformError);

    registry.readOnlyRoots.clear();
    entry.add();
    registry.readOnlyRoots = {kHkeyLocalMachine};
    try {
        entry.remove();
        FAIL() << "the entry left was not reported";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.what(), RunEntryLeftText("Tamberlyn.exe", {kHkeyLocalMachine, fakes::FakeRegistry::kAccessDenied}));
    }
}

}  // namespace
}  // namespace tamberlyn
