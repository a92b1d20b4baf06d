#pragma once

#include <cstddef>
#include <optional>

#include "core/plot/Selection.h"

namespace kelvane {

// The keys held with a click on a sample. Ctrl wins over Shift.
struct TClickKeys {
    bool Ctrl = false;
    bool Shift = false;
};

// What clicks on samples in the log grids and the data graph do to the
// selection. Each click returns the sample to bring into view in the other
// panels, or nothing. Indexes that name no sample (a stale anchor, a click
// past the list) never enter the selection.
class TSampleClicks {
  public:
    // A grid row: Ctrl adds the sample or takes it out again; a plain click
    // selects it alone and makes it the anchor; Shift selects the samples
    // from the anchor to it, in that order (a plain click without an anchor).
    std::optional<std::size_t> GridClick(TSelectionEditor& editor, const TSelection& selection,
                                         std::size_t sampleCount, int index, TClickKeys keys);
    // A sample of the data graph: a plain click selects it alone, Ctrl adds
    // it, Shift adds the samples from the first selected one towards it
    // (just the sample when no point is selected).
    std::optional<std::size_t> GraphClick(TSelectionEditor& editor, const TSelection& selection,
                                          std::size_t sampleCount, int index, TClickKeys keys);

    // The list changed: the anchor named a sample of the old one.
    void ForgetAnchor() { FGridAnchor = -1; }
    int GridAnchor() const { return FGridAnchor; }

  private:
    int FGridAnchor = -1;  // none
};

}  // namespace kelvane
