#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kelvane {

// Width in pixels of a label text, as the drawing font measures it.
using TTextWidth = std::function<int(std::string_view)>;

// Fixed-point text with "." whatever the locale; a value that rounds to zero
// never shows a minus sign.
std::string FixedText(double value, int decimals);

}  // namespace kelvane
