#pragma once

#include <QString>
#include <filesystem>
#include <string_view>

namespace kelvane {

// The program's own texts are UTF-8 std::string; the windows take QString.
inline QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Paths go between the windows and the core as UTF-16, so no name is ever
// narrowed through a code page.
inline std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

inline QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace kelvane
