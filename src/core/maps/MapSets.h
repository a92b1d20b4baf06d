#pragma once

#include <filesystem>

#include "core/maps/EngineSetup.h"
#include "core/maps/MapGrid.h"

namespace kelvane {

// Where the LH reference map came from.
enum class TLHMapSource : int { Text = 0, Cat = 1, NoCat = 2, PrimaryLoad = 3 };

// Where the EZK reference map came from (there is no 3).
enum class TEZKMapSource : int { Text = 0, Cat98 = 1, NoCat98 = 2, Octane91 = 4 };

// The sources as project files store them. A stored number that names no
// source reads as the image's "Cat" map.
constexpr TLHMapSource LHMapSourceFromCode(int code) {
    return code >= 0 && code <= 3 ? static_cast<TLHMapSource>(code) : TLHMapSource::Cat;
}
constexpr TEZKMapSource EZKMapSourceFromCode(int code) {
    return code == 0 || code == 1 || code == 2 || code == 4 ? static_cast<TEZKMapSource>(code)
                                                            : TEZKMapSource::Cat98;
}
constexpr int CodeOf(TLHMapSource source) {
    return static_cast<int>(source);
}
constexpr int CodeOf(TEZKMapSource source) {
    return static_cast<int>(source);
}

// The range the fuel updated map is clamped to (raw ECU numbers).
struct TFuelLimits {
    double Max = 127;
    double Min = -127;
    bool operator==(const TFuelLimits&) const = default;
};

// How many cells of an updated map were held at its limits.
struct TClampCount {
    int AtMax = 0;
    int AtMin = 0;
    int Total() const { return AtMax + AtMin; }
    bool operator==(const TClampCount&) const = default;
};

// The Primary Load Map decides first, then the LH version.
TFuelLimits FuelLimitsFor(TLHVersion lhVersion, TLHMapSource lhMapSource);

// The updated ignition map is kept within these degrees.
constexpr double IgnitionMax = 50;
constexpr double IgnitionMin = 0;

// Every cell of load row l holds D[l]; also what the target map's Reset gives.
TMapGrid DefaultTargetAfrMap();

TMapGrid FilledGrid(double value);

// The LH fuel maps of the main window. The adjustment is a factor per cell
// (1.0 = unchanged); for the Primary Load Map it scales the value itself,
// otherwise it scales value + 512.
struct TFuelMapSet {
    TMapGrid Reference{};
    bool ReferenceLoaded = false;
    std::filesystem::path ReferencePath;  // empty when the map came from the clipboard
    TLHMapSource Source = TLHMapSource::Text;

    TMapGrid Adjustments = FilledGrid(1.0);
    bool AdjustmentsEdited = false;

    TMapGrid Updated{};
    std::filesystem::path UpdatedPath;

    TMapGrid Remainder = FilledGrid(1.0);  // factors, shown for the Primary Load Map only

    TMapGrid TargetAfr = DefaultTargetAfrMap();
    bool TargetEdited = false;

    // U from R and A, rounded halves to even and clamped to the limits; a
    // clamped cell gets its A recomputed so that A always reproduces U.
    TClampCount RecomputeUpdated(const TFuelLimits& limits);
    // A from R and U, no clamping (after the updated map was loaded, edited or
    // smoothed); a cell whose reference cannot be scaled keeps its A.
    void RecomputeAdjustments();
    // Every A = 1.0, edited flag cleared, then the updated map recomputed.
    TClampCount ResetAdjustments(const TFuelLimits& limits);

    // The factor that turns reference into updated for one cell. A reference
    // whose scaled base is zero (R = -512, or R = 0 for the Primary Load Map)
    // cannot be scaled at all: the cell keeps the factor it had (current).
    double AdjustmentFor(double reference, double updated, double current = 1.0) const;
};

// The EZK ignition maps of the main window, in degrees; the adjustment is
// added (0 = unchanged).
struct TIgnitionMapSet {
    TMapGrid Reference{};
    bool ReferenceLoaded = false;
    std::filesystem::path ReferencePath;
    TEZKMapSource Source = TEZKMapSource::Text;

    TMapGrid Adjustments{};
    bool AdjustmentsEdited = false;

    TMapGrid Updated{};
    std::filesystem::path UpdatedPath;

    // One value per RPM index in load row 0 (G[r][0]); other rows stay 0.
    TMapGrid WotCurve{};

    TClampCount RecomputeUpdated();
    void RecomputeAdjustments();
    TClampCount ResetAdjustments();
};

}  // namespace kelvane
