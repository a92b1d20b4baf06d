#pragma once

#include <cstdint>
#include <vector>

namespace kelvane {

// 32-bit colour: alpha, red, green, blue bytes from the most significant down.
using TColor32 = std::uint32_t;

constexpr TColor32 MakeColor32(std::uint8_t alpha, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return (TColor32{alpha} << 24) | (TColor32{red} << 16) | (TColor32{green} << 8) | TColor32{blue};
}
constexpr std::uint8_t AlphaOf(TColor32 color) {
    return static_cast<std::uint8_t>(color >> 24);
}
constexpr std::uint8_t RedOf(TColor32 color) {
    return static_cast<std::uint8_t>(color >> 16);
}
constexpr std::uint8_t GreenOf(TColor32 color) {
    return static_cast<std::uint8_t>(color >> 8);
}
constexpr std::uint8_t BlueOf(TColor32 color) {
    return static_cast<std::uint8_t>(color);
}

constexpr TColor32 OpaqueWhite = 0xFFFFFFFFu;

// One break point of a colour scale. The alpha byte of a stored colour is not used.
struct TColorTableEntry {
    double Value = 0.0;
    TColor32 Color = 0;
    friend bool operator==(const TColorTableEntry&, const TColorTableEntry&) = default;
};

// Break points in their stored order; nothing sorts them. The direction is
// judged from the first two entries only.
using TColorTable = std::vector<TColorTableEntry>;

// The main window's active scale: the table and its number (1 or 2 for the
// built-in tables, 0 once the user has edited an entry).
struct TColorScale {
    TColorTable Table;
    int TableNumber = 2;
};

// The colour of a value: linear blend between the two break points around it
// (components rounded half to even), the end colour beyond either end, and the
// given alpha on top. A table with fewer than two entries gives opaque white.
TColor32 ColorLookup(const TColorTable& table, std::uint8_t alpha, double value);

// Built-in tables 1 and 2 (2 is the default); empty for any other number.
TColorTable BuiltInColorTable(int number);
constexpr int DefaultColorTableNumber = 2;

// The fuel map window's own scales: red at 127 to yellow at -127, and the
// five-stop scale from 128 down to -128.
TColorTable MapWindowDefaultColorTable();
TColorTable MapWindowColor2Table();

// Makes the table built-in table 2, its length included.
void ResetColorTableToDefaults(TColorTable& table);

}  // namespace kelvane
