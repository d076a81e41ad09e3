#include "platform/qt/QtProgramLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include "platform/qt/QtStrings.h"

namespace tamberlyn {

namespace {
QString firstInstalled(const QStringList& candidates) {
    for (const QString& candidate : candidates) {
        if (!QStandardPaths::findExecutable(candidate).isEmpty()) return candidate;
    }
    return candidates.first();
}
}  // namespace

QString QtProgramLauncher::programFor(const std::string& name) {
    if (name == "calc") return firstInstalled({QStringLiteral("xcalc"), QStringLiteral("gnome-calculator")});
    if (name == "notepad") return QStringLiteral("notepadqq");
    return toQString(name);
}

void QtProgramLauncher::startProgram(const std::string& name, const std::string& directory) {
    QProcess::startDetached(programFor(name), {}, toQString(directory));
}

void QtProgramLauncher::openWebPage(const std::string& address) {
    QDesktopServices::openUrl(QUrl(toQString(address)));
}

}  // namespace tamberlyn
