#pragma once

// Conversions between the program's UTF-8 texts and Qt's strings (platform only).

#include <QString>

#include <string>
#include <string_view>

namespace platform::detail {

inline QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string ss(const QString& s)
{
    const QByteArray utf8 = s.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

} // namespace platform::detail
