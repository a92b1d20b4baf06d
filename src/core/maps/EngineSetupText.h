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

// The setup as the user reads it: "LH 2.3, Standard MAF, EZK S4/GTS". A code
// not set shows what it is treated as, marked "(not set)".
std::string EngineSetupDisplayText(const TEngineSetup& setup);

// What changed between two setups, one sentence per part that changed, e.g.
// "LH configuration changed from Standard MAF to Vortrix Alpha"; empty when
// nothing did.
std::string EngineSetupChangeText(const TEngineSetup& before, const TEngineSetup& after);

}  // namespace kelvane
