#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// The compiled-in version "a.b.c.d" as the build states it.
std::string RawProgramVersion();

// Display form of a four-field version: a.b.c.d becomes a.b.d with the last
// field zero-padded to three digits (1.2.3.45 gives 1.2.045). Other forms are kept.
std::string FormatVersionText(std::string_view version);

// The program's version text: FormatVersionText(RawProgramVersion()).
std::string ProgramVersionText();

}  // namespace kelvane
