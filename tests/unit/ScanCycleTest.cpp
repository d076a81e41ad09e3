#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "FakeEventLoop.h"
#include "FormFixture.h"
#include "FakeMessageBoxes.h"
#include "FakeWindowServices.h"
#include "RealTextCase.h"
#include "monitor/ScanCycle.h"
#include "platform/PlatformError.h"

namespace tamberlyn {
namespace {

// Upper-cases as the platform does, but fails for the texts it is told to.
class FailingTextCase : public TextCase {
public:
    std::string toUpper(std::string_view utf8) const override {
        if (failFor.count(std::string(utf8)) != 0) throw PlatformError("The text cannot be upper-cased");
        return real.toUpper(utf8);
    }
    std::set<std::string> failFor;
    testing::RealTextCase real;
};

class ScanCycleTest : public ::testing::Test {
protected:
    bool matches(const std::string& title, std::initializer_list<const char*> fragments) {
        WatchList fragmentList;
        for (const char* f : fragments) fragmentList.add(f);
        MatchCache cache;
        return WindowToClose(title, fragmentList, cache, textCase, reports);
    }
    // Window 1 is ours.
    void cycle() { RunScanCycle(list, {windows, textCase, events, reports, memory, "Form1", "Timer1_Timer", 1}); }

    FailingTextCase textCase;
    fakes::FakeMessageBoxes boxes;
    ErrorReports reports{boxes};
    fakes::FakeWindowServices windows;
    fakes::FakeEventLoop events;
    WatchList list;
    ScanMemory memory;
};

TEST_F(ScanCycleTest, MatchingIgnoresLetterCaseAndNothingElse) {
    EXPECT_TRUE(matches("Untitled - Notepad", {"notepad"}));
    EXPECT_FALSE(matches("Untitled - Notepad", {"Note pad"}));
    EXPECT_FALSE(matches("Untitled - Notepad", {"notepád"}));
    EXPECT_TRUE(matches("Ma belle école", {"ÉCOLE"}));
    EXPECT_TRUE(matches("ПРИВЕТ мир", {"привет"}));
    EXPECT_TRUE(matches("Calculator", {"xyz", "CALC"}));
    EXPECT_FALSE(matches("Calc", {"Calculator"}));
    EXPECT_FALSE(matches("Anything", {}));
}

TEST_F(ScanCycleTest, EmptyFragmentMatchesEveryTitledWindowButNoUntitledOne) {
    EXPECT_TRUE(matches("x", {""}));
    EXPECT_FALSE(matches("", {""}));
    EXPECT_FALSE(matches("", {"a"}));
}

TEST_F(ScanCycleTest, ClosesMatchingWindowsOnceEachAndLeavesTheRest) {
    list.add("notepad");
    list.add("NOTE");
    windows.open(10, "Untitled - Notepad");
    windows.open(11, "Calculator");
    windows.open(12, "");
    cycle();
    EXPECT_EQ(windows.closeRequests, std::vector<WindowHandle>{10});
    EXPECT_EQ(events.passes, 1);
}

TEST_F(ScanCycleTest, OnlyTheFirstFiftyCharactersOfATitleTakePart) {
    list.add("needle");
    windows.open(10, std::string(50, 'x') + "needle----");  // at characters 51 to 56
    windows.open(11, std::string(44, 'x') + "needle----");  // at characters 45 to 50
    windows.open(12, std::string(49, 'x') + "é needle");    // multi-byte character before the cut
    cycle();
    EXPECT_EQ(windows.closeRequests, std::vector<WindowHandle>{11});
}

TEST_F(ScanCycleTest, TheMainWindowAndNonPositiveHandlesAreNeverReadOrClosed) {
    list.add("Tamberlyn");
    windows.open(1, "Tamberlyn");
    windows.open(0, "Tamberlyn");
    windows.open(-5, "Tamberlyn");
    windows.open(7, "Tamberlyn");  // one of the program's message boxes
    cycle();
    EXPECT_EQ(windows.closeRequests, std::vector<WindowHandle>{7});
    EXPECT_EQ(windows.titleReads, std::vector<WindowHandle>{7});
}

TEST_F(ScanCycleTest, AWindowThatVanishesMidCycleIsNotAnError) {
    list.add("pop");
    windows.open(10, "popup one");
    windows.open(11, "popup two");
    windows.afterEnumeration = [&] { windows.vanish(10); };
    cycle();
    EXPECT_EQ(windows.closeRequests, std::vector<WindowHandle>{11});
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(ScanCycleTest, AWindowAskingAQuestionGetsNoSecondRequestUntilTheQuestionIsAnswered) {
    list.add("notepad");
    windows.open(10, "*Untitled - Notepad");
    windows.keepsPending.insert(10);
    cycle();
    windows.open(20, "Notepad", 10);  // "Save changes?", owned by the editor
    cycle();
    cycle();
    EXPECT_EQ(windows.closeRequestsTo(10), 1);
    EXPECT_EQ(windows.closeRequestsTo(20), 0);

    // Cancelled: the question goes, the request is answered, the editor is asked again.
    windows.vanish(20);
    windows.pending.erase(10);
    cycle();
    EXPECT_EQ(windows.closeRequestsTo(10), 2);
}

TEST_F(ScanCycleTest, TheDesktopAndPanelAreNeverAskedToClose) {
    list.add("r");
    windows.openShell(30, "Program Manager");
    windows.open(31, "Report");
    cycle();
    EXPECT_EQ(windows.closeRequests, std::vector<WindowHandle>{31});
}

TEST_F(ScanCycleTest, AFailingEnumerationIsReportedAndTheCycleStillPumpsEvents) {
    list.add("a");
    windows.open(10, "a window");
    windows.tracksChanges = true;
    windows.failEnumeration = true;
    cycle();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_NE(boxes.last().text.find("in Orvandel2021/08/31.Form1.Timer1_Timer at line 100"), std::string::npos);
    EXPECT_EQ(events.passes, 1);

    windows.failEnumeration = false;  // nothing changed since, but nothing was seen either
    cycle();
    EXPECT_EQ(windows.closeRequests, std::vector<WindowHandle>{10});
}

TEST_F(ScanCycleTest, WhileNothingChangesATickAsksTheSameWindowsWithoutLookingAgain) {
    list.add("notepad");
    windows.open(10, "Untitled - Notepad");
    windows.open(11, "Calculator");
    windows.closesOnRequest = false;  // ignores the request
    windows.tracksChanges = true;
    cycle();
    for (int i = 0; i < 3; ++i) cycle();
    EXPECT_EQ(windows.enumerations, 1);
    EXPECT_EQ(windows.titleReads.size(), 2u);
    EXPECT_EQ(windows.closeRequestsTo(10), 4) << "asked at every tick while it matches";
    EXPECT_EQ(events.passes, 4);

    windows.pending.insert(10);  // now asking the user something
    cycle();
    EXPECT_EQ(windows.closeRequestsTo(10), 4);

    windows.retitle(11, "Notepad help");
    cycle();
    EXPECT_EQ(windows.enumerations, 2);
    EXPECT_EQ(windows.closeRequestsTo(11), 1);

    list.add("calc");
    windows.open(12, "Calculator");
    windows.vanish(10);
    cycle();
    cycle();
    EXPECT_EQ(windows.closeRequests, (std::vector<WindowHandle>{10, 10, 10, 10, 11, 11, 12, 11, 12}));
}

TEST_F(ScanCycleTest, AFailedMatchClosesNothingAndIsReported) {
    windows.tracksChanges = true;
    // Upper-case already: taken as it stands, a fragment or title that failed would match.
    list.add("ÉCOLE");
    list.add("note");
    textCase.failFor = {"ÉCOLE", "NOTE ÉTÉ"};
    windows.open(10, "Ma belle école");  // only the fragment that failed is in it
    windows.open(11, "NOTE ÉTÉ");        // a title that fails
    windows.open(12, "Calculator");
    cycle();
    EXPECT_EQ(windows.closeRequests, std::vector<WindowHandle>{});
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_NE(boxes.shown[0].text.find("The text cannot be upper-cased\r\nin Orvandel2021/08/31.Form1.WindowToClose at "
                                       "line 104"),
              std::string::npos)
        << boxes.shown[0].text;
    EXPECT_NE(boxes.shown[1].text.find("Form1.WindowToClose at line 102"), std::string::npos) << boxes.shown[1].text;
    EXPECT_EQ(events.passes, 1);

    // The other fragments still match; a title that failed is not remembered as no match.
    windows.open(13, "Notes");
    textCase.failFor = {"ÉCOLE"};
    cycle();
    EXPECT_EQ(windows.closeRequests, (std::vector<WindowHandle>{11, 13}));
    EXPECT_EQ(boxes.count(), 2);
}

TEST_F(ScanCycleTest, AWindowOpenedAfterTheEnumerationWaitsForTheNextCycle) {
    list.add("late");
    windows.afterEnumeration = [&] {
        if (windows.enumerations == 1) windows.open(40, "late window");
    };
    cycle();
    EXPECT_TRUE(windows.closeRequests.empty());
    cycle();
    EXPECT_EQ(windows.closeRequests, std::vector<WindowHandle>{40});
}

using WindowsChangedTest = testing::FormTest;

TEST_F(WindowsChangedTest, WhileMonitoringANewMatchingWindowIsAskedAtOnce) {
    start();
    form->Text1.setText("popup");
    form->PushButton1_Click();
    fake.windows.open(10, "Popup");
    form->Windows_Changed();
    EXPECT_TRUE(fake.windows.closeRequests.empty()) << "monitoring is off";

    form->PushButton2_Click();
    form->Windows_Changed();
    EXPECT_EQ(fake.windows.closeRequests, std::vector<WindowHandle>{10});

    // A change reported while a cycle lets events run waits for the next tick.
    fake.windows.afterEnumeration = [&] { fake.events.post([&] { form->Windows_Changed(); }); };
    form->Timer1_Timer();
    EXPECT_EQ(fake.windows.enumerations, 2);
}

}  // namespace
}  // namespace tamberlyn
