#include "core/ground/SettingsValues.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "core/ground/MissingValue.h"
#include "core/ground/Platform.h"

namespace kelvane {

namespace {

constexpr std::string_view Blanks = " \t";

// from_chars does not take a leading "+"; settings written by hand may have one.
std::string_view DropPlusSign(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    return text;
}

std::optional<double> ParseWholeNumber(std::string_view text) {
    text = DropPlusSign(TrimBlanks(text));
    if (text.empty()) return std::nullopt;
    // Only plain decimal forms: no "inf", "nan" or hex digits.
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    });
    if (!plain) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseWholeInteger(std::string_view text) {
    text = DropPlusSign(TrimBlanks(text));
    if (text.empty()) return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void AppendPadded(std::string& out, int value, int width) {
    std::array<char, 16> digits{};
    // Negated as unsigned: the most negative int has no positive counterpart.
    const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), magnitude);
    const std::string_view text(digits.data(), static_cast<std::size_t>(result.ptr - digits.data()));
    if (value < 0) out += '-';
    for (int i = static_cast<int>(text.size()); i < width; ++i) out += '0';
    out += text;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(Blanks);
    return text.substr(first, last - first + 1);
}

std::string FormatNumber(double value, int decimals) {
    if (value == MissingValue || !std::isfinite(value)) return {};
    decimals = std::clamp(decimals, 0, 20);
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return {};
    std::string text(buffer.data(), result.ptr);
    // "-0.0" and the like: a value that rounds to zero carries no sign.
    if (!text.empty() && text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

double ParseNumber(std::string_view text, TDecimalComma comma, double defaultValue) {
    if (const auto value = ParseWholeNumber(text)) return *value;
    if (comma == TDecimalComma::Accepted && text.find(',') != std::string_view::npos) {
        std::string dotted(text);
        std::replace(dotted.begin(), dotted.end(), ',', '.');
        if (const auto value = ParseWholeNumber(dotted)) return *value;
    }
    return defaultValue;
}

int ParseInteger(std::string_view text, int defaultValue) {
    return ParseWholeInteger(text).value_or(defaultValue);
}

std::string FormatBool(bool value) {
    return value ? "1" : "0";
}

bool ParseBool(std::string_view text, bool defaultValue) {
    if (const auto value = ParseWholeInteger(text)) return *value != 0;
    return defaultValue;
}

std::string FormatWindowSize(const TWindowSize& size) {
    std::string text;
    for (const int part : {size.Left, size.Top, size.Width, size.Height}) {
        if (!text.empty()) text += ',';
        AppendPadded(text, part, 0);
    }
    return text;
}

int SaneWindowCoordinate(int value) {
    return std::clamp(value, -MaxWindowCoordinate, MaxWindowCoordinate);
}

int SaneWindowExtent(int value) {
    return std::clamp(value, 0, MaxWindowCoordinate);
}

TWindowSize SaneWindowSize(const TWindowSize& size) {
    return {SaneWindowCoordinate(size.Left), SaneWindowCoordinate(size.Top), SaneWindowExtent(size.Width),
            SaneWindowExtent(size.Height)};
}

std::optional<TWindowSize> ParseWindowSize(std::string_view text) {
    std::array<int, 4> parts{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const auto comma = text.find(',');
        const bool last = i + 1 == parts.size();
        if (last != (comma == std::string_view::npos)) return std::nullopt;
        const auto value = ParseWholeInteger(text.substr(0, comma));
        if (!value) return std::nullopt;
        parts[i] = *value;
        text = last ? std::string_view{} : text.substr(comma + 1);
    }
    return TWindowSize{parts[0], parts[1], parts[2], parts[3]};
}

std::string FormatDateTime(const std::tm& time) {
    std::string text;
    AppendPadded(text, time.tm_year + 1900, 4);
    text += '/';
    AppendPadded(text, time.tm_mon + 1, 2);
    text += '/';
    AppendPadded(text, time.tm_mday, 2);
    text += ' ';
    AppendPadded(text, time.tm_hour, 2);
    text += ':';
    AppendPadded(text, time.tm_min, 2);
    text += ':';
    AppendPadded(text, time.tm_sec, 2);
    return text;
}

std::optional<std::tm> ParseDateTime(std::string_view text) {
    // Fixed layout: yyyy/mm/dd hh:nn:ss
    constexpr std::string_view Layout = "dddd/dd/dd dd:dd:dd";
    if (text.size() != Layout.size()) return std::nullopt;
    for (std::size_t i = 0; i < Layout.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (Layout[i] == 'd' ? !digit : text[i] != Layout[i]) return std::nullopt;
    }
    const auto field = [text](std::size_t at, std::size_t length) {
        return ParseWholeInteger(text.substr(at, length)).value_or(-1);
    };
    std::tm time{};
    time.tm_year = field(0, 4) - 1900;
    time.tm_mon = field(5, 2) - 1;
    time.tm_mday = field(8, 2);
    time.tm_hour = field(11, 2);
    time.tm_min = field(14, 2);
    time.tm_sec = field(17, 2);
    if (time.tm_mon < 0 || time.tm_mon > 11 || time.tm_mday < 1 || time.tm_mday > 31 || time.tm_hour > 23 ||
        time.tm_min > 59 || time.tm_sec > 60)
        return std::nullopt;
    time.tm_isdst = -1;
    return time;
}

std::string CurrentDateTimeText() {
    const std::time_t now = std::time(nullptr);
    return FormatDateTime(platform::LocalTime(now).value_or(std::tm{}));
}

}  // namespace kelvane
