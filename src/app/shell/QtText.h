#pragma once

#include <QString>
#include <string_view>

namespace kelvane {

// The program's own texts are UTF-8 std::string; the windows take QString.
inline QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace kelvane
