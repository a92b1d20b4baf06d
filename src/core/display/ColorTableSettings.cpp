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

std::vector<TSettingsPair> ColorTableToPairs(const TColorTable& table) {
    std::vector<TSettingsPair> pairs;
    pairs.reserve(table.size());
    for (const TColorTableEntry& entry : table) {
        pairs.push_back({ColorTableKeyText(entry.Value), ColorTableColorText(entry.Color)});
    }
    return pairs;
}

TColorTable ColorTableFromPairs(const std::vector<TSettingsPair>& pairs) {
    TColorTable table;
    table.reserve(pairs.size());
    for (const TSettingsPair& pair : pairs) {
        table.push_back({ColorTableKeyValue(pair.Key), ColorTableColorValue(pair.Value)});
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
