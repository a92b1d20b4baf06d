// The data panels are not part of the window yet: nothing to bring into view.
#include "app/plot/MainUnit.h"
namespace kelvane {
void TMainForm::NotifySelected(std::optional<std::size_t>) {}
bool TMainForm::PanelHasFocus() const {
    return false;
}
void TMainForm::ShowHoverSampleInPanels(int) {}
}  // namespace kelvane
