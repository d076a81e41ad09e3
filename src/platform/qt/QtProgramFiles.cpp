#include "platform/qt/QtProgramFiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include "platform/qt/QtStrings.h"

namespace tamberlyn {

std::string QtProgramFiles::executablePath() const { return toUtf8(QCoreApplication::applicationFilePath()); }

bool QtProgramFiles::modificationTimeReadable(const std::string& path) const {
    const QFileInfo info(toQString(path));
    return info.exists() && info.lastModified().isValid();
}

bool QtProgramFiles::isOrdinaryFile(const std::string& path) const {
    const QFileInfo info(toQString(path));
    return info.isFile() && !info.fileName().startsWith(QLatin1Char('.'));
}

}  // namespace tamberlyn
