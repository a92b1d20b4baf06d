#include "core/display/ColorTableSettings.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "core/ground/FileDefs.h"
#include "core/ground/IniKeys.h"
#include "core/ground/SettingsValues.h"

namespace kelvane {

namespace {

// 0 for text that is not wholly an integer (or does not fit 32 bits).
std::int32_t IntegerOrZero(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return number;
}

std::uint8_t LowByte(std::int32_t number) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(number));
}

}  // namespace

std::string ColorTableSectionName(int number) {
    return std::string(ColorTableSectionPrefix) + std::to_string(number);
}

std::string ColorTableKeyText(double value) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    if (error != std::errc()) return "0.0";
    std::string text(buffer, end);
    if (text == "-0.0") text = "0.0";  // a value just below zero is still "0.0"
    return text;
}

std::string ColorTableColorText(TColor32 color) {
    return ZeroPad(RedOf(color), 3) + "," + ZeroPad(GreenOf(color), 3) + "," + ZeroPad(BlueOf(color), 3);
}

double ColorTableKeyValue(std::string_view key) {
    std::string text(TrimBlanks(key));
    for (char& c : text) {
        if (c == ',') c = '.';
    }
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) return 0.0;
    return value;
}

TColor32 ColorTableColorValue(std::string_view text) {
    std::uint8_t parts[3] = {0, 0, 0};
    for (std::uint8_t& part : parts) {
        const std::size_t comma = text.find(',');
        part = LowByte(IntegerOrZero(text.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return MakeColor32(255, parts[0], parts[1], parts[2]);
}

std::string ColorTableKeyText(double value, int decimals) {
    char buffer[400];
    const auto [end, error] = decimals > 0 ? std::to_chars(buffer, buffer + sizeof buffer, value,
                                                           std::chars_format::fixed, decimals)
                                           : std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) return ColorTableKeyText(value);
    std::string text(buffer, end);
    if (value == 0) text = "0.0";
    return text;
}

std::vector<TSettingsPair> ColorTableToPairs(const TColorTable& table) {
    std::vector<TSettingsPair> pairs;
    pairs.reserve(table.size());
    for (const TColorTableEntry& entry : table) {
        pairs.push_back({ColorTableKeyText(entry.Value), ColorTableColorText(entry.Color)});
    }
    // Entries that share a one-decimal key would lose all but one of them in
    // the file: those are written with as many decimals as tell them apart.
    for (std::size_t i = 0; i < table.size(); ++i) {
        std::vector<std::size_t> group;
        for (std::size_t j = 0; j < table.size(); ++j)
            if (pairs[j].Key == pairs[i].Key && ColorTableKeyText(table[j].Value) == pairs[i].Key)
                group.push_back(j);
        if (group.size() < 2) continue;
        int decimals = 2;
        for (; decimals <= ColorTableMaxKeyDecimals; ++decimals) {
            bool distinct = true;
            for (std::size_t a = 0; a < group.size() && distinct; ++a)
                for (std::size_t b = a + 1; b < group.size() && distinct; ++b)
                    distinct = ColorTableKeyText(table[group[a]].Value, decimals) !=
                               ColorTableKeyText(table[group[b]].Value, decimals);
            if (distinct) break;
        }
        // Beyond that, the shortest text that reads back as the same number.
        if (decimals > ColorTableMaxKeyDecimals) decimals = 0;
        for (const std::size_t j : group) pairs[j].Key = ColorTableKeyText(table[j].Value, decimals);
    }
    return pairs;
}

bool ColorValueTaken(const TColorTable& table, std::size_t index, double value) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (i != index && table[i].Value == value) return true;
    return false;
}

TColorTable ColorTableFromPairs(const std::vector<TSettingsPair>& pairs) {
    TColorTable table;
    table.reserve(pairs.size());
    for (const TSettingsPair& pair : pairs) {
        // Keys such as "12.0" and "12,0" name one value: the first one read stays.
        const double value = ColorTableKeyValue(pair.Key);
        if (ColorValueTaken(table, table.size(), value)) continue;
        table.push_back({value, ColorTableColorValue(pair.Value)});
    }
    return table;
}

TColorScale ColorScaleFromSettings(int useColorTable, const std::vector<TSettingsPair>& section) {
    if (useColorTable >= 0) {
        TColorTable table = ColorTableFromPairs(section);
        if (!table.empty()) return {std::move(table), useColorTable};
    }
    return {BuiltInColorTable(DefaultColorTableNumber), DefaultColorTableNumber};
}

}  // namespace kelvane
