#pragma once

#include <cstdint>
#include <string>

#include "core/maps/MapGrid.h"
#include "core/simulate/EngineModel.h"

namespace kelvane {

// What kind of drive the simulated driver makes.
enum class TDriveKind { Mixed, Cruise, Pulls };

struct TDriveOptions {
    std::uint64_t Seed = 1;
    double DurationSec = 300;
    TDriveKind Kind = TDriveKind::Mixed;
    double StartCoolantTemp = 85;  // below about 60 the drive starts with a warm-up
};

// The device logs ten samples a second.
constexpr double LogIntervalSec = 0.1;

// Drives the car with the given fuel and ignition maps and returns the log
// file's bytes as the device writes them (Windows-1252, TAB-separated, CR LF).
// The same options, model and maps give the same bytes.
std::string SimulateDrive(const TEngineModel& model, const TMapGrid& fuelMap, const TMapGrid& ignitionMap,
                          const TDriveOptions& options);

bool DriveKindFromText(const std::string& text, TDriveKind& kind);

}  // namespace kelvane
