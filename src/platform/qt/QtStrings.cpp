#include "platform/qt/QtStrings.h"

namespace tamberlyn {

QString withNewlines(const std::string& utf8) {
    QString text = toQString(utf8);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace tamberlyn
