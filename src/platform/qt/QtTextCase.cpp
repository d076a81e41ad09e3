#include "platform/qt/QtTextCase.h"

#include <QString>

namespace tamberlyn {

std::string QtTextCase::toUpper(std::string_view utf8) const {
    const QByteArray upper =
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toUpper().toUtf8();
    return std::string(upper.constData(), static_cast<std::size_t>(upper.size()));
}

}  // namespace tamberlyn
