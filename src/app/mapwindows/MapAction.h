#pragma once

#include <string>

#include "app/plot/MainUnit.h"

namespace kelvane {

// Every change of the map sets while it lives is one undo step named by it:
// open it before the maps change. Nested ones join the outermost.
class TMapAction {
  public:
    TMapAction(TMainForm& mainForm, std::string name) : FMainForm(mainForm) {
        FMainForm.BeginMapAction(std::move(name));
    }
    ~TMapAction() { FMainForm.EndMapAction(); }
    TMapAction(const TMapAction&) = delete;
    TMapAction& operator=(const TMapAction&) = delete;

  private:
    TMainForm& FMainForm;
};

}  // namespace kelvane
