#pragma once

#include <filesystem>
#include <string_view>

namespace kelvane {

// File names are UTF-8 texts in the core. A path made from one reads it as
// UTF-8 on every system: on Windows a plain narrow text would go through the C
// library's code page, and "ø" would name another file.
inline std::filesystem::path PathOfText(std::string_view utf8) {
    return std::filesystem::path(
        std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

}  // namespace kelvane
