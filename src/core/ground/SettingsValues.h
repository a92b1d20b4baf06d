#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "core/ground/DecimalComma.h"

namespace kelvane {

// Text forms of the values kept in the settings files. All of them use "."
// as the decimal separator whatever the locale.

// Fixed-point text with the given count of decimals (0 gives an integer text),
// no thousands separator, negative zero as zero. The no-value marker
// (MissingValue) and non-finite values give the empty text.
std::string FormatNumber(double value, int decimals);

// A number written with "." as decimal separator; blanks around it are
// allowed. With the comma accepted, a text that is not a number but holds ","
// is tried again with every "," replaced by ".". Anything else gives
// defaultValue.
double ParseNumber(std::string_view text, TDecimalComma comma, double defaultValue);

// A decimal integer with an optional sign; blanks around it are allowed.
// Anything else, or a value out of range, gives defaultValue.
int ParseInteger(std::string_view text, int defaultValue);

// The text without the blanks and tabs around it.
std::string_view TrimBlanks(std::string_view text);

// Booleans are written "1" / "0" and read as integers, non-zero being true.
std::string FormatBool(bool value);
bool ParseBool(std::string_view text, bool defaultValue);

// Placement of a window: left, top, width and height.
struct TWindowSize {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool operator==(const TWindowSize&) const = default;
};

// Placements are held to this many pixels either way before any sum is made: a
// damaged or hand-edited "Window Size" ("80,0,-2147483648,0") would overflow the
// arithmetic that keeps a window on the screen.
inline constexpr int MaxWindowCoordinate = 1 << 20;
// A coordinate within -MaxWindowCoordinate .. MaxWindowCoordinate.
int SaneWindowCoordinate(int value);
// A width or height within 0 .. MaxWindowCoordinate.
int SaneWindowExtent(int value);
// The placement with each part held to its range.
TWindowSize SaneWindowSize(const TWindowSize& size);

// "left,top,width,height" without blanks.
std::string FormatWindowSize(const TWindowSize& size);
// Exactly four integers joined by ","; nothing otherwise.
std::optional<TWindowSize> ParseWindowSize(std::string_view text);

// "yyyy/mm/dd hh:nn:ss", fixed separators whatever the system uses.
std::string FormatDateTime(const std::tm& time);
std::optional<std::tm> ParseDateTime(std::string_view text);
// The current local time in that form.
std::string CurrentDateTimeText();

}  // namespace kelvane
