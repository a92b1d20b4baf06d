#include "core/maps/BinCurrentImage.h"

#include <cctype>
#include <string>
#include <system_error>

namespace kelvane {

namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SameBinImageName(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (a.empty() || b.empty()) return false;
    if (a == b) return true;
    if (!EqualIgnoringCase(a.string(), b.string())) return false;
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace kelvane
