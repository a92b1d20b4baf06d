#pragma once

#include <algorithm>
#include <cstddef>

namespace kelvane {

// The samples the data graph shows: indexes First .. Last of the list.
struct TGraphRange {
    int First = 0;
    int Last = 0;

    int Length() const { return Last - First; }
    bool operator==(const TGraphRange&) const = default;
};

inline TGraphRange WholeGraphRange(std::size_t sampleCount) {
    return {0, sampleCount == 0 ? 0 : static_cast<int>(sampleCount) - 1};
}

// The range kept on the list: within 0 .. last index, First <= Last, and at
// least two samples wide when the list has two.
inline TGraphRange ClampedGraphRange(TGraphRange range, std::size_t sampleCount) {
    if (sampleCount == 0) return {};
    const int last = static_cast<int>(sampleCount) - 1;
    range.First = std::clamp(range.First, 0, last);
    range.Last = std::clamp(range.Last, 0, last);
    if (range.Last < range.First) std::swap(range.First, range.Last);
    if (range.Last == range.First && last > 0) {
        if (range.Last < last)
            ++range.Last;
        else
            --range.First;
    }
    return range;
}

}  // namespace kelvane
