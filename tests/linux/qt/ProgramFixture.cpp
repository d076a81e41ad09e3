#include "ProgramFixture.h"

#include <QFile>

#include "platform/qt/QtSettingsStore.h"
#include "common/Settings.h"

namespace tamberlyn::qttest {

QtProgram& ProgramTest::launch() {
    program = std::make_unique<QtProgram>([this] { ++ended; });
    program->start();
    return *program;
}

QtProgram& ProgramTest::start() {
    launch();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&program->window(), 20000));
    return *program;
}

QtProgram& ProgramTest::restart() {
    program.reset();
    return start();
}

void ProgramTest::TearDown() { program.reset(); }

void ProgramTest::type(const QString& text) {
    QLineEdit* box = &widget<QLineEdit>("Text1");
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(box, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void ProgramTest::add(const QString& fragment) {
    type(fragment);
    click("PushButton1");
}

void ProgramTest::clickInList(QPoint at) {
    QTest::mouseClick(window().windowHandle(), Qt::LeftButton, {}, list().viewport()->mapTo(&window(), at));
}

void ProgramTest::doubleClickInList(QPoint first, std::optional<QPoint> second) {
    QWindow* const surface = window().windowHandle();
    const int time = QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
    for (const QPoint onList : {first, second.value_or(first)}) {
        const QPoint at = list().viewport()->mapTo(&window(), onList);
        qt_handleMouseEvent(surface, at, surface->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                            QEvent::MouseButtonPress, {}, time);
        qt_handleMouseEvent(surface, at, surface->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                            QEvent::MouseButtonRelease, {}, time);
    }
    QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;  // no double click with the next press
    QApplication::processEvents();
}

QPoint ProgramTest::belowTheRows() {
    const QRect last = list().visualItemRect(list().topLevelItem(list().topLevelItemCount() - 1));
    return {last.center().x(), last.bottom() + 2 * last.height()};
}

QStringList ProgramTest::rows() {
    QStringList texts;
    for (int i = 0; i < list().topLevelItemCount(); ++i) texts << list().topLevelItem(i)->text(0);
    return texts;
}

QString ProgramTest::settingsFile() const { return QtSettingsStore::fileOf(kApplicationName); }

QString ProgramTest::settingsText() const {
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

}  // namespace tamberlyn::qttest
