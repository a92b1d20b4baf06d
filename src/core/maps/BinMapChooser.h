#pragma once

#include <string>

#include "core/maps/MapSets.h"

namespace kelvane {

// Which bin options dialog is asked: the LH one (Cat, No-Cat, Primary Load
// Map) or the EZK one (98-octane Cat, 98-octane No-Cat, 91-octane).
enum class TBinDialogKind { LH, EZK };

// The answer of a bin options dialog.
enum class TBinMapChoice : int {
    Cancel = -1,
    NoChoice = 0,  // "OK" pressed without choosing (only the EZK dialog allows it)
    Cat = 1,       // LH "Cat" map, or the EZK 98-octane "Cat" map
    NoCat = 2,     // LH No-Cat map, or the EZK 98-octane No-Cat map
    PrimaryLoad = 3,
    Octane91 = 4,
};

// The map source a choice leads to; text for Cancel, for "OK" without a
// choice and for a choice only the other dialog offers.
constexpr TLHMapSource LHMapSourceOf(TBinMapChoice choice) {
    switch (choice) {
        case TBinMapChoice::Cat:
            return TLHMapSource::Cat;
        case TBinMapChoice::NoCat:
            return TLHMapSource::NoCat;
        case TBinMapChoice::PrimaryLoad:
            return TLHMapSource::PrimaryLoad;
        default:
            return TLHMapSource::Text;
    }
}
constexpr TEZKMapSource EZKMapSourceOf(TBinMapChoice choice) {
    switch (choice) {
        case TBinMapChoice::Cat:
            return TEZKMapSource::Cat98;
        case TBinMapChoice::NoCat:
            return TEZKMapSource::NoCat98;
        case TBinMapChoice::Octane91:
            return TEZKMapSource::Octane91;
        default:
            return TEZKMapSource::Text;
    }
}

// Asks the user which map of a bin image was in use. The window supplies the
// dialogs; tests supply scripted answers.
class TBinMapChooser {
  public:
    virtual ~TBinMapChooser() = default;
    // notice: the text of the notice group; empty hides the group.
    virtual TBinMapChoice ChooseMap(TBinDialogKind kind, const std::string& notice) = 0;
};

}  // namespace kelvane
