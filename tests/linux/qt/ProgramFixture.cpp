#include "ProgramFixture.h"

#include <QFile>

#include "platform/qt/QtSettingsStore.h"
#include "shell/Settings.h"

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

void ProgramTest::clickRow(int row) {
    const QRect rect = list().visualItemRect(list().topLevelItem(row));
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, rect.center());
}

void ProgramTest::doubleClickRow(int row) {
    const QRect rect = list().visualItemRect(list().topLevelItem(row));
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, rect.center());
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
