#pragma once
// Conversions between the engine's UTF-8 std::string and QString.

#include <QString>

#include <string>
#include <string_view>

namespace tidemark::ui {

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace tidemark::ui
