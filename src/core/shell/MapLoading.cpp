#include "core/shell/MapLoading.h"

#include <optional>

#include "core/ground/AtomicFile.h"
#include "core/ground/SettingsValues.h"
#include "core/shell/MapKinds.h"

namespace kelvane {

namespace {

// Says how many cells of an updated map had to be held at its limits.
std::string ClampNotice(std::string_view map, const TClampCount& clamped, double max, double min) {
    if (clamped.Total() == 0) return {};
    std::string text = std::string(map) + ": " + std::to_string(clamped.Total()) +
                       (clamped.Total() == 1 ? " cell" : " cells") + " held at the limits (";
    if (clamped.AtMax > 0) text += std::to_string(clamped.AtMax) + " at " + FormatNumber(max, 0);
    if (clamped.AtMax > 0 && clamped.AtMin > 0) text += ", ";
    if (clamped.AtMin > 0) text += std::to_string(clamped.AtMin) + " at " + FormatNumber(min, 0);
    return text + ")";
}

// Everything a map load may touch, kept so that a refused file or a
// cancelled dialog can put it all back.
struct TMapStateBefore {
    explicit TMapStateBefore(const TKelvaneState& state)
        : Fuel(state.Fuel),
          Ignition(state.Ignition),
          LHImage(state.LHImage),
          EZKImage(state.EZKImage),
          Setup(state.Setup()),
          Axes(state.Axes) {}

    void Restore(TKelvaneState& state) const {
        state.Fuel = Fuel;
        state.Ignition = Ignition;
        state.LHImage = LHImage;
        state.EZKImage = EZKImage;
        state.Setup() = Setup;
        state.Axes = Axes;
    }

    TFuelMapSet Fuel;
    TIgnitionMapSet Ignition;
    TCurrentLHImage LHImage;
    TCurrentEZKImage EZKImage;
    TEngineSetup Setup;
    TMapAxes Axes;
};

// What a load command put where; decides the relations run afterwards.
struct TLoadOutcome {
    bool Ok = false;
    bool Cancelled = false;
    bool NewFuelReference = false;
    bool NewIgnitionReference = false;
    std::string ErrorText;
};

template <class TKind>
void LoadReferenceText(TKelvaneState& state, const std::filesystem::path& path, TLoadOutcome& outcome) {
    auto& set = TKind::Set(state);
    outcome.Ok = TKind::ReadMapText(path, set.Reference);
    set.ReferenceLoaded = outcome.Ok;
    // Updated-map names and base maps refer to the file the reference came from.
    if (outcome.Ok) set.ReferencePath = path;
    if constexpr (TKind::Change == TChange::FuelMaps) {
        outcome.NewFuelReference = true;
    } else {
        outcome.NewIgnitionReference = true;
    }
}

void LoadText(TKelvaneState& state, const std::filesystem::path& path, TLoadOutcome& outcome) {
    if (IsLHMapText(path)) {
        LoadReferenceText<TFuelMapKind>(state, path, outcome);
    } else if (IsEZKMapText(path)) {
        LoadReferenceText<TIgnitionMapKind>(state, path, outcome);
    } else {
        outcome.ErrorText = NotValidMapFileText(path);
    }
}

void LoadEZKImage(TKelvaneState& state, const std::filesystem::path& path, TBinMapChooser& chooser,
                  TLoadOutcome& outcome) {
    if (!state.EZKImage.Open(path)) {
        outcome.ErrorText = NotValidVortrixBinText(path);
        return;
    }
    const TEZKbinFile& image = *state.EZKImage.Get();
    // An EZK image only comes with an LH 2.3 fuel ECU.
    state.Setup().LHVersion = TLHVersion::LH23;
    state.Setup().EZKVersion = image.GtRpmGrid() ? TEZKVersion::GT : TEZKVersion::S4;

    const TBinMapChoice choice = chooser.ChooseMap(TBinDialogKind::EZK, EZKBinNotice(image));
    if (choice == TBinMapChoice::Cancel) {
        outcome.Cancelled = true;
        return;
    }
    if (IsChoiceOf<TIgnitionMapKind>(choice)) {
        const TEZKMapSource which = EZKMapSourceOf(choice);
        TMapGrid reference = state.Ignition.Reference;
        TMapGrid wot = state.Ignition.WotCurve;
        if (!image.ReadMap(which, reference) || !image.ReadWotCurve(which, wot)) return;
        state.Ignition.Reference = reference;
        state.Ignition.WotCurve = wot;
        state.Ignition.Source = which;
        state.Ignition.ReferencePath = path;
        outcome.NewIgnitionReference = true;
    }
    // "OK" without a choice reads nothing yet still counts as loaded; the
    // adjustments are kept, as no new reference came in.
    state.Ignition.ReferenceLoaded = true;
    outcome.Ok = true;
}

void LoadLHImage(TKelvaneState& state, const std::filesystem::path& path, TBinMapChooser& chooser,
                 TLoadOutcome& outcome) {
    if (!state.LHImage.Open(path)) {
        outcome.ErrorText = NotValidLHBinText(path);
        return;
    }
    const TLHbinFile& image = *state.LHImage.Get();
    TLHMapSource which = TLHMapSource::Text;
    if (image.IsLH22Image()) {
        state.Setup().LHVersion = TLHVersion::LH22;
        which = TLHbinFile::CatMap;  // the one LH 2.2 map; the source stays 0
    } else {
        state.Setup().LHVersion = TLHVersion::LH23;
        if (image.CatMapInUse()) {
            which = TLHbinFile::CatMap;
        } else if (image.NoCatMapInUse()) {
            which = TLHbinFile::NoCatMap;
        } else {
            const TBinMapChoice choice = chooser.ChooseMap(TBinDialogKind::LH, LHBinNotice(image));
            if (!IsChoiceOf<TFuelMapKind>(choice)) {
                outcome.Cancelled = true;
                return;
            }
            which = LHMapSourceOf(choice);
        }
    }
    if (!image.ReadMap(which, state.Fuel.Reference)) return;
    if (!image.IsLH22Image()) state.Fuel.Source = which;
    state.Fuel.ReferenceLoaded = true;
    state.Fuel.ReferencePath = path;
    outcome.NewFuelReference = true;
    outcome.Ok = true;
}

// The map the reference's source names, or the dialog's choice for a text
// reference; empty when the user cancelled.
template <class TKind>
std::optional<typename TKind::TSource> CompareChoice(const typename TKind::TImage& image,
                                                     typename TKind::TSource source,
                                                     TBinMapChooser& chooser) {
    if (const auto only = TKind::OnlyMap(image)) return only;
    if (TKind::IsBinSource(source)) return source;
    const TBinMapChoice choice = chooser.ChooseMap(TKind::Dialog, TKind::Notice(image));
    if (!IsChoiceOf<TKind>(choice)) return std::nullopt;
    return TKind::SourceOf(choice);
}

template <class TKind>
bool CompareImage(TKelvaneState& state, const std::filesystem::path& path, TBinMapChooser& chooser,
                  std::string& errorText) {
    const typename TKind::TImage image(path);
    if (!image.IsValid()) {
        errorText = TKind::NotValidImageText(path);
        return false;
    }
    auto& set = TKind::Set(state);
    const auto which = CompareChoice<TKind>(image, set.Source, chooser);
    if (!which || !image.ReadMap(*which, set.Updated)) return false;
    set.RecomputeAdjustments();
    return true;
}

template <class TKind>
bool CompareText(TKelvaneState& state, const std::filesystem::path& path) {
    auto& set = TKind::Set(state);
    const bool ok = TKind::ReadMapText(path, set.Updated);
    set.RecomputeAdjustments();
    return ok;
}

template <class TKind>
bool LoadReference(TKelvaneState& state, const std::filesystem::path& path, typename TKind::TSource source) {
    auto& set = TKind::Set(state);
    if (HasMapTextExtension(path)) {
        set.Source = TKind::TextSource;
        const bool ok = TKind::ReadMapText(path, set.Reference);
        set.ReferenceLoaded = ok;
        if (ok) set.ReferencePath = path;
        TKind::ResetAdjustments(state);
        return ok;
    }
    auto& current = TKind::Image(state);
    if (!HasBinExtension(path) || !current.Open(path)) return false;
    // An LH 2.2 image has no Primary Load Map: nothing is read and the
    // reference keeps what it held.
    if (!current.Get()->ReadMap(source, set.Reference)) return false;
    set.Source = source;
    set.ReferenceLoaded = true;
    set.ReferencePath = path;
    TKind::ResetAdjustments(state);
    return true;
}

template <class TKind>
bool LoadUpdatedMap(TKelvaneState& state, const std::filesystem::path& path) {
    if (!HasMapTextExtension(path) || !TKind::AcceptsUpdatedFile(path)) return false;
    auto& set = TKind::Set(state);
    const bool ok = TKind::ReadMapText(path, set.Updated);
    if (ok) set.UpdatedPath = path;
    set.RecomputeAdjustments();
    return ok;
}

// A map file or bin image that cannot be read is told as such, not as a file of
// the wrong kind; nothing is read from it.
bool Unreadable(const std::filesystem::path& path, std::string& errorText) {
    if (!HasMapTextExtension(path) && !HasBinExtension(path)) return false;
    std::string reason;
    if (CanReadFile(path, reason)) return false;
    errorText = UnreadableFileText(path, reason);
    return true;
}

}  // namespace

TMapLoadResult LoadMapFile(TKelvaneState& state, const std::filesystem::path& path, TBinMapChooser& chooser) {
    if (TMapLoadResult result; Unreadable(path, result.ErrorText)) return result;
    const TMapStateBefore before(state);
    const TLHMapSource oldFuelSource = state.Fuel.Source;
    state.Fuel.Source = TLHMapSource::Text;

    TLoadOutcome outcome;
    if (HasMapTextExtension(path)) {
        LoadText(state, path, outcome);
    } else if (HasBinExtension(path)) {
        if (TLHbinFile::IsLHbinFile(path)) {
            LoadLHImage(state, path, chooser, outcome);
        } else {
            LoadEZKImage(state, path, chooser, outcome);
        }
    }

    TMapLoadResult result;
    result.ErrorText = std::move(outcome.ErrorText);
    if (!result.ErrorText.empty() || outcome.Cancelled) {
        before.Restore(state);
        return result;
    }

    // A Primary Load Map reference read with source 0 would be clamped to the
    // byte-map limits, wiping the user's fuel adjustments: without a new LH
    // map the Primary Load source stays.
    if (!outcome.NewFuelReference && oldFuelSource == TLHMapSource::PrimaryLoad)
        state.Fuel.Source = oldFuelSource;

    state.RecomputeAxes();
    const TFuelLimits& limits = state.Axes.FuelLimits;
    const TClampCount fuelClamped =
        outcome.NewFuelReference ? state.Fuel.ResetAdjustments(limits) : state.Fuel.RecomputeUpdated(limits);
    const TClampCount ignitionClamped =
        outcome.NewIgnitionReference ? state.Ignition.ResetAdjustments() : state.Ignition.RecomputeUpdated();
    result.Notice = ClampNotice("Updated fuel map", fuelClamped, limits.Max, limits.Min);
    const std::string ignitionNotice =
        ClampNotice("Updated ignition map", ignitionClamped, IgnitionMax, IgnitionMin);
    if (!ignitionNotice.empty()) result.Notice += (result.Notice.empty() ? "" : "; ") + ignitionNotice;

    result.Ok = outcome.Ok;
    result.Changes = TChangeSet{TChange::FuelMaps, TChange::IgnitionMaps, TChange::Axes};
    if (result.Ok) {
        state.PlotDisplay.Overlay = TMapOverlay::Reference;
        result.Changes |= TChange::Overlay;
    }
    return result;
}

TMapLoadResult CompareMapFile(TKelvaneState& state, const std::filesystem::path& path,
                              TBinMapChooser& chooser) {
    TMapLoadResult result;
    if (Unreadable(path, result.ErrorText)) return result;
    if (HasMapTextExtension(path)) {
        if (IsLHMapText(path)) {
            result.Ok = CompareText<TFuelMapKind>(state, path);
            result.Changes = TChange::FuelMaps;
        } else if (IsEZKMapText(path)) {
            result.Ok = CompareText<TIgnitionMapKind>(state, path);
            result.Changes = TChange::IgnitionMaps;
        } else {
            result.ErrorText = NotValidMapFileText(path);
        }
    } else if (HasBinExtension(path)) {
        if (TLHbinFile::IsLHbinFile(path)) {
            result.Ok = CompareImage<TFuelMapKind>(state, path, chooser, result.ErrorText);
            result.Changes = TChange::FuelMaps;
        } else if (TEZKbinFile::IsEZKbinFile(path)) {
            result.Ok = CompareImage<TIgnitionMapKind>(state, path, chooser, result.ErrorText);
            result.Changes = TChange::IgnitionMaps;
        } else {
            result.ErrorText = NotValidVortrixBinText(path);
        }
    }
    return result;
}

bool LoadLHReference(TKelvaneState& state, const std::filesystem::path& path, TLHMapSource source) {
    return LoadReference<TFuelMapKind>(state, path, source);
}

bool LoadLHUpdatedMap(TKelvaneState& state, const std::filesystem::path& path) {
    return LoadUpdatedMap<TFuelMapKind>(state, path);
}

bool LoadEZKReference(TKelvaneState& state, const std::filesystem::path& path, TEZKMapSource source) {
    return LoadReference<TIgnitionMapKind>(state, path, source);
}

bool LoadEZKUpdatedMap(TKelvaneState& state, const std::filesystem::path& path) {
    return LoadUpdatedMap<TIgnitionMapKind>(state, path);
}

}  // namespace kelvane
