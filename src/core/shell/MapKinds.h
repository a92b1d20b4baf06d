#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/maps/BinMapChooser.h"
#include "core/maps/MapFileTexts.h"
#include "core/maps/MapText.h"
#include "core/state/KelvaneState.h"
#include "core/state/StateChange.h"

namespace kelvane {

// What tells the fuel maps and the ignition maps apart when they are loaded,
// compared or pasted: the rest of those commands is one code for both.
struct TFuelMapKind {
    using TImage = TLHbinFile;
    using TSource = TLHMapSource;
    static constexpr TBinDialogKind Dialog = TBinDialogKind::LH;
    static constexpr TChange Change = TChange::FuelMaps;
    static constexpr TSource TextSource = TLHMapSource::Text;

    static TFuelMapSet& Set(TKelvaneState& state) { return state.Fuel; }
    static TCurrentLHImage& Image(TKelvaneState& state) { return state.LHImage; }
    static bool IsBinSource(TSource source) { return source != TLHMapSource::Text; }
    static TSource SourceOf(TBinMapChoice choice) { return LHMapSourceOf(choice); }
    static bool IsMapText(const std::filesystem::path& path) { return IsLHMapText(path); }
    static bool ReadMapText(const std::filesystem::path& path, TMapGrid& grid) {
        return ReadLHMapText(path, grid);
    }
    // An updated fuel map is read by the line check alone.
    static bool AcceptsUpdatedFile(const std::filesystem::path&) { return true; }
    static bool IsMapBlock(std::string_view text) { return IsLHMapBlock(text); }
    static bool ReadBlock(std::string_view text, TMapGrid& grid) { return ReadMapBlock(text, grid); }
    // The map set's limits follow the LH version and the source, so the axes
    // are rebuilt before the adjustments are reset.
    static void ResetAdjustments(TKelvaneState& state) {
        state.RecomputeAxes();
        state.Fuel.ResetAdjustments(state.Axes.FuelLimits);
    }
    static std::string Notice(const TImage& image) { return LHBinNotice(image); }
    static std::string NotValidImageText(const std::filesystem::path& path) {
        return NotValidLHBinText(path);
    }
    // An LH 2.2 image holds one map, taken without asking.
    static std::optional<TSource> OnlyMap(const TImage& image) {
        if (image.IsLH22Image()) return TLHbinFile::CatMap;
        return std::nullopt;
    }
};

struct TIgnitionMapKind {
    using TImage = TEZKbinFile;
    using TSource = TEZKMapSource;
    static constexpr TBinDialogKind Dialog = TBinDialogKind::EZK;
    static constexpr TChange Change = TChange::IgnitionMaps;
    static constexpr TSource TextSource = TEZKMapSource::Text;

    static TIgnitionMapSet& Set(TKelvaneState& state) { return state.Ignition; }
    static TCurrentEZKImage& Image(TKelvaneState& state) { return state.EZKImage; }
    static bool IsBinSource(TSource source) { return source != TEZKMapSource::Text; }
    static TSource SourceOf(TBinMapChoice choice) { return EZKMapSourceOf(choice); }
    static bool IsMapText(const std::filesystem::path& path) { return IsEZKMapText(path); }
    static bool ReadMapText(const std::filesystem::path& path, TMapGrid& grid) {
        return ReadEZKMapText(path, grid);
    }
    static bool AcceptsUpdatedFile(const std::filesystem::path& path) { return IsEZKMapText(path); }
    static bool IsMapBlock(std::string_view text) { return IsEZKMapBlock(text); }
    // Read with the EZK line check: an EZK block written with decimal commas
    // passes the EZK test but not the LH line check.
    static bool ReadBlock(std::string_view text, TMapGrid& grid) { return ReadEZKMapBlock(text, grid); }
    static void ResetAdjustments(TKelvaneState& state) { state.Ignition.ResetAdjustments(); }
    static std::string Notice(const TImage& image) { return EZKBinNotice(image); }
    static std::string NotValidImageText(const std::filesystem::path& path) {
        return NotValidEZKBinText(path);
    }
    static std::optional<TSource> OnlyMap(const TImage&) { return std::nullopt; }
};

// The map choices of the kind's dialog; "OK" without a choice and Cancel are
// not among them.
template <class TKind>
bool IsChoiceOf(TBinMapChoice choice) {
    return TKind::IsBinSource(TKind::SourceOf(choice));
}

}  // namespace kelvane
