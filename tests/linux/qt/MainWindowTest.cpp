// The main window as a user meets it: where everything is, and the list commands.

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QScreen>
#include <algorithm>
#include <map>
#include <vector>

#include "ProgramFixture.h"
#include "platform/qt/QtSettingsStore.h"
#include "common/Settings.h"
#include "watchlist/WatchListStore.h"

namespace tamberlyn::qttest {
namespace {

using Layout = ProgramTest;

// Every control of the form is built, in its frame, whole, clear of its neighbours, and
// wide enough for its caption; the window holds them with a margin.
TEST_F(Layout, EveryControlOfTheFormIsShownWholeInItsPlace) {
    start();
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_FALSE(window().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window().windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    std::map<const QWidget*, std::vector<QRect>> siblings;
    int right = 0;
    int bottom = 0;
    for (const FormControl& entry : form().controls()) {
        const QString name = QString::fromStdString(entry.control->name());
        QWidget* shown = window().findChild<QWidget*>(name);
        ASSERT_NE(shown, nullptr) << name.toStdString();
        const Control* container = entry.control->container();
        const QString parentName = container ? QString::fromStdString(container->name()) : window().objectName();
        EXPECT_EQ(shown->parentWidget()->objectName(), parentName) << name.toStdString();
        const QRect place = shown->geometry();
        EXPECT_TRUE(shown->parentWidget()->rect().contains(place)) << name.toStdString();
        for (const QRect& other : siblings[shown->parentWidget()]) {
            EXPECT_FALSE(place.intersects(other)) << name.toStdString();
        }
        siblings[shown->parentWidget()].push_back(place);
        if (container == nullptr) {
            right = std::max(right, place.right());
            bottom = std::max(bottom, place.bottom());
        }
        if (auto* button = qobject_cast<QAbstractButton*>(shown)) {
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), place.width()) << name.toStdString();
        }
    }
    EXPECT_LE(window().width() - right, 16);
    EXPECT_LE(window().height() - bottom, 16);
    // The one column fits without a scroll bar.
    EXPECT_GT(list().columnWidth(0), list().viewport()->width() * 3 / 4);
    EXPECT_LE(list().columnWidth(0), list().viewport()->width());

    // Centred on the screen, give or take the window manager's frame.
    const QPoint centre = window().screen()->availableGeometry().center();
    EXPECT_TRUE(eventually([&] {
        const QPoint offset = window().frameGeometry().center() - centre;
        return std::abs(offset.x()) <= 12 && std::abs(offset.y()) <= 24;
    })) << window().frameGeometry().x() << "," << window().frameGeometry().y();
}

TEST_F(Layout, TextsFontsAndColoursComeFromTheForm) {
    start();
    EXPECT_EQ(window().windowTitle(), "Tamberlyn");
    EXPECT_EQ(list().headerItem()->text(0), " Windows Titles To Monitor and Close");
    EXPECT_EQ(list().toolTip(), "Double-click item to remove it.");
    EXPECT_EQ(list().selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(widget<QCheckBox>("Check6").text(), "Load this software when I log in");
    EXPECT_EQ(widget<QGroupBox>("Frame1").title(), "Startup Options");

    const QFont button = widget<QPushButton>("PushButton6").font();
    EXPECT_EQ(button.family(), "Arial");
    EXPECT_DOUBLE_EQ(button.pointSizeF(), 11.25);
    EXPECT_TRUE(button.bold());
    const QFont caption = widget<QCheckBox>("Check6").font();
    EXPECT_DOUBLE_EQ(caption.pointSizeF(), 9.0);
    EXPECT_TRUE(caption.bold());

    // White where nothing is drawn over the surface: a corner of the window, beside a
    // frame's title, at the end of a check box's caption.
    auto pixel = [](QWidget& surface, QPoint at) { return surface.grab().toImage().pixelColor(at); };
    EXPECT_EQ(pixel(window(), {3, 3}), QColor(Qt::white));
    QGroupBox& frame = widget<QGroupBox>("Frame1");
    EXPECT_EQ(pixel(frame, {frame.width() - 4, 2}), QColor(Qt::white));
    QCheckBox& check = widget<QCheckBox>("Check6");
    EXPECT_EQ(pixel(check, {check.width() - 3, check.height() / 2}), QColor(Qt::white));
    EXPECT_FALSE(window().windowIcon().isNull());
    EXPECT_FALSE(widget<QCheckBox>("Check8").isVisibleTo(&window()));  // only with the log-in option
}

TEST_F(Layout, TabGoesThroughTheControlsInTabIndexOrder) {
    start();
    window().activateWindow();
    ASSERT_TRUE(eventually([&] { return QApplication::activeWindow() == &window(); }));
    ASSERT_TRUE(eventually([&] { return QApplication::focusWidget() == &list(); }));
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    // Check8 is hidden; the list's tab index is 0.
    EXPECT_EQ(visited, (QStringList{"PushButton3", "PushButton4", "PushButton2", "PushButton5", "Check6", "Text1",
                                    "PushButton1", "PushButton6"}));
}

TEST_F(Layout, ThePointerIsAHandOverPushButtonsOnly) {
    start();
    QTest::mouseMove(&widget<QPushButton>("PushButton4"));
    EXPECT_TRUE(eventually([&] { return window().cursor().shape() == Qt::PointingHandCursor; }));
    QTest::mouseMove(&list());
    QTest::mouseMove(list().viewport(), QPoint(40, 60));
    EXPECT_TRUE(eventually([&] { return window().cursor().shape() == Qt::ArrowCursor; }));
    QTest::mouseMove(&widget<QPushButton>("PushButton1"));  // inside a frame
    EXPECT_TRUE(eventually([&] { return window().cursor().shape() == Qt::PointingHandCursor; }));
    QTest::mouseMove(&window(), QPoint(2, 2));
    EXPECT_TRUE(eventually([&] { return window().cursor().shape() == Qt::ArrowCursor; }));
}

using Editing = ProgramTest;

TEST_F(Editing, TypedFragmentsAreAddedStoredAndTheTextBoxEmptied) {
    start();
    add("Calculator");
    add("Notepad – ünïcode");
    EXPECT_EQ(rows(), (QStringList{"Calculator", "Notepad – ünïcode"}));
    EXPECT_EQ(widget<QLineEdit>("Text1").text(), "");
    EXPECT_EQ(form().Text1.text(), "");
    EXPECT_TRUE(settingsText().contains("Listview=Calculator||||||||---|||Notepad – ünïcode||||||||---|||"))
        << settingsText().toStdString();

    click("PushButton1");  // nothing typed: nothing added
    EXPECT_EQ(rows().size(), 2);
}

TEST_F(Editing, EnterInTheTextBoxAddsTheFragmentAndEscapeDoesNothing) {
    start();
    add("one");
    QLineEdit& box = widget<QLineEdit>("Text1");
    type("Notepad");
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(rows(), (QStringList{"one", "Notepad"}));
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(form().Text1.text(), "");
    EXPECT_TRUE(settingsText().contains("Listview=one||||||||---|||Notepad||||||||---|||"));
    type("xcalc");
    QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(rows(), (QStringList{"one", "Notepad", "xcalc"}));

    type("draft");
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_EQ(box.text(), "draft");
    EXPECT_EQ(rows().size(), 3);
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(window().isMinimized());
    EXPECT_EQ(ended, 0);
}

TEST_F(Editing, AClickedRowGoesToTheTextBoxAndDeleteSelectedRemovesIt) {
    start();
    for (const char* fragment : {"one", "two", "three"}) add(fragment);
    clickRow(1);
    EXPECT_EQ(form().ListView1.selectedIndex(), 2);
    EXPECT_EQ(widget<QLineEdit>("Text1").text(), "two");
    click("PushButton3");
    EXPECT_EQ(rows(), (QStringList{"one", "three"}));
    EXPECT_TRUE(list().selectedItems().isEmpty());
    click("PushButton3");  // nothing selected: nothing removed
    EXPECT_EQ(rows(), (QStringList{"one", "three"}));
    EXPECT_TRUE(settingsText().contains("Listview=one||||||||---|||three||||||||---|||"));
}

TEST_F(Editing, DoubleClickAndTheDeleteKeyRemoveTheRow) {
    start();
    for (const char* fragment : {"one", "two", "three"}) add(fragment);
    doubleClickRow(0);
    EXPECT_EQ(rows(), (QStringList{"two", "three"}));
    EXPECT_EQ(widget<QLineEdit>("Text1").text(), "one");  // the click of the double click came first

    clickRow(1);
    QTest::keyClick(&list(), Qt::Key_Down);  // moving with the keys is no removal
    QTest::keyClick(&list(), Qt::Key_Delete);
    EXPECT_EQ(rows(), (QStringList{"two"}));
    QTest::keyClick(&list(), Qt::Key_Delete);  // nothing selected
    EXPECT_EQ(rows(), (QStringList{"two"}));
    EXPECT_TRUE(settingsText().contains("Listview=two||||||||---|||"));
}

TEST_F(Editing, MovingThroughTheListWithTheKeysSelectsRowsButLeavesTheTextBoxAlone) {
    start();
    for (const char* fragment : {"one", "two", "three"}) add(fragment);
    clickRow(0);
    type(" edited");
    ASSERT_EQ(widget<QLineEdit>("Text1").text(), "one edited");

    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_EQ(form().ListView1.selectedIndex(), 2);
    QTest::keyClick(&list(), Qt::Key_End);
    EXPECT_EQ(form().ListView1.selectedIndex(), 3);
    QTest::keyClick(&list(), Qt::Key_O);  // jumps to the row starting with the letter
    EXPECT_EQ(form().ListView1.selectedIndex(), 1);
    EXPECT_EQ(widget<QLineEdit>("Text1").text(), "one edited");
    EXPECT_EQ(form().Text1.text(), "one edited");

    QTest::keyClick(&list(), Qt::Key_Delete);  // the row the keys went to
    EXPECT_EQ(rows(), (QStringList{"two", "three"}));
    EXPECT_TRUE(settingsText().contains("Listview=two||||||||---|||three||||||||---|||"));
    EXPECT_EQ(widget<QLineEdit>("Text1").text(), "one edited");
}

TEST_F(Editing, OnlyADoubleClickOnARowRemovesIt) {
    start();
    for (const char* fragment : {"one", "two", "three"}) add(fragment);
    clickRow(1);
    ASSERT_EQ(widget<QLineEdit>("Text1").text(), "two");
    type(" edited");

    // Below the rows a click clears the selection, as it does in a native list, and
    // copies nothing.
    clickInList(belowTheRows());
    EXPECT_TRUE(list().selectedItems().isEmpty());
    EXPECT_EQ(form().ListView1.selectedIndex(), 0);
    EXPECT_EQ(widget<QLineEdit>("Text1").text(), "two edited");

    clickRow(2);
    doubleClickInList(belowTheRows());
    EXPECT_EQ(rows(), (QStringList{"one", "two", "three"}));
    EXPECT_TRUE(settingsText().contains("Listview=one||||||||---|||two||||||||---|||three||||||||---|||"));

    // Slipping off the last row between the two presses.
    const QRect last = list().visualItemRect(list().topLevelItem(2));
    doubleClickInList({last.center().x(), last.bottom() - 1}, QPoint{last.center().x(), last.bottom() + 2});
    EXPECT_EQ(rows(), (QStringList{"one", "two", "three"}));

    doubleClickRow(0);
    EXPECT_EQ(rows(), (QStringList{"two", "three"}));
    EXPECT_EQ(widget<QLineEdit>("Text1").text(), "one");
    EXPECT_TRUE(settingsText().contains("Listview=two||||||||---|||three||||||||---|||"));
}

// The list widget follows the form's list change by change: a long list is filled in one go,
// and an edit touches its own row only, instead of the whole list being built again.
TEST_F(Editing, ALongListIsFilledOnceAndAnEditTouchesOnlyItsRow) {
    QStringList fragments;
    std::vector<std::string> stored;
    for (int i = 0; i < 2000; ++i) {
        fragments << QString("Special offer %1").arg(i);
        stored.push_back(fragments.back().toStdString());
    }
    QtSettingsStore().write(kApplicationName, kSectionName, kKeyListview, JoinWatchList(stored));

    program = std::make_unique<QtProgram>([this] { ++ended; });
    QStringList changes;
    QObject listening;  // gone before the program, which outlives the test's body
    QAbstractItemModel& model = *list().model();
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, &listening, [&](const QModelIndex&, int first, int last) {
        changes << QString("inserted %1-%2").arg(first).arg(last);
    });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &listening, [&](const QModelIndex&, int first, int last) {
        changes << QString("removed %1-%2").arg(first).arg(last);
    });
    QObject::connect(&model, &QAbstractItemModel::modelReset, &listening, [&] { changes << "reset"; });
    program->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window(), 20000));
    EXPECT_EQ(changes, QStringList{"inserted 0-1999"});
    EXPECT_EQ(rows(), fragments);

    changes.clear();
    add("Another offer");
    EXPECT_EQ(changes, QStringList{"inserted 2000-2000"});

    changes.clear();
    list().scrollToItem(list().topLevelItem(1000));
    clickRow(1000);
    QTest::keyClick(&list(), Qt::Key_Delete);
    EXPECT_EQ(changes, QStringList{"removed 1000-1000"});
    fragments.removeAt(1000);
    fragments << "Another offer";
    EXPECT_EQ(rows(), fragments);
    EXPECT_TRUE(list().selectedItems().isEmpty());
    EXPECT_EQ(form().ListView1.rows().size(), 2000u);
}

TEST_F(Editing, ClearListAsksFirst) {
    start();
    add("one");
    add("two");
    BoxAnswerer user(QMessageBox::No);
    click("PushButton4");
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].title, "Tamberlyn");
    EXPECT_EQ(user.boxes[0].text, "Are you sure you want to clear list?");
    EXPECT_EQ(user.boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(user.boxes[0].defaultButton, QMessageBox::Yes);
    EXPECT_EQ(user.boxes[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(rows().size(), 2);

    user.setAnswer(QMessageBox::Yes);
    click("PushButton4");
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(settingsText().contains("Listview=\n") || settingsText().contains("Listview=\"\"\n"))
        << settingsText().toStdString();
    click("PushButton4");  // an empty list: no question
    EXPECT_EQ(user.boxes.size(), 2u);
}

TEST_F(Editing, StartNeedsAFragmentThenStartAndStopToggle) {
    start();
    BoxAnswerer user;
    QPushButton& startStop = widget<QPushButton>("PushButton2");
    click("PushButton2");
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].text, "Please add a keyword to monitor");
    EXPECT_EQ(startStop.text(), "Start Monitoring");

    add("nothing-has-this-title");
    click("PushButton2");
    EXPECT_EQ(startStop.text(), "Stop Monitoring");
    EXPECT_TRUE(form().Timer1.enabled());
    EXPECT_TRUE(settingsText().contains("StartStopState=On"));
    click("PushButton2");
    EXPECT_EQ(startStop.text(), "Start Monitoring");
    EXPECT_FALSE(form().Timer1.enabled());
    EXPECT_TRUE(settingsText().contains("StartStopState=Off"));
}

TEST_F(Editing, HelpShowsTheDemoInParagraphs) {
    start();
    BoxAnswerer user;
    click("PushButton5");
    ASSERT_EQ(user.boxes.size(), 1u);
    const QString text = user.boxes[0].text;
    EXPECT_FALSE(text.contains('\r'));
    EXPECT_TRUE(text.contains("Click \"Start Monitoring\"\n\nOpen a terminal and type in xcalc and hit enter.\n\n"))
        << text.toStdString();
}

TEST_F(Editing, ClosingTheWindowRunsTheCloseSequence) {
    start();
    add("one");
    click("PushButton2");
    window().close();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(form().Timer1.enabled());
    EXPECT_FALSE(program->notifyIcon().trayIcon().isVisible());
    EXPECT_TRUE(settingsText().contains("StartStopState=On"));  // monitoring comes back next time
}

}  // namespace
}  // namespace tamberlyn::qttest
