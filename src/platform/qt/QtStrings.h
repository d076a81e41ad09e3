#pragma once
// The core's UTF-8 strings at the Qt boundary.

#include <QString>
#include <string>

namespace tamberlyn {

inline QString toQString(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string toUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The core breaks lines with "\r\n" or a lone "\r", as Windows shows them; Qt wants "\n".
QString withNewlines(const std::string& utf8);

}  // namespace tamberlyn
