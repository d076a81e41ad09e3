#pragma once

#include <QString>

#include "platform/LogonEntry.h"

namespace tamberlyn {

// The XDG autostart entry ${XDG_CONFIG_HOME:-~/.config}/autostart/tamberlyn.desktop,
// which desktop sessions run at log-in.
class XdgAutostartEntry final : public LogonEntry {
public:
    explicit XdgAutostartEntry(QString executablePath);

    static QString filePath();

    void add() override;
    void remove() override;

private:
    QString executablePath_;
};

// A program path as the Exec key's value: one quoted argument, escaped so that the
// desktop file's string rules, then the Exec quoting rules, give the path back exactly.
QString desktopExecValue(const QString& program);

}  // namespace tamberlyn
