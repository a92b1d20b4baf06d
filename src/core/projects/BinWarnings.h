#pragma once

#include <string>

#include "core/maps/BinEZKImage.h"
#include "core/maps/BinLHImage.h"
#include "core/maps/MapSets.h"

namespace kelvane {

// The load system a bin image was set up for, as the warnings name it:
// "VX-Alpha", "VX-MAP" (LH only), "HexaMAF" or "MAF".
std::string BinKindName(const TLHbinFile& image);
std::string BinKindName(const TEZKbinFile& image);

// What the project window warns about the current bin images (either may be
// absent), lines separated by "\n"; empty when there is nothing to warn.
// lhMapInUse is the "LH Map In Use" choice (Text when none is chosen).
std::string BinWarningText(const TLHbinFile* lhImage, TLHMapSource lhMapInUse, const TEZKbinFile* ezkImage);

}  // namespace kelvane
