#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// Settings texts of the engine-setup codes ("LH Version", "LH Config",
// "EZK Config"). Texts compare without regard to case; any other text gives 0.
int LHVersionFromText(std::string_view text);
int LHConfigFromText(std::string_view text);
int EZKVersionFromText(std::string_view text);

// The settings text of a code; empty for 0 and unknown codes.
std::string LHVersionText(int code);
std::string LHConfigText(int code);
std::string EZKVersionText(int code);

}  // namespace kelvane
