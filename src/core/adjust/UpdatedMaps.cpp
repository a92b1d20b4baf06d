#include "core/adjust/UpdatedMaps.h"

#include "core/ground/PathText.h"
#include "core/maps/MapText.h"

namespace kelvane {

namespace {

// The file name without its folder and without an extension of up to three
// characters ("stock.data" keeps its ".data").
std::string ReferenceStem(const std::filesystem::path& referencePath) {
    std::string name = referencePath.filename().string();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && name.size() - dot - 1 <= 3) name.erase(dot);
    return name;
}

std::string UpdatedName(const std::filesystem::path& referencePath, const char* tail) {
    if (referencePath.empty()) return std::string("Updated ") + tail;
    return "Updated (" + ReferenceStem(referencePath) + ") " + tail;
}

void Note(TMapSaveResult& save, const TMapWriteResult& write, const std::filesystem::path& path) {
    if (write.Ok) {
        save.Written.push_back(write.FileName);
        return;
    }
    const std::filesystem::path& file = write.FileName.empty() ? path : write.FileName;
    save.Errors.push_back("Could not save the map file \"" + file.string() + "\": " + write.ErrorText);
}

}  // namespace

std::filesystem::path SessionFolder(const TSettings& settings) {
    if (settings.ProjectFolder.empty() || settings.SessionName.empty()) return {};
    return settings.ProjectFolder / PathOfText(settings.SessionName) / "";
}

std::string UpdatedFuelMapName(const std::filesystem::path& referencePath) {
    return UpdatedName(referencePath, "fuel map.txt");
}

std::string UpdatedIgnitionMapName(const std::filesystem::path& referencePath) {
    return UpdatedName(referencePath, "Ign map.txt");
}

bool UpdatedMapToSave(const TFuelMapSet& set) {
    return set.AdjustmentsEdited && set.ReferenceLoaded;
}

bool UpdatedMapToSave(const TIgnitionMapSet& set) {
    return set.AdjustmentsEdited && set.ReferenceLoaded;
}

bool UpdatedMapsToSave(const TKelvaneState& state) {
    return UpdatedMapToSave(state.Fuel) || UpdatedMapToSave(state.Ignition);
}

TMapSaveResult SaveUpdatedMaps(TKelvaneState& state, const std::filesystem::path& folder) {
    TMapSaveResult save;
    if (UpdatedMapToSave(state.Fuel)) {
        const std::filesystem::path path = folder / PathOfText(UpdatedFuelMapName(state.Fuel.ReferencePath));
        const TMapWriteResult write = WriteLHMapText(path, state.Fuel.Updated, 0, TOverwrite::KeepOld);
        Note(save, write, path);
        if (write.Ok) state.Fuel.AdjustmentsEdited = false;
    }
    if (UpdatedMapToSave(state.Ignition)) {
        const std::filesystem::path path =
            folder / PathOfText(UpdatedIgnitionMapName(state.Ignition.ReferencePath));
        const TMapWriteResult write = WriteEZKMapText(path, state.Ignition.Updated, TOverwrite::KeepOld);
        Note(save, write, path);
        if (write.Ok) state.Ignition.AdjustmentsEdited = false;
    }
    return save;
}

TMapSaveResult SaveBaseMaps(TKelvaneState& state, const std::filesystem::path& folder) {
    TMapSaveResult save;
    if (state.Fuel.ReferenceLoaded && state.Fuel.ReferencePath.empty()) {
        const std::filesystem::path path = folder / BaseFuelMapFileName;
        const TMapWriteResult write = WriteLHMapText(path, state.Fuel.Reference, 0, TOverwrite::KeepOld);
        Note(save, write, path);
        if (write.Ok) state.Fuel.ReferencePath = write.FileName;
    }
    if (state.Ignition.ReferenceLoaded && state.Ignition.ReferencePath.empty()) {
        const std::filesystem::path path = folder / BaseIgnitionMapFileName;
        const TMapWriteResult write = WriteEZKMapText(path, state.Ignition.Reference, TOverwrite::KeepOld);
        Note(save, write, path);
        if (write.Ok) state.Ignition.ReferencePath = write.FileName;
    }
    return save;
}

std::string SavePromptText(const TKelvaneState& state) {
    const bool fuel = UpdatedMapToSave(state.Fuel);
    const bool ignition = UpdatedMapToSave(state.Ignition);
    if (!fuel && !ignition) return {};
    const char* which = fuel && ignition ? "LH and EZK maps have"
                        : fuel           ? "LH fuel map has"
                                         : "EZK igntion map has";
    return std::string(which) + " been adjusted. Do you want to save changes?";
}

void DiscardAdjustments(TKelvaneState& state) {
    if (state.Fuel.AdjustmentsEdited) state.Fuel.ResetAdjustments(state.Axes.FuelLimits);
    if (state.Ignition.AdjustmentsEdited) state.Ignition.ResetAdjustments();
    state.Fuel.AdjustmentsEdited = false;
    state.Ignition.AdjustmentsEdited = false;
}

void ResetFuelAdjustment(TKelvaneState& state) {
    state.Fuel.ResetAdjustments(state.Axes.FuelLimits);
}

bool ResetIgnitionAdjustment(TKelvaneState& state) {
    if (state.Setup().LHVersion == TLHVersion::LH22) return false;
    state.Ignition.ResetAdjustments();
    return true;
}

}  // namespace kelvane
