#include "core/shell/MapLoading.h"

#include <algorithm>
#include <cctype>

#include "core/maps/MapFields.h"
#include "core/maps/MapText.h"

namespace kelvane {

namespace {

bool HasExtension(const std::filesystem::path& path, std::string_view lowerExtension) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == lowerExtension;
}

bool IsTextPath(const std::filesystem::path& path) {
    return HasExtension(path, ".txt");
}

bool IsBinPath(const std::filesystem::path& path) {
    return HasExtension(path, ".bin");
}

std::string QuotedNameText(const std::filesystem::path& path, std::string_view tail) {
    return "File \"" + path.filename().string() + "\" " + std::string(tail);
}

bool IsLHBinSource(TLHMapSource source) {
    return source == TLHMapSource::Cat || source == TLHMapSource::NoCat ||
           source == TLHMapSource::PrimaryLoad;
}

bool IsEZKBinSource(TEZKMapSource source) {
    return source == TEZKMapSource::Cat98 || source == TEZKMapSource::NoCat98 ||
           source == TEZKMapSource::Octane91;
}

// The LH choices the dialog can give; "OK" without a choice is not one of them.
bool IsLHChoice(TBinMapChoice choice) {
    return IsLHBinSource(LHMapSourceOf(choice));
}

bool IsEZKChoice(TBinMapChoice choice) {
    return IsEZKBinSource(EZKMapSourceOf(choice));
}

// The map set's limits follow the LH version and the source, so the axes are
// rebuilt before any relation runs on the fuel set.
void ResetFuelAdjustments(TKelvaneState& state) {
    state.RecomputeAxes();
    state.Fuel.ResetAdjustments(state.Axes.FuelLimits);
}

// Lines passing the EZK line check (decimal commas allowed) fill load rows 0
// to 15; true when the 16th row was filled.
bool ReadEZKMapBlock(std::string_view text, TMapGrid& grid) {
    int row = 0;
    for (std::string_view line : SplitMapLines(text)) {
        if (row == MapSize) break;
        line = TrimMapText(line);
        if (!IsEZKMapLine(line)) continue;
        std::size_t pos = 0;
        for (int r = 0; r < MapSize; ++r)
            grid.At(r, row) = MapNumberOr(NextMapField(line, pos, "\t"), TDecimalComma::Accepted, 0.0);
        ++row;
    }
    return row == MapSize;
}

// What a load command put where; decides the relations run afterwards.
struct TLoadOutcome {
    bool Ok = false;
    bool NewFuelReference = false;
    bool NewIgnitionReference = false;
    std::string ErrorText;
};

void LoadText(TKelvaneState& state, const std::filesystem::path& path, TLoadOutcome& outcome) {
    if (IsLHMapText(path)) {
        outcome.Ok = ReadLHMapText(path, state.Fuel.Reference);
        state.Fuel.ReferenceLoaded = outcome.Ok;
        outcome.NewFuelReference = true;
    } else if (IsEZKMapText(path)) {
        outcome.Ok = ReadEZKMapText(path, state.Ignition.Reference);
        state.Ignition.ReferenceLoaded = outcome.Ok;
        outcome.NewIgnitionReference = true;
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
    if (choice == TBinMapChoice::Cancel) return;
    if (IsEZKChoice(choice)) {
        const TEZKMapSource which = EZKMapSourceOf(choice);
        TMapGrid reference = state.Ignition.Reference;
        TMapGrid wot = state.Ignition.WotCurve;
        if (!image.ReadMap(which, reference) || !image.ReadWotCurve(which, wot)) return;
        state.Ignition.Reference = reference;
        state.Ignition.WotCurve = wot;
        state.Ignition.Source = which;
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
            if (!IsLHChoice(choice)) return;
            which = LHMapSourceOf(choice);
        }
    }
    if (!image.ReadMap(which, state.Fuel.Reference)) return;
    if (!image.IsLH22Image()) state.Fuel.Source = which;
    state.Fuel.ReferenceLoaded = true;
    outcome.NewFuelReference = true;
    outcome.Ok = true;
}

// The map the reference's source names, or the dialog's choice for a text
// reference; empty when the user cancelled.
template <typename TSource>
std::optional<TSource> CompareChoice(TBinDialogKind kind, TSource source, bool sourceIsBin,
                                     const std::string& notice, TBinMapChooser& chooser,
                                     TSource (*sourceOf)(TBinMapChoice)) {
    if (sourceIsBin) return source;
    const TBinMapChoice choice = chooser.ChooseMap(kind, notice);
    const bool taken = kind == TBinDialogKind::LH ? IsLHChoice(choice) : IsEZKChoice(choice);
    if (!taken) return std::nullopt;
    return sourceOf(choice);
}

bool CompareLHImage(TKelvaneState& state, const std::filesystem::path& path, TBinMapChooser& chooser,
                    std::string& errorText) {
    const TLHbinFile image(path);
    if (!image.IsValid()) {
        errorText = NotValidLHBinText(path);
        return false;
    }
    std::optional<TLHMapSource> which = TLHbinFile::CatMap;
    if (!image.IsLH22Image()) {
        which = CompareChoice(TBinDialogKind::LH, state.Fuel.Source, IsLHBinSource(state.Fuel.Source),
                              LHBinNotice(image), chooser, LHMapSourceOf);
    }
    if (!which || !image.ReadMap(*which, state.Fuel.Updated)) return false;
    state.Fuel.RecomputeAdjustments();
    return true;
}

bool CompareEZKImage(TKelvaneState& state, const std::filesystem::path& path, TBinMapChooser& chooser,
                     std::string& errorText) {
    const TEZKbinFile image(path);
    if (!image.IsValid()) {
        errorText = NotValidEZKBinText(path);
        return false;
    }
    const std::optional<TEZKMapSource> which =
        CompareChoice(TBinDialogKind::EZK, state.Ignition.Source, IsEZKBinSource(state.Ignition.Source),
                      EZKBinNotice(image), chooser, EZKMapSourceOf);
    if (!which || !image.ReadMap(*which, state.Ignition.Updated)) return false;
    state.Ignition.RecomputeAdjustments();
    return true;
}

}  // namespace

TMapFileSettings MapFileSettingsFor(const std::filesystem::path& chosenFile, int filterIndex) {
    return TMapFileSettings{chosenFile.parent_path(), chosenFile, filterIndex};
}

std::string LHBinNotice(const TLHbinFile& image) {
    std::string notice;
    const auto addLine = [&notice](std::string_view line) {
        if (!notice.empty()) notice += '\n';
        notice += line;
    };
    if (!image.AdaptationDisabled()) addLine(LHAdaptationNotice);
    TWotMap wot{};
    if (image.ReadCatWotMap(wot) && !TLHbinFile::WotMapZeroed(wot)) addLine(LHCatWotNotice);
    wot = {};
    if (image.ReadNoCatWotMap(wot) && !TLHbinFile::WotMapZeroed(wot)) addLine(LHNoCatWotNotice);
    return notice;
}

std::string EZKBinNotice(const TEZKbinFile& image) {
    return image.WotMapDisabled() ? std::string() : std::string(EZKWotNotice);
}

std::string NotValidMapFileText(const std::filesystem::path& path) {
    return QuotedNameText(path, "is not a valid map file");
}

std::string NotValidVortrixBinText(const std::filesystem::path& path) {
    return QuotedNameText(path, "is not a valid Vortrix bin-file.");
}

std::string NotValidLHBinText(const std::filesystem::path& path) {
    return QuotedNameText(path, "is not a valid LH bin-file.");
}

std::string NotValidEZKBinText(const std::filesystem::path& path) {
    return QuotedNameText(path, "is not a valid EZK bin-file.");
}

TMapLoadResult LoadMapFile(TKelvaneState& state, const std::filesystem::path& path, TBinMapChooser& chooser) {
    const TLHMapSource oldFuelSource = state.Fuel.Source;
    state.Fuel.Source = TLHMapSource::Text;

    TLoadOutcome outcome;
    if (IsTextPath(path)) {
        LoadText(state, path, outcome);
    } else if (IsBinPath(path)) {
        if (TLHbinFile::IsLHbinFile(path)) {
            LoadLHImage(state, path, chooser, outcome);
        } else {
            LoadEZKImage(state, path, chooser, outcome);
        }
    }

    // A Primary Load Map reference read with source 0 would be clamped to the
    // byte-map limits, wiping the user's fuel adjustments: without a new LH
    // map the Primary Load source stays.
    if (!outcome.NewFuelReference && oldFuelSource == TLHMapSource::PrimaryLoad)
        state.Fuel.Source = oldFuelSource;

    state.RecomputeAxes();
    if (outcome.NewFuelReference) {
        state.Fuel.ResetAdjustments(state.Axes.FuelLimits);
    } else {
        state.Fuel.RecomputeUpdated(state.Axes.FuelLimits);
    }
    if (outcome.NewIgnitionReference) {
        state.Ignition.ResetAdjustments();
    } else {
        state.Ignition.RecomputeUpdated();
    }

    TMapLoadResult result;
    result.Ok = outcome.Ok;
    result.ErrorText = std::move(outcome.ErrorText);
    result.ShowReferenceValues = outcome.Ok;
    result.Refresh = true;
    return result;
}

TMapLoadResult CompareMapFile(TKelvaneState& state, const std::filesystem::path& path,
                              TBinMapChooser& chooser) {
    TMapLoadResult result;
    if (IsTextPath(path)) {
        if (IsLHMapText(path)) {
            result.Ok = ReadLHMapText(path, state.Fuel.Updated);
            state.Fuel.RecomputeAdjustments();
        } else if (IsEZKMapText(path)) {
            result.Ok = ReadEZKMapText(path, state.Ignition.Updated);
            state.Ignition.RecomputeAdjustments();
        } else {
            result.ErrorText = NotValidMapFileText(path);
        }
    } else if (IsBinPath(path)) {
        if (TLHbinFile::IsLHbinFile(path)) {
            result.Ok = CompareLHImage(state, path, chooser, result.ErrorText);
        } else if (TEZKbinFile::IsEZKbinFile(path)) {
            result.Ok = CompareEZKImage(state, path, chooser, result.ErrorText);
        } else {
            result.ErrorText = NotValidVortrixBinText(path);
        }
    }
    result.UpdateToolButtons = true;
    result.Refresh = true;
    return result;
}

bool LoadLHReference(TKelvaneState& state, const std::filesystem::path& path, TLHMapSource source) {
    TFuelMapSet& fuel = state.Fuel;
    if (IsTextPath(path)) {
        fuel.Source = TLHMapSource::Text;
        const bool ok = ReadLHMapText(path, fuel.Reference);
        fuel.ReferenceLoaded = ok;
        if (ok) fuel.ReferencePath = path;
        ResetFuelAdjustments(state);
        return ok;
    }
    if (!IsBinPath(path) || !state.LHImage.Open(path)) return false;
    // An LH 2.2 image has no Primary Load Map: nothing is read and the
    // reference keeps what it held.
    if (!state.LHImage.Get()->ReadMap(source, fuel.Reference)) return false;
    fuel.Source = source;
    fuel.ReferenceLoaded = true;
    fuel.ReferencePath = path;
    ResetFuelAdjustments(state);
    return true;
}

bool LoadLHUpdatedMap(TKelvaneState& state, const std::filesystem::path& path) {
    if (!IsTextPath(path)) return false;
    const bool ok = ReadLHMapText(path, state.Fuel.Updated);
    if (ok) state.Fuel.UpdatedPath = path;
    state.Fuel.RecomputeAdjustments();
    return ok;
}

bool LoadEZKReference(TKelvaneState& state, const std::filesystem::path& path, TEZKMapSource source) {
    TIgnitionMapSet& ignition = state.Ignition;
    if (IsTextPath(path)) {
        const bool ok = ReadEZKMapText(path, ignition.Reference);
        ignition.ReferenceLoaded = ok;
        if (ok) ignition.ReferencePath = path;
        ignition.ResetAdjustments();
        return ok;
    }
    if (!IsBinPath(path) || !state.EZKImage.Open(path)) return false;
    if (!state.EZKImage.Get()->ReadMap(source, ignition.Reference)) return false;
    ignition.Source = source;
    ignition.ReferenceLoaded = true;
    ignition.ReferencePath = path;
    ignition.ResetAdjustments();
    return true;
}

bool LoadEZKUpdatedMap(TKelvaneState& state, const std::filesystem::path& path) {
    if (!IsTextPath(path) || !IsEZKMapText(path)) return false;
    const bool ok = ReadEZKMapText(path, state.Ignition.Updated);
    if (ok) state.Ignition.UpdatedPath = path;
    state.Ignition.RecomputeAdjustments();
    return ok;
}

TMenuItemState CopyMapItem(const TKelvaneState& state) {
    if (state.Display.View == TPlotView::EZK)
        return {"Copy Updated EZK &Map", state.Ignition.ReferenceLoaded};
    return {"Copy Updated LH &Map", state.Fuel.ReferenceLoaded};
}

TMenuItemState PasteMapItem(std::string_view clipboardText) {
    if (IsEZKMapBlock(clipboardText)) return {"Paste EZK Map", true};
    if (IsLHMapBlock(clipboardText)) return {"Paste LH Map", true};
    return {"Paste Map", false};
}

std::optional<std::string> CopyUpdatedMap(const TKelvaneState& state) {
    if (state.Display.View == TPlotView::EZK) {
        if (!state.Ignition.ReferenceLoaded) return std::nullopt;
        return CopyBlock(state.Ignition.Updated, WholeMap, 1);
    }
    if (!state.Fuel.ReferenceLoaded) return std::nullopt;
    return CopyBlock(state.Fuel.Updated, WholeMap, 0);
}

bool PasteMap(TKelvaneState& state, std::string_view clipboardText) {
    if (IsLHMapBlock(clipboardText)) {
        TFuelMapSet& fuel = state.Fuel;
        fuel.ReferenceLoaded = ReadMapBlock(clipboardText, fuel.Reference);
        fuel.Source = TLHMapSource::Text;
        fuel.ReferencePath.clear();
        ResetFuelAdjustments(state);
        return true;
    }
    if (IsEZKMapBlock(clipboardText)) {
        // Read with the EZK line check: an EZK block written with decimal
        // commas passes the EZK test but not the LH line check.
        TIgnitionMapSet& ignition = state.Ignition;
        ignition.ReferenceLoaded = ReadEZKMapBlock(clipboardText, ignition.Reference);
        ignition.Source = TEZKMapSource::Text;
        ignition.ReferencePath.clear();
        ignition.ResetAdjustments();
        return true;
    }
    return false;
}

}  // namespace kelvane
