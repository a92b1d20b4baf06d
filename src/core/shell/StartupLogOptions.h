#pragma once

#include <string_view>

#include "core/maps/EngineSetup.h"

namespace kelvane {

// The "Log File Options" preselection from a log's first line: a MAP column
// means LH 2.3 with the MAP system; an air-temperature or barometric column
// LH 2.3 with the Alpha system; otherwise the current setup where it is a
// valid combination (LH 2.3 with any configuration, LH 2.2 with standard MAF
// or HexaMAF). The EZK choice is the current one. Nothing is preselected for
// an unset setup.
TEngineSetup LogFileOptionsPreselection(std::string_view headerLine, const TEngineSetup& current);

// OK is enabled exactly when this holds: LH 2.2 with standard MAF or HexaMAF;
// or LH 2.3 with an EZK choice and one of the four LH 2.3 configurations.
bool LogFileOptionsComplete(const TEngineSetup& choice);

}  // namespace kelvane
