#include "FormFixture.h"

namespace tamberlyn {
namespace {

using testing::FormTest;

class EditingTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        start();
    }
    void add(const std::string& text) {
        form->Text1.setText(text);
        form->PushButton1_Click();
    }
    // After every command the stored value is the list on screen.
    void expectStoredMatchesList() const { EXPECT_EQ(storedList(), JoinWatchList(rows())); }
};

TEST_F(EditingTest, AddKeepsTextExactlyAndEmptiesTheBox) {
    add("  Note pad ");
    add("dup");
    add("dup");
    EXPECT_EQ(rows(), (std::vector<std::string>{"  Note pad ", "dup", "dup"}));
    EXPECT_EQ(form->Text1.text(), "");
    expectStoredMatchesList();

    fake.settings.writes.clear();
    add("");  // ignored silently, still stored
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_EQ(fake.messages.count(), 0);
    EXPECT_EQ(fake.settings.writes.size(), 1u);
}

TEST_F(EditingTest, AFragmentThatWouldNotComeBackAsTypedIsRefusedAndKeptInTheBox) {
    // Holding the separator, or ending so that the separator stored after it is found early.
    for (const char* refused : {"a||||||||---|||b", "abc||||||||---", "abc||||||||---|", "abc||||||||---||"}) {
        fake.messages.shown.clear();
        add(refused);
        EXPECT_TRUE(rows().empty()) << refused;
        EXPECT_EQ(form->Text1.text(), refused);
        ASSERT_EQ(fake.messages.count(), 1) << refused;
        EXPECT_EQ(fake.messages.last().text,
                  "A title fragment cannot contain \"||||||||---|||\": the watch list is stored with it between "
                  "entries, so the fragment would come back as two.");
        EXPECT_EQ(fake.messages.last().title, "Tamberlyn");
    }
    fake.messages.shown.clear();
    add("a|||b");  // bars alone are fine, at the end too
    add("abc|");
    add("Notepad");
    EXPECT_EQ(rows(), (std::vector<std::string>{"a|||b", "abc|", "Notepad"}));
    EXPECT_EQ(fake.messages.count(), 0);
    EXPECT_EQ(SplitWatchList(storedList()), rows()) << "what the next start loads";
}

TEST_F(EditingTest, ClickCopiesDoubleClickRemovesAndTheTextStays) {
    add("one");
    add("two");
    form->ListView1.select(1);
    form->ListView1_Click();
    EXPECT_EQ(form->Text1.text(), "one");
    form->PushButton1_Click();  // adds a second "one" at the end
    EXPECT_EQ(rows(), (std::vector<std::string>{"one", "two", "one"}));

    form->ListView1.select(2);
    form->ListView1_Click();
    form->ListView1_DblClick();
    EXPECT_EQ(rows(), (std::vector<std::string>{"one", "one"}));
    EXPECT_EQ(form->Text1.text(), "two");
    expectStoredMatchesList();
}

TEST_F(EditingTest, DeleteKeyWithAnyModifierRemovesOtherKeysDoNothing) {
    for (const char* t : {"a", "b", "c", "d"}) add(t);
    fake.settings.writes.clear();
    form->ListView1.select(1);
    form->ListView1_KeyDown(46, 1);  // Shift+Delete
    form->ListView1.select(1);
    form->ListView1_KeyDown(46, 2);  // Ctrl+Delete
    form->ListView1.select(1);
    form->ListView1_KeyDown(8, 0);  // Backspace
    form->ListView1_KeyDown(65, 0);
    EXPECT_EQ(rows(), (std::vector<std::string>{"c", "d"}));
    EXPECT_EQ(fake.settings.writes.size(), 2u);
    expectStoredMatchesList();
}

TEST_F(EditingTest, DeleteSelectedWithoutSelectionChangesNothingButStores) {
    add("a");
    form->PushButton3_Click();
    EXPECT_EQ(rows(), std::vector<std::string>{"a"});
    form->ListView1.select(1);
    form->PushButton3_Click();
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(storedList(), "");
    form->PushButton3_Click();
    EXPECT_EQ(storedList(), "");
}

TEST_F(EditingTest, ClearAsksFirstAndStoresWhateverTheAnswer) {
    form->PushButton4_Click();  // empty: no question
    EXPECT_EQ(fake.messages.count(), 0);
    EXPECT_EQ(storedList(), "");

    add("a");
    add("b");
    fake.messages.answers = {MessageResult::No, MessageResult::Yes};
    form->PushButton4_Click();
    EXPECT_EQ(fake.messages.last().text, "Are you sure you want to clear list?");
    EXPECT_EQ(fake.messages.last().buttons, MessageButtons::YesNo);
    EXPECT_EQ(fake.messages.last().icon, MessageIcon::None);
    EXPECT_EQ(rows().size(), 2u);
    expectStoredMatchesList();
    form->PushButton4_Click();
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(storedList(), "");
}

TEST_F(EditingTest, ScansDuringTheClearQuestionSeeTheListUnchanged) {
    add("calc");
    form->PushButton2_Click();
    fake.windows.open(10, "Calculator");
    fake.messages.answers = {MessageResult::Yes};
    fake.messages.whileOpen = [&] { form->Timer1_Timer(); };
    form->PushButton4_Click();
    EXPECT_EQ(fake.windows.closeRequests, std::vector<WindowHandle>{10});
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(form->PushButton2.caption(), "Stop Monitoring");  // clearing does not stop monitoring
}

TEST_F(EditingTest, AFailedSaveIsReportedAtTheSaveLine) {
    fake.settings.failWrites = true;
    add("a");
    form->ListView1.select(1);
    form->PushButton3_Click();
    form->PushButton4_Click();
    EXPECT_EQ(reportedLines(), (std::vector<std::string>{"Form1.PushButton1_Click:106", "Form1.PushButton3_Click:104",
                                                         "Form1.PushButton4_Click:108"}));
}

TEST_F(EditingTest, ARestartShowsTheSameList) {
    add("Zeta");
    add("alpha ");
    form->ListView1.select(1);
    form->PushButton3_Click();
    add("Ω");
    const std::vector<std::string> before = rows();
    start();
    EXPECT_EQ(rows(), before);
}

}  // namespace
}  // namespace tamberlyn
