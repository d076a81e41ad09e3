#include "platform/linux/XdgAutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <utility>

#include "platform/PlatformError.h"
#include "platform/linux/XdgPaths.h"

namespace tamberlyn {

QString desktopExecValue(const QString& program) {
    // Readers undo the string escapes first, then the quoting, then expand field codes,
    // so the escapes are applied in the opposite order.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == QLatin1Char('%')) {
            quoted += QStringLiteral("%%");
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    quoted += QLatin1Char('"');

    QString value;
    for (const QChar c : quoted) {
        if (c == QLatin1Char('\\')) value += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n')) value += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t')) value += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r')) value += QStringLiteral("\\r");
        else value += c;
    }
    return value;
}

XdgAutostartEntry::XdgAutostartEntry(QString executablePath) : executablePath_(std::move(executablePath)) {}

QString XdgAutostartEntry::filePath() { return configHome() + QStringLiteral("/autostart/tamberlyn.desktop"); }

void XdgAutostartEntry::add() {
    const QString path = filePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) throw PlatformError("The folder " + folder.toStdString() + " could not be created.");

    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Tamberlyn\n"
                                         "Icon=%1\n"
                                         "Exec=%2\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(QStringLiteral(TAMBERLYN_APP_ID), desktopExecValue(executablePath_));
    // Written aside and renamed: a session starting meanwhile never reads half an entry.
    QSaveFile file(path);
    const QByteArray bytes = entry.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw PlatformError("The file " + path.toStdString() + " could not be written: " + file.errorString().toStdString());
    }
}

void XdgAutostartEntry::remove() {
    QFile file(filePath());
    // Only a file there is an entry that a session runs.
    if (!QFileInfo(file).isFile()) return;
    if (!file.remove()) {
        throw PlatformError("The file " + file.fileName().toStdString() + " could not be removed: " +
                            file.errorString().toStdString());
    }
}

}  // namespace tamberlyn
