#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// The compiled-in version "a.b.c.d" as the build states it.
std::string RawProgramVersion();

// Display form of a version: a.b.c.d becomes a.b.d, and the third field is
// zero-padded to three digits (1.2.3.45 gives 1.2.045, 2.1.7 gives 2.1.007).
// Other forms are kept.
std::string FormatVersionText(std::string_view version);

// The program's version text: FormatVersionText(RawProgramVersion()).
std::string ProgramVersionText();

}  // namespace kelvane
