#include "core/adjust/TargetAfrMap.h"

#include <string>

#include "core/ground/AtomicFile.h"
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
    // Every exit saves the map: a file that already holds it is left as it is.
    const std::string text = MapFileText(map, TargetAfrDecimals);
    if (std::string existing; ReadWholeFile(path, existing) && existing == text) {
        RemoveStaleTemporaries(path);  // what a killed save left goes as a write would take it
        TMapWriteResult unchanged;
        unchanged.Ok = true;
        unchanged.FileName = path;
        return unchanged;
    }
    return WriteMapText(path, text, TOverwrite::Replace);
}

void LoadStartupTargetAfrMap(const std::filesystem::path& commonRoot, TFuelMapSet& fuel) {
    if (!ReadTargetAfrMapFile(commonRoot / TargetAfrMapFileName, fuel.TargetAfr))
        fuel.TargetAfr = DefaultTargetAfrMap();
    fuel.TargetEdited = false;
}

}  // namespace kelvane
