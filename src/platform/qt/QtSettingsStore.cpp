#include "platform/qt/QtSettingsStore.h"

#include <QSettings>

#include "platform/PlatformError.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/XdgPaths.h"

namespace tamberlyn {

namespace {

std::string problemWith(const QSettings& settings) {
    const std::string file = toUtf8(settings.fileName());
    switch (settings.status()) {
        case QSettings::AccessError: return "The settings file " + file + " cannot be read or written.";
        case QSettings::FormatError: return "The settings file " + file + " is not a valid INI file.";
        default: return {};
    }
}

QString keyOf(const std::string& section, const std::string& key) {
    return toQString(section) + QLatin1Char('/') + toQString(key);
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
    if (settings.status() != QSettings::NoError) throw PlatformError(problemWith(settings));
    const QVariant value = settings.value(keyOf(section, key));
    // An absent key, or a value the INI reader made into a list (unquoted commas), is no text.
    if (!value.isValid() || value.typeId() != QMetaType::QString) return std::nullopt;
    return toUtf8(value.toString());
}

void QtSettingsStore::write(const std::string& application, const std::string& section, const std::string& key,
                            const std::string& value) {
    QSettings settings(fileOf(application), QSettings::IniFormat);
    if (!settings.isWritable()) {
        throw PlatformError("The settings file " + toUtf8(settings.fileName()) + " cannot be written.");
    }
    settings.setValue(keyOf(section, key), toQString(value));
    settings.sync();
    if (settings.status() != QSettings::NoError) throw PlatformError(problemWith(settings));
}

}  // namespace tamberlyn
