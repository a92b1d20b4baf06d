#include "core/adjust/TargetAfrMap.h"

#include "core/maps/MapText.h"

namespace kelvane {

bool ReadTargetAfrMapFile(const std::filesystem::path& path, TMapGrid& map) {
    // A short file fills only some rows: read into a copy and keep it only whole.
    TMapGrid read = map;
    if (!ReadLHMapText(path, read)) return false;
    map = read;
    return true;
}

TMapWriteResult WriteTargetAfrMapFile(const std::filesystem::path& path, const TMapGrid& map) {
    return WriteLHMapText(path, map, TargetAfrDecimals, TOverwrite::Replace);
}

void LoadStartupTargetAfrMap(const std::filesystem::path& commonRoot, TFuelMapSet& fuel) {
    if (!ReadTargetAfrMapFile(commonRoot / TargetAfrMapFileName, fuel.TargetAfr))
        fuel.TargetAfr = DefaultTargetAfrMap();
    fuel.TargetEdited = false;
}

}  // namespace kelvane
