#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/ground/DecimalComma.h"

namespace kelvane {

// True for the characters a map field is trimmed of: blanks and codes 0 to 25.
bool IsMapTrimChar(char c);
std::string_view TrimMapText(std::string_view text);

// Cuts the next field off a line: leading blanks skipped, the field runs to
// the first separator (or the end), the separator is consumed and the field
// is trimmed. pos moves past what was consumed.
std::string_view NextMapField(std::string_view line, std::size_t& pos, std::string_view separators);

// A plain decimal number: optional leading blanks, a digit, sign or point
// first, then digits and at most one point in all, at least one digit.
// No exponent, no thousands separator.
bool IsMapNumber(std::string_view text);

// Reads a map number with "." as the point whatever the locale. With the
// comma accepted a field that is a number only with "," as the point is
// read that way. False when the text is no number.
bool ParseMapNumber(std::string_view text, TDecimalComma comma, double& value);
double MapNumberOr(std::string_view text, TDecimalComma comma, double fallback);

// Optional leading blanks, optional sign, digits only.
bool IsMapInteger(std::string_view text);

// Line checks: 16 tab-separated numbers in range and nothing but trimmed-away
// characters after them. LH: -512 to 32728, no comma fallback. EZK: -10 to
// 90, decimal commas accepted.
bool IsLHMapLine(std::string_view line);
bool IsEZKMapLine(std::string_view line);

// The Primary Load Map holds unsigned 16-bit values, so its text has values
// up to 65535 and none below 0: 16 numbers from 0 to 65535.
bool IsPrimaryLoadMapLine(std::string_view line);
// What the LH map readers take: an LH line, or a Primary Load Map line, so
// that an updated Primary Load Map reads back after it was saved.
bool IsLHMapTextLine(std::string_view line);

// Splits text at CR LF, CR or LF; a last empty piece after the final line
// end is not a line.
std::vector<std::string_view> SplitMapLines(std::string_view text);

}  // namespace kelvane
