#pragma once

#include <charconv>
#include <cstdint>

namespace kelvane {

// Log field conversion. A field is a number only if, after leading spaces, its first byte
// is a digit or (in a longer field) "+", "-" or "."; every later byte is a digit or the
// file's decimal separator, at most one of those. Anything else reads as 0.
inline double ReadLogNumber(const char* first, const char* last, char separator) {
    while (first < last && *first == ' ') ++first;
    const std::ptrdiff_t length = last - first;
    if (length <= 0) return 0;
    const char lead = *first;
    if (!(lead >= '0' && lead <= '9')) {
        if (length == 1 || !(lead == '+' || lead == '-' || lead == '.')) return 0;
        if (lead == '.' && separator != '.') return 0;  // "." is not a separator in this file
    }
    int separators = lead == separator ? 1 : 0;
    for (const char* p = first + 1; p < last; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') continue;
        if (c != separator || ++separators > 1) return 0;
    }
    if (lead == '+') ++first;

    double value = 0;
    if (separator == '.') {
        const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
        return (error == std::errc() && end == last) ? value : 0;
    }
    // Decimal comma: hand from_chars a copy with ".".
    char buffer[128];
    const std::ptrdiff_t n = last - first;
    if (n > static_cast<std::ptrdiff_t>(sizeof buffer)) return 0;
    for (std::ptrdiff_t i = 0; i < n; ++i) buffer[i] = first[i] == separator ? '.' : first[i];
    const auto [end, error] = std::from_chars(buffer, buffer + n, value, std::chars_format::fixed);
    return (error == std::errc() && end == buffer + n) ? value : 0;
}

// Integer columns: leading blanks, an optional sign and digits, nothing else ("2.0" reads 0).
inline std::int32_t ReadLogInteger(const char* first, const char* last) {
    while (first < last && *first == ' ') ++first;
    if (first < last && *first == '+') {
        ++first;
        if (first < last && *first == '-') return 0;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, 10);
    return (error == std::errc() && end == last) ? value : 0;
}

}  // namespace kelvane
