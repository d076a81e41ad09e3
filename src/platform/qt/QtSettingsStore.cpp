#include "platform/qt/QtSettingsStore.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

// The file as it is on disk: absent, its bytes, or why it cannot be read, as the system says.
struct FileContents {
    std::string bytes;
    std::string unreadable;
};

FileContents contentsOf(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) return {};  // made at the first save
    if (fd < 0) return {{}, std::strerror(errno)};
    FileContents file;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) file.unreadable = "it is a folder";
    char buffer[65536];
    while (file.unreadable.empty()) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) break;
        if (got > 0) file.bytes.append(buffer, static_cast<std::size_t>(got));
        if (got < 0 && errno != EINTR) file.unreadable = std::strerror(errno);
    }
    ::close(fd);
    return file;
}

std::string whyNotWritable(const QString& path) {
    const QFileInfo file(path);
    if (file.isDir()) return "it is a folder";
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 && errno != ENOENT && errno != ENOTDIR) {
        return std::strerror(errno);  // a loop of symbolic links, say
    }
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
    if (file.exists() && !may(path, W_OK) && !may(path, R_OK)) return "Tamberlyn may neither read nor write it";
    if (file.exists() && !may(path, W_OK)) return "the file is read-only";
    if (file.exists() && !may(path, R_OK)) return "Tamberlyn may not read it";
    return "the reason is unknown (is the disk full?)";
}

std::string cannotBeRead(const QString& path, const std::string& why) {
    return "The settings file " + toUtf8(path) + " cannot be read: " + why + ".";
}

// A save that fails leaves the file as it was: QSettings replaces it whole or not at all.
std::string cannotBeSaved(const QString& path) {
    return "The settings file " + toUtf8(path) + " cannot be saved: " + whyNotWritable(path) +
           ". The change holds until Tamberlyn ends; the file keeps what it held.";
}

// What QSettings would drop from the file when it writes it anew.
std::string faultIn(const QString& path, const IniFault& fault) {
    const std::string file = "The settings file " + toUtf8(path) + " holds ";
    const std::string kept = ". Tamberlyn leaves the file as it is: ";
    const std::string line = std::to_string(fault.line);
    switch (fault.kind) {
        case IniFault::Kind::NotUtf8:
            return file + "text that is not UTF-8 on line " + line + kept + "correct it, or save the file as UTF-8.";
        case IniFault::Kind::NotKeyValue:
            return file + "a line that is neither [section] nor key=value, on line " + line + kept +
                   "correct or remove it.";
        case IniFault::Kind::KeyTwice:
            return file + fault.key + " twice" + (fault.section.empty() ? "" : " in [" + fault.section + "]") +
                   ", on lines " + std::to_string(fault.firstLine) + " and " + line + kept + "remove one of them.";
    }
    return file + "a fault on line " + line + ".";
}

std::string unreadable(const QString& path, const std::string& key, int line) {
    return "The settings file " + toUtf8(path) + " holds a value of " + key + " on line " + std::to_string(line) +
           " that cannot be read as it is written. Tamberlyn leaves it as it is: correct or remove it.";
}

// Every value of the section as its writer meant it. Throws what stops the file from being
// read so, or from being written anew without a loss.
std::map<std::string, std::string> meantValues(const QString& path, const std::string& contents,
                                               const std::string& section) {
    const WrittenFile written = ReadWrittenFile(contents, section);
    if (written.fault) throw PlatformError(faultIn(path, *written.fault));
    std::map<std::string, std::string> values;
    for (const auto& [key, value] : written.values) {
        const std::optional<std::string> text = ReadIniValue(value.text);
        if (!text) throw PlatformError(unreadable(path, key, value.line));
        values[key] = *text;
    }
    return values;
}

// Whether the file holds exactly these values in the section, each readable as it is written.
bool holds(const QString& path, const std::string& section, const std::map<std::string, std::string>& values) {
    const FileContents file = contentsOf(path);
    const WrittenFile written = ReadWrittenFile(file.bytes, section);
    if (!file.unreadable.empty() || written.fault || written.values.size() != values.size()) return false;
    for (const auto& [key, value] : written.values) {
        const auto meant = values.find(key);
        if (meant == values.end() || ReadIniValue(value.text) != meant->second) return false;
    }
    return true;
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

}  // namespace

QString QtSettingsStore::fileOf(const std::string& application) {
    const QString name = toQString(application);
    return configHome() + QLatin1Char('/') + name + QLatin1Char('/') + name + QStringLiteral(".ini");
}

// Read afresh each time: another instance of the program may have written the file since.
std::optional<std::string> QtSettingsStore::read(const std::string& application, const std::string& section,
                                                 const std::string& key) {
    const QString path = fileOf(application);
    const FileContents file = contentsOf(path);
    if (!file.unreadable.empty()) throw PlatformError(cannotBeRead(path, file.unreadable));
    const WrittenFile written = ReadWrittenFile(file.bytes, section);
    if (written.fault) throw PlatformError(faultIn(path, *written.fault));
    const auto found = written.values.find(key);
    if (found == written.values.end()) return std::nullopt;
    std::optional<std::string> text = ReadIniValue(found->second.text);
    if (!text) throw PlatformError(unreadable(path, key, found->second.line));
    return text;
}

void QtSettingsStore::write(const std::string& application, const std::string& section, const std::string& key,
                            const std::string& value) {
    const QString path = fileOf(application);
    clearAbandonedLock(path);
    const FileContents before = contentsOf(path);
    if (!before.unreadable.empty()) throw PlatformError(cannotBeSaved(path));
    // What could not be read would be lost from the file written anew.
    std::map<std::string, std::string> values = meantValues(path, before.bytes, section);
    values[key] = value;

    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || !settings.isWritable()) throw PlatformError(cannotBeSaved(path));
    // Saving writes the whole file anew from what QSettings read: values written by hand go
    // back as they were meant, not as QSettings took them (commas for a list, say).
    for (const auto& [name, text] : values) settings.setValue(keyOf(section, name), toQString(text));
    settings.sync();
    // Its status is no proof either way: Qt 6.4 calls the save of a file that began with a
    // byte order mark a format error once it is written. What the file holds now decides.
    if (!holds(path, section, values)) throw PlatformError(cannotBeSaved(path));
}

}  // namespace tamberlyn
