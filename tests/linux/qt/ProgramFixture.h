#pragma once
// The whole Linux program in this process, over its real adapters, on the test's display,
// with a fresh settings folder. Driven through its widgets as a user would.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <optional>

#include "QtTestSupport.h"
#include "platform/qt/QtProgram.h"

namespace tamberlyn::qttest {

class ProgramTest : public ::testing::Test {
protected:
    // Starts the program as main() does; the end of the process is only counted.
    QtProgram& launch();
    // The same, then waits for its window to show.
    QtProgram& start();
    // Ends this run (as far as a test can) and starts a second one on the same settings.
    QtProgram& restart();
    void TearDown() override;

    Form1& form() { return program->form(); }
    MainWindow& window() { return program->window(); }

    template <class Widget>
    Widget& widget(const char* name) {
        Widget* found = window().findChild<Widget*>(QString::fromLatin1(name));
        if (found == nullptr) throw std::runtime_error(std::string("no widget ") + name);
        return *found;
    }
    QTreeWidget& list() { return widget<QTreeWidget>("ListView1"); }

    void click(const char* buttonName) { QTest::mouseClick(&widget<QPushButton>(buttonName), Qt::LeftButton); }
    // Key by key into the text box, letters beyond ASCII as the text of their key events.
    void type(const QString& text);
    void add(const QString& fragment);
    // Clicks in the list as the display delivers them, through the window, so that Qt
    // itself makes a double click of two quick presses; points on the list's viewport.
    void clickInList(QPoint at);
    // The second press may land a pixel or two off the first: still a double click.
    void doubleClickInList(QPoint first, std::optional<QPoint> second = {});
    void clickRow(int row) { clickInList(rowCentre(row)); }
    void doubleClickRow(int row) { doubleClickInList(rowCentre(row)); }
    QPoint rowCentre(int row) { return list().visualItemRect(list().topLevelItem(row)).center(); }
    QPoint belowTheRows();
    QStringList rows();

    QString settingsFile() const;
    QString settingsText() const;

    ScratchConfig config;
    std::unique_ptr<QtProgram> program;
    int ended = 0;
};

}  // namespace tamberlyn::qttest
