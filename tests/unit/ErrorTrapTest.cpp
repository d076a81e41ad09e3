#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeMessageBoxes.h"
#include "common/ErrorTrap.h"

namespace tamberlyn {
namespace {

TEST(ErrorReport, TextHasItsPartsInOrder) {
    EXPECT_EQ(FormatErrorReport("Permission denied", "Form1", "Timer1_Timer", 106),
              std::string("Permission denied\r\nin Orvandel2021/08/31.Form1.Timer1_Timer at line 106\r\r"
                          "Please email screenshot of this message to ") +
                  kSupportAddress);
}

TEST(ErrorReport, AFailedStepIsReportedOnceAndTheHandlerGoesOn) {
    fakes::FakeMessageBoxes boxes;
    ErrorReports reports{boxes};
    ErrorTrap trap{reports, "Form1", "PushButton1_Click"};
    std::vector<int> ran;
    trap.step(100, [&] { ran.push_back(100); });
    trap.step(102, [&] { throw std::runtime_error("Disk full"); });
    trap.step(104, [&] { ran.push_back(104); });
    EXPECT_EQ(ran, (std::vector<int>{100, 104}));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Application Error");
    EXPECT_EQ(boxes.last().icon, MessageIcon::Exclamation);
    EXPECT_EQ(boxes.last().buttons, MessageButtons::Ok);
    EXPECT_EQ(boxes.last().text.rfind("Disk full\r\nin Orvandel2021/08/31.Form1.PushButton1_Click at line 102", 0), 0u);
}

TEST(ErrorReport, OneCauseIsShownOnceHoweverManyStepsItFails) {
    fakes::FakeMessageBoxes boxes;
    ErrorReports reports{boxes};
    ErrorTrap trap{reports, "Form1", "Form_Load"};
    trap.step(112, [] { throw std::runtime_error("The settings file cannot be read."); });
    trap.step(136, [] { throw std::runtime_error("The settings file cannot be read."); });
    trap.step(150, [] { throw std::runtime_error("No tray."); });
    EXPECT_TRUE(trap.test(160, []() -> bool { throw std::runtime_error("The settings file cannot be read."); }));
    EXPECT_EQ(trap.failures(), 4);
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.shown[0].text.rfind("The settings file cannot be read.\r\nin Orvandel2021/08/31.Form1.Form_Load at "
                                        "line 112", 0),
              0u);
    EXPECT_EQ(boxes.shown[1].text.rfind("No tray.", 0), 0u);

    ErrorTrap nextRun{reports, "Form1", "Form_Load"};  // the handler's next run says it again
    nextRun.step(112, [] { throw std::runtime_error("The settings file cannot be read."); });
    EXPECT_EQ(boxes.count(), 3);
}

TEST(ErrorReport, AFailingConditionContinuesInsideItsBranch) {
    fakes::FakeMessageBoxes boxes;
    ErrorReports reports{boxes};
    ErrorTrap trap{reports, "Form1", "Form_Load"};
    EXPECT_TRUE(trap.test(108, [&]() -> bool { throw std::runtime_error("x"); }));
    EXPECT_FALSE(trap.test(110, [] { return false; }));
    EXPECT_EQ(boxes.count(), 1);
}

TEST(ErrorReport, AFailureWhileItsOwnReportIsOpenAddsNoSecondBox) {
    fakes::FakeMessageBoxes boxes;
    ErrorReports reports{boxes};
    boxes.whileOpen = [&] {
        ErrorTrap nested{reports, "Form1", "Timer1_Timer"};
        nested.step(102, [] { throw std::runtime_error("again"); });
        ErrorTrap other{reports, "Form1", "PushButton1_Click"};
        other.step(100, [] { throw std::runtime_error("other handler"); });
    };
    ErrorTrap trap{reports, "Form1", "Timer1_Timer"};
    trap.step(102, [] { throw std::runtime_error("first"); });
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.shown[1].text.rfind("other handler", 0), 0u);
    trap.step(104, [] { throw std::runtime_error("later"); });  // the first box is closed by now
    EXPECT_EQ(boxes.count(), 3);
}

}  // namespace
}  // namespace tamberlyn
