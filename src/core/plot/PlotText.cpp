#include "core/plot/PlotText.h"

#include <charconv>
#include <cmath>

namespace kelvane {

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return {};
    std::string text(buffer, result.ptr);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

}  // namespace kelvane
