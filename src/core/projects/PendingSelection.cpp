#include "core/projects/PendingSelection.h"

namespace kelvane {

bool TSelectionHandOver::Offer(const TPendingSelection& selection) {
    if (FLastReceived && *FLastReceived == selection) return false;
    FLastReceived = selection;
    FPending = selection;
    return true;
}

std::optional<TPendingSelection> TSelectionHandOver::Take() {
    std::optional<TPendingSelection> taken = std::move(FPending);
    FPending.reset();
    return taken;
}

}  // namespace kelvane
