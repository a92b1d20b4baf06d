#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kelvane {

// Log and map texts stay as Windows-1252 bytes in the core; the windows turn
// them into QString here, in one place.
QString FromWindows1252(std::string_view bytes);

// The reverse, for texts typed in a window that go into a file; a character
// the code page lacks becomes "?".
std::string ToWindows1252(const QString& text);

}  // namespace kelvane
