#include "platform/qt/QtSettingsStore.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <fcntl.h>
#include <unistd.h>

#include "platform/PlatformError.h"
#include "platform/qt/IniLines.h"
#include "platform/qt/QtStrings.h"
#include "platform/linux/XdgPaths.h"

namespace tamberlyn {

namespace {

// With the rights this process has now: access() would ask with those it started with.
bool may(const QString& path, int mode) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) == 0;
}

// QSettings only says that a file could not be read or written; the file system says why.
std::string whyNotReadable(const QString& path) {
    const QFileInfo file(path);
    if (file.isDir()) return "it is a folder";
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) return toUtf8(probe.errorString());
    return "the reason is unknown";
}

std::string whyNotWritable(const QString& path) {
    const QFileInfo file(path);
    if (file.isDir()) return "it is a folder";
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        // The first of the folders above that is there decides whether the rest can be made.
        QString existing = folder;
        while (!QFileInfo::exists(existing) && QFileInfo(existing).absolutePath() != existing) {
            existing = QFileInfo(existing).absolutePath();
        }
        const std::string cannotMake = "the folder " + toUtf8(folder) + " cannot be made: ";
        if (existing == folder) return cannotMake + "a file has that name";
        if (!QFileInfo(existing).isDir()) return cannotMake + toUtf8(existing) + " is a file, not a folder";
        if (!may(existing, W_OK | X_OK)) return cannotMake + "Tamberlyn may not write in " + toUtf8(existing);
        return cannotMake + "the reason is unknown (is the disk full?)";
    }
    if (!may(folder, W_OK | X_OK)) return "Tamberlyn may not write in the folder " + toUtf8(folder);
    if (file.exists() && !may(path, W_OK)) return "the file is read-only";
    if (file.exists() && !may(path, R_OK)) return "Tamberlyn may not read it";
    return "the reason is unknown (is the disk full?)";
}

std::string problemReading(const QSettings& settings) {
    const std::string file = toUtf8(settings.fileName());
    if (settings.status() == QSettings::FormatError) return "The settings file " + file + " is not a valid INI file.";
    return "The settings file " + file + " cannot be read: " + whyNotReadable(settings.fileName()) + ".";
}

// A save that fails leaves the file as it was: QSettings replaces it whole or not at all.
std::string problemSaving(const QSettings& settings) {
    return "The settings file " + toUtf8(settings.fileName()) + " cannot be saved: " +
           whyNotWritable(settings.fileName()) +
           ". The change holds until Tamberlyn ends; the file keeps what it held.";
}

// A save killed between making QSettings' lock file and writing into it leaves the lock
// empty, and the next save would wait half a minute, the window frozen, before QSettings
// takes it for abandoned. A live save fills its lock at once and is done in moments.
void clearAbandonedLock(const QString& file) {
    QLockFile lock(file + QStringLiteral(".lock"));
    lock.setStaleLockTime(std::chrono::seconds(2));
    if (lock.tryLock(std::chrono::seconds(3))) lock.unlock();
}

QString keyOf(const std::string& section, const std::string& key) {
    return toQString(section) + QLatin1Char('/') + toQString(key);
}

std::map<std::string, WrittenValue> writtenValues(const QSettings& settings, const std::string& section) {
    QFile file(settings.fileName());
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray contents = file.readAll();
    return WrittenValues(std::string_view(contents.constData(), static_cast<std::size_t>(contents.size())), section);
}

// Whether a value is written as QSettings writes one: all of it in quotes, or no quote, comma
// or semicolon outside an escape.
bool inQtsOwnForm(const std::string& text) {
    const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    const std::size_t end = quoted ? text.size() - 1 : text.size();
    for (std::size_t i = quoted ? 1 : 0; i < end; ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"' || (!quoted && (text[i] == ',' || text[i] == ';'))) {
            return false;
        }
    }
    return true;
}

enum class Reading { AsWritten, AsQtReadsIt, Unreadable };

// How to read a value as the one who wrote it meant it.
Reading readingOf(const std::string& written, const QVariant& asQtReadsIt) {
    // Plain text, written by hand: commas and semicolons are part of it, not a list or a comment.
    if (written.find_first_of("\"\\") == std::string::npos && !written.starts_with('@')) return Reading::AsWritten;
    // Quotes or escapes as QSettings writes them, the program's own values among them.
    if (asQtReadsIt.typeId() == QMetaType::QString && inQtsOwnForm(written)) return Reading::AsQtReadsIt;
    return Reading::Unreadable;
}

std::string unreadable(const QSettings& settings, const std::string& key, int line) {
    return "The settings file " + toUtf8(settings.fileName()) + " holds a value of " + key +
           (line > 0 ? " on line " + std::to_string(line) : std::string()) +
           " that cannot be read as it is written. Tamberlyn leaves it as it is: correct or remove it.";
}

}  // namespace

QString QtSettingsStore::fileOf(const std::string& application) {
    const QString name = toQString(application);
    return configHome() + QLatin1Char('/') + name + QLatin1Char('/') + name + QStringLiteral(".ini");
}

// A fresh QSettings each time: another instance of the program may have written the file since.
std::optional<std::string> QtSettingsStore::read(const std::string& application, const std::string& section,
                                                 const std::string& key) {
    const QSettings settings(fileOf(application), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) throw PlatformError(problemReading(settings));
    const QVariant value = settings.value(keyOf(section, key));
    const auto values = writtenValues(settings, section);
    const auto found = values.find(key);
    if (found == values.end()) {  // not on a line of its own in the section: as QSettings reads it
        if (!value.isValid()) return std::nullopt;
        if (value.typeId() != QMetaType::QString) throw PlatformError(unreadable(settings, key, 0));
        return toUtf8(value.toString());
    }
    switch (readingOf(found->second.text, value)) {
        case Reading::AsWritten: return found->second.text;
        case Reading::AsQtReadsIt: return toUtf8(value.toString());
        case Reading::Unreadable: break;
    }
    throw PlatformError(unreadable(settings, key, found->second.line));
}

void QtSettingsStore::write(const std::string& application, const std::string& section, const std::string& key,
                            const std::string& value) {
    clearAbandonedLock(fileOf(application));
    QSettings settings(fileOf(application), QSettings::IniFormat);
    // What could not be read would be lost from the file written anew.
    if (settings.status() == QSettings::FormatError) throw PlatformError(problemReading(settings));
    if (settings.status() != QSettings::NoError || !settings.isWritable()) {
        throw PlatformError(problemSaving(settings));
    }
    // Saving writes the whole file anew from what QSettings read: values written by hand go
    // back as they were meant, and one that cannot be read stops the save before it is lost.
    for (const auto& [name, written] : writtenValues(settings, section)) {
        switch (readingOf(written.text, settings.value(keyOf(section, name)))) {
            case Reading::AsWritten: settings.setValue(keyOf(section, name), toQString(written.text)); break;
            case Reading::AsQtReadsIt: break;
            case Reading::Unreadable: throw PlatformError(unreadable(settings, name, written.line));
        }
    }
    settings.setValue(keyOf(section, key), toQString(value));
    settings.sync();
    if (settings.status() != QSettings::NoError) throw PlatformError(problemSaving(settings));
}

}  // namespace tamberlyn
