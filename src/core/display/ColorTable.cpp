#include "core/display/ColorTable.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {

constexpr TColorTableEntry Entry(double value, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                 std::uint8_t alpha = 255) {
    return {value, MakeColor32(alpha, red, green, blue)};
}

std::uint8_t BlendComponent(std::uint8_t low, std::uint8_t high, double t) {
    const double blended = std::nearbyint(low * t + high * (1.0 - t));
    // A table holding a NaN or infinite value must not turn into a wild byte.
    if (!(blended >= 0.0)) return 0;
    if (blended > 255.0) return 255;
    return static_cast<std::uint8_t>(blended);
}

}  // namespace

TColor32 ColorLookup(const TColorTable& table, std::uint8_t alpha, double value) {
    if (table.size() < 2) return OpaqueWhite;
    const std::size_t last = table.size() - 1;
    const bool ascending = table[0].Value < table[1].Value;
    // k: the first entry at or beyond the value in the table's direction.
    std::size_t k = 0;
    while (k < table.size() && !(ascending ? table[k].Value >= value : table[k].Value <= value)) ++k;
    const std::size_t lo = k == 0 ? 0 : k - 1;
    const std::size_t hi = std::min(last, k);

    const TColorTableEntry& low = table[lo];
    const TColorTableEntry& high = table[hi];
    const double t = low.Value == high.Value ? 1.0 : (high.Value - value) / (high.Value - low.Value);
    return MakeColor32(alpha, BlendComponent(RedOf(low.Color), RedOf(high.Color), t),
                       BlendComponent(GreenOf(low.Color), GreenOf(high.Color), t),
                       BlendComponent(BlueOf(low.Color), BlueOf(high.Color), t));
}

TColorTable BuiltInColorTable(int number) {
    switch (number) {
        case 1:
            return {Entry(12.0, 255, 0, 0),   Entry(12.8, 255, 176, 0), Entry(13.3, 255, 255, 0),
                    Entry(13.6, 224, 255, 0), Entry(15.0, 0, 255, 0),   Entry(16.0, 0, 192, 255),
                    Entry(17.0, 0, 0, 255)};
        case 2:
            return {Entry(12.0, 255, 255, 0),   Entry(13.0, 162, 255, 0),  Entry(14.7, 0, 255, 166),
                    Entry(15.5, 157, 163, 251), Entry(16.0, 231, 95, 231), Entry(17.0, 255, 0, 0)};
        default:
            return {};
    }
}

TColorTable MapWindowDefaultColorTable() {
    return {Entry(127.0, 255, 0, 0), Entry(-127.0, 255, 255, 0)};
}

TColorTable MapWindowColor2Table() {
    return {Entry(128.0, 232, 101, 255, 0), Entry(64.0, 0, 234, 255, 0), Entry(0.0, 0, 224, 0, 0),
            Entry(-64.0, 231, 169, 0, 0), Entry(-128.0, 255, 92, 0, 0)};
}

void ResetColorTableToDefaults(TColorTable& table) {
    // The whole table: entries kept past the sixth could repeat a default value.
    table = BuiltInColorTable(DefaultColorTableNumber);
}

}  // namespace kelvane
