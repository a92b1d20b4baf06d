#pragma once

#include <array>

namespace kelvane {

// A knock sample whose retard is larger, or that knocks on more cylinders,
// than a limit gets the next larger marker.
struct TKnockLimit {
    double MaxRetard = 0;
    int MaxCylinders = 0;

    bool operator==(const TKnockLimit&) const = default;
};

// The medium marker's limit first, then the large marker's.
using TKnockLimits = std::array<TKnockLimit, 2>;
constexpr TKnockLimits DefaultKnockLimits{{{3.0, 3}, {6.0, 6}}};

}  // namespace kelvane
