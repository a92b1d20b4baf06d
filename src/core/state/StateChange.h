#pragma once

#include <cstdint>
#include <initializer_list>

namespace kelvane {

// One kind of change a command made to the program's state.
enum class TChange : std::uint32_t {
    Samples = 1u << 0,        // logs loaded, removed or re-read
    Filters = 1u << 1,        // the active filter settings
    FuelMaps = 1u << 2,       // reference, adjustments or updated fuel map
    IgnitionMaps = 1u << 3,   // reference, adjustments or updated ignition map
    TargetAfr = 1u << 4,      // the target AFR map
    Axes = 1u << 5,           // engine setup, axes and bin images
    PlotRanges = 1u << 6,     // the plotted engine speed and load ranges
    PlottedValues = 1u << 7,  // what a sample's plotted AFR includes
    Display = 1u << 8,        // view, grid format, knock markers, legend
    Overlay = 1u << 9,        // the values printed in the cells
    Selection = 1u << 10,
    Settings = 1u << 11,  // other settings (point size, smoothing, session ...)
    Colors = 1u << 12,    // the AFR colour scale
};

// What a command changed: every command that changes the state returns one,
// and one place turns it into derived data and repaints.
class TChangeSet {
  public:
    constexpr TChangeSet() = default;
    constexpr TChangeSet(TChange change) : FBits(static_cast<std::uint32_t>(change)) {}
    constexpr TChangeSet(std::initializer_list<TChange> changes) {
        for (const TChange change : changes) FBits |= static_cast<std::uint32_t>(change);
    }

    constexpr bool Empty() const { return FBits == 0; }
    constexpr bool Has(TChange change) const { return (FBits & static_cast<std::uint32_t>(change)) != 0; }
    constexpr bool HasAny(TChangeSet other) const { return (FBits & other.FBits) != 0; }
    // True when nothing but the given changes is in the set.
    constexpr bool Only(TChangeSet other) const { return !Empty() && (FBits & ~other.FBits) == 0; }

    constexpr TChangeSet& operator|=(TChangeSet other) {
        FBits |= other.FBits;
        return *this;
    }
    friend constexpr TChangeSet operator|(TChangeSet a, TChangeSet b) { return a |= b; }
    constexpr bool operator==(const TChangeSet&) const = default;

  private:
    std::uint32_t FBits = 0;
};

constexpr TChangeSet operator|(TChange a, TChange b) {
    return TChangeSet(a) | TChangeSet(b);
}

// Every kind at once, for a plot that was replaced as a whole.
inline constexpr TChangeSet EverythingChanged{
    TChange::Samples,   TChange::Filters, TChange::FuelMaps,   TChange::IgnitionMaps,
    TChange::TargetAfr, TChange::Axes,    TChange::PlotRanges, TChange::PlottedValues,
    TChange::Display,   TChange::Overlay, TChange::Selection,  TChange::Settings,
    TChange::Colors};

}  // namespace kelvane
