#include "platform/linux/InstanceName.h"

#include <QByteArrayList>
#include <QCryptographicHash>
#include <optional>

#include "platform/linux/X11Display.h"

namespace tamberlyn {

QString FileNamePart(const QByteArray& text) {
    if (text.size() > 32) {
        return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().left(16));
    }
    QString part;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' || u == '-') {
            part += QLatin1Char(c);
        } else {
            part += QStringLiteral("%%1").arg(u, 2, 16, QLatin1Char('0'));
        }
    }
    return part;
}

QString InstanceName(const QByteArray& x11Display, const QByteArray& waylandDisplay) {
    QString name = QStringLiteral("tamberlyn-");
    if (const std::optional<X11DisplayName> parsed = parseDisplayName(x11Display)) {
        name += QStringLiteral("%1:%2").arg(FileNamePart(parsed->host)).arg(parsed->number);
    } else {
        name += FileNamePart(x11Display);
    }
    // A compositor socket given by path and by name in the runtime folder is the same one.
    if (!waylandDisplay.isEmpty()) name += QLatin1Char('-') + FileNamePart(waylandDisplay.split('/').last());
    return name;
}

}  // namespace tamberlyn
