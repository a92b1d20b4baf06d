#pragma once

#include <string>
#include <string_view>

#include "core/maps/EngineSetup.h"

namespace kelvane {

// Settings texts of the engine-setup codes ("LH Version", "LH Config",
// "EZK Config"). Texts compare without regard to case; any other text gives
// not set.
TLHVersion LHVersionFromText(std::string_view text);
TLHConfig LHConfigFromText(std::string_view text);
TEZKVersion EZKVersionFromText(std::string_view text);

// The settings text of a code; empty for not set.
std::string LHVersionText(TLHVersion version);
std::string LHConfigText(TLHConfig config);
std::string EZKVersionText(TEZKVersion version);

}  // namespace kelvane
