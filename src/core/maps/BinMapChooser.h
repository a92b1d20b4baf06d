#pragma once

#include <string>

namespace kelvane {

// Which bin options dialog is asked: the LH one (Cat, No-Cat, Primary Load
// Map) or the EZK one (98-octane Cat, 98-octane No-Cat, 91-octane).
enum class TBinDialogKind { LH, EZK };

// The answer of a bin options dialog. The values of the map choices are the
// map source codes they lead to (LH 1, 2, 3; EZK 1, 2, 4).
enum class TBinMapChoice : int {
    Cancel = -1,
    NoChoice = 0,  // "OK" pressed without choosing (only the EZK dialog allows it)
    Cat = 1,       // LH "Cat" map, or the EZK 98-octane "Cat" map
    NoCat = 2,     // LH No-Cat map, or the EZK 98-octane No-Cat map
    PrimaryLoad = 3,
    Octane91 = 4,
};

// Asks the user which map of a bin image was in use. The window supplies the
// dialogs; tests supply scripted answers.
class TBinMapChooser {
  public:
    virtual ~TBinMapChooser() = default;
    // notice: the text of the notice group; empty hides the group.
    virtual TBinMapChoice ChooseMap(TBinDialogKind kind, const std::string& notice) = 0;
};

}  // namespace kelvane
