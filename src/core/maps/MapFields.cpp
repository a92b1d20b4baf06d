#include "core/maps/MapFields.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "core/maps/MapGrid.h"

namespace kelvane {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view SkipLeadingBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

bool ParsePlain(std::string_view text, double& value) {
    if (!IsMapNumber(text)) return false;
    text = SkipLeadingBlanks(text);
    if (text.front() == '+') text.remove_prefix(1);  // from_chars takes no plus sign
    double parsed = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

bool IsMapLine(std::string_view line, double low, double high, TDecimalComma comma) {
    std::size_t pos = 0;
    for (int j = 0; j < MapSize; ++j) {
        const double value = MapNumberOr(NextMapField(line, pos, "\t"), comma, -1000);
        if (value < low || value > high) return false;
    }
    for (; pos < line.size(); ++pos)
        if (!IsMapTrimChar(line[pos])) return false;
    return true;
}

}  // namespace

bool IsMapTrimChar(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code == ' ' || code <= 25;
}

std::string_view TrimMapText(std::string_view text) {
    while (!text.empty() && IsMapTrimChar(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsMapTrimChar(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view NextMapField(std::string_view line, std::size_t& pos, std::string_view separators) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    const std::size_t start = pos;
    const std::size_t end = std::min(line.find_first_of(separators, start), line.size());
    pos = end < line.size() ? end + 1 : end;
    return TrimMapText(line.substr(start, end - start));
}

bool IsMapNumber(std::string_view text) {
    text = SkipLeadingBlanks(text);
    if (text.empty()) return false;
    const char first = text.front();
    if (!IsDigit(first) && first != '+' && first != '-' && first != '.') return false;
    int points = first == '.' ? 1 : 0;
    bool digit = IsDigit(first);
    for (const char c : text.substr(1)) {
        if (c == '.') {
            if (++points > 1) return false;
        } else if (IsDigit(c)) {
            digit = true;
        } else {
            return false;
        }
    }
    return digit;
}

bool ParseMapNumber(std::string_view text, TDecimalComma comma, double& value) {
    if (ParsePlain(text, value)) return true;
    if (comma == TDecimalComma::Refused || text.find(',') == std::string_view::npos) return false;
    std::string withPoints(text);
    for (char& c : withPoints)
        if (c == ',') c = '.';
    return ParsePlain(withPoints, value);
}

double MapNumberOr(std::string_view text, TDecimalComma comma, double fallback) {
    double value = 0;
    return ParseMapNumber(text, comma, value) ? value : fallback;
}

bool IsMapInteger(std::string_view text) {
    text = SkipLeadingBlanks(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (const char c : text)
        if (!IsDigit(c)) return false;
    return true;
}

bool IsLHMapLine(std::string_view line) {
    return IsMapLine(line, -512, 32728, TDecimalComma::Refused);
}

bool IsPrimaryLoadMapLine(std::string_view line) {
    return IsMapLine(line, 0, 65535, TDecimalComma::Refused);
}

bool IsLHMapTextLine(std::string_view line) {
    return IsLHMapLine(line) || IsPrimaryLoadMapLine(line);
}

bool IsEZKMapLine(std::string_view line) {
    return IsMapLine(line, -10, 90, TDecimalComma::Accepted);
}

std::vector<std::string_view> SplitMapLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end;
        if (start < text.size() && text[start] == '\r') ++start;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

}  // namespace kelvane
