#pragma once

namespace kelvane {

// One set of point-filter settings. The main window holds an active set and
// a stored set of defaults.
struct TFilterSettings {
    bool FiltersEnabled = true;
    double MaxAfr = 17.5;
    bool MaxAfrEnabled = true;
    double MaxRpmSlope = 10000;
    bool MaxRpmSlopeEnabled = true;
    double MaxMafSlope = 1000;
    bool MaxMafSlopeEnabled = true;
    bool IncludeIdle = false;
    bool IncludeCruise = true;
    bool IncludeWot = true;
    double InhibitBefore = 0.1;  // seconds
    double InhibitAfter = 0.2;   // seconds

    bool operator==(const TFilterSettings&) const = default;
};

// AFR smoothing setting, 1 .. 6.
constexpr int DefaultAfrSmoothing = 3;

}  // namespace kelvane
