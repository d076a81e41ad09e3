#include "FormFixture.h"

namespace tamberlyn {
namespace {

using testing::FormTest;

TEST_F(FormTest, TickingAndClearingTheLogOnBoxStoresAndWritesTheEntry) {
    Form1& f = start();
    f.Check6.setValue(1);
    EXPECT_EQ(stored("Windows Startup"), "On");
    EXPECT_TRUE(fake.logonEntry.present);
    EXPECT_FALSE(f.Check8.visible());  // only the next start shows it
    f.Check6.setValue(0);
    EXPECT_EQ(stored("Windows Startup"), "Off");
    EXPECT_FALSE(fake.logonEntry.present);
    f.Check6.setValue(0);  // the same value raises no click
    EXPECT_EQ(fake.logonEntry.calls, (std::vector<std::string>{"add", "remove"}));
}

TEST_F(FormTest, WhenNoEntryCanBeWrittenTheBoxEndsClearAndOffIsStored) {
    Form1& f = start();
    fake.logonEntry.refuse = true;
    f.Check6.setValue(1);
    EXPECT_EQ(f.Check6.value(), 0);
    EXPECT_EQ(stored("Windows Startup"), "Off");
    ASSERT_EQ(fake.messages.count(), 1);
    EXPECT_EQ(fake.messages.last().text.rfind(kWindowsTexts.startupFailed, 0), 0u);
    EXPECT_NE(fake.messages.last().text.find("Access is denied."), std::string::npos);
}

TEST_F(FormTest, WhenTheEntryCannotBeRemovedTheBoxStaysTickedOnStaysStoredAndItSaysSo) {
    fake.settings.set("Windows Startup", "On");
    fake.logonEntry.present = true;  // written by an earlier run with more rights
    fake.logonEntry.keep = true;
    Form1& f = start();
    f.Check6.setValue(0);
    EXPECT_EQ(f.Check6.value(), 1);
    EXPECT_EQ(stored("Windows Startup"), "On");
    EXPECT_TRUE(fake.logonEntry.present);
    EXPECT_EQ(fake.logonEntry.calls, std::vector<std::string>{"remove"}) << "no second entry beside the one left";
    ASSERT_EQ(fake.messages.count(), 1);
    EXPECT_EQ(fake.messages.last().text, kWindowsTexts.startupRemains + "\r\n\r\nThe entry is read-only.");
    EXPECT_EQ(fake.messages.last().icon, MessageIcon::Exclamation);

    fake.logonEntry.keep = false;  // an administrator's turn
    f.Check6.setValue(0);
    EXPECT_EQ(stored("Windows Startup"), "Off");
    EXPECT_FALSE(fake.logonEntry.present);
    EXPECT_EQ(fake.messages.count(), 1);
}

TEST_F(FormTest, StartInTrayStoresItsValueAlsoWhileLoading) {
    fake.settings.set("Windows Startup", "On");
    fake.settings.set("Minimized", "On");
    Form1& f = start();
    fake.settings.writes.clear();
    f.Check8.setValue(0);
    f.Check8.setValue(1);
    EXPECT_EQ(fake.settings.writes, (std::vector<std::string>{"Minimized=Off", "Minimized=On"}));
    f.Check6.setValue(0);
    EXPECT_TRUE(f.Check8.visible());  // clearing Check6 hides nothing until the next start
}

}  // namespace
}  // namespace tamberlyn
