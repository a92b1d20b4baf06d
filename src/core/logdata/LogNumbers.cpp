#include "core/logdata/LogNumbers.h"

#include <charconv>
#include <cstddef>

namespace kelvane {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The field rule and the conversion; false when the field is no number.
bool ParseLogNumber(const char* first, const char* last, char separator, double& value) {
    while (first < last && *first == ' ') ++first;
    const std::ptrdiff_t length = last - first;
    if (length <= 0) return false;
    const char lead = *first;
    if (!IsDigit(lead)) {
        if (length == 1 || !(lead == '+' || lead == '-' || lead == '.')) return false;
        if (lead == '.' && separator != '.') return false;  // "." is not a separator in this file
    }
    int separators = lead == separator ? 1 : 0;
    for (const char* p = first + 1; p < last; ++p) {
        const char c = *p;
        if (IsDigit(c)) continue;
        if (c != separator || ++separators > 1) return false;
    }
    if (lead == '+') ++first;

    // from_chars reads "." only, so a decimal comma is handed over in a copy.
    char buffer[128];
    const std::ptrdiff_t n = last - first;
    if (n > static_cast<std::ptrdiff_t>(sizeof buffer)) return false;
    for (std::ptrdiff_t i = 0; i < n; ++i) buffer[i] = first[i] == separator ? '.' : first[i];
    double number = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, number, std::chars_format::fixed);
    if (error != std::errc() || end != buffer + n) return false;
    value = number;
    return true;
}

}  // namespace

double ReadLogNumber(const char* first, const char* last, char separator) {
    double value = 0;
    return ParseLogNumber(first, last, separator, value) ? value : 0;
}

bool IsLogNumber(const char* first, const char* last, char separator) {
    double value = 0;
    return ParseLogNumber(first, last, separator, value);
}

const char* ReadLogNumberFieldSlow(const char* p, const char* end, char separator, double& value) {
    const char* fieldEnd = SkipLogField(p, end);
    if (separator == '.') {
        // from_chars straight on the bytes: its fixed format is [-]digits[.digits], so the
        // field is valid when the number ends where the field does.
        const char* q = p;
        while (q < fieldEnd && *q == ' ') ++q;
        if (q < fieldEnd) {
            const char lead = *q;
            bool valid = IsDigit(lead) || (lead == '.' && fieldEnd - q > 1);
            if (lead == '+' || lead == '-') {
                // A sign needs a digit or "." after it ("-inf" or "+-1" are not numbers here).
                valid = q + 1 < fieldEnd && (IsDigit(q[1]) || q[1] == '.');
                if (lead == '+') ++q;
            }
            double number = 0;
            if (valid) {
                const auto [stop, error] = std::from_chars(q, fieldEnd, number, std::chars_format::fixed);
                if (error == std::errc() && stop == fieldEnd) {
                    value = number;
                    return fieldEnd;
                }
            }
        }
        value = 0;
        return fieldEnd;
    }
    value = ReadLogNumber(p, fieldEnd, separator);
    return fieldEnd;
}

std::int32_t ReadLogInteger(const char* first, const char* last) {
    std::int32_t value = 0;
    const char* stop = ReadLogIntegerField(first, last, value);
    return stop == last ? value : 0;
}

const char* ReadLogIntegerFieldSlow(const char* p, const char* end, std::int32_t& value) {
    const char* fieldEnd = SkipLogField(p, end);
    const char* q = p;
    while (q < fieldEnd && *q == ' ') ++q;
    if (q < fieldEnd && *q == '+' && !(q + 1 < fieldEnd && q[1] == '-')) ++q;
    std::int32_t number = 0;
    const auto [stop, error] = std::from_chars(q, fieldEnd, number, 10);
    value = (error == std::errc() && stop == fieldEnd) ? number : 0;
    return fieldEnd;
}

}  // namespace kelvane
