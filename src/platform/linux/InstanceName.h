#pragma once

#include <QByteArray>
#include <QString>

namespace tamberlyn {

// The file name of the one instance's socket in a session: one X display (":5", ":5.0" and
// "unix:5" alike) and, on Wayland, one compositor socket, one name.
QString InstanceName(const QByteArray& x11Display, const QByteArray& waylandDisplay = {});

// Any text as file-name characters (others escaped); long ones hashed, as a socket path is short.
QString FileNamePart(const QByteArray& text);

}  // namespace tamberlyn
