#include "FuzzSupport.h"

#include <unistd.h>

#include <fstream>
#include <system_error>

namespace kelvane::fuzz {

namespace {

class TScratch {
  public:
    TScratch() {
        FPath = std::filesystem::temp_directory_path() / ("kelvane-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(FPath);
    }
    ~TScratch() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    const std::filesystem::path& Path() const { return FPath; }

  private:
    std::filesystem::path FPath;
};

}  // namespace

const std::filesystem::path& ScratchFolder() {
    static const TScratch scratch;
    return scratch.Path();
}

std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes) {
    const std::filesystem::path path = ScratchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    Check(static_cast<bool>(out), "the scratch file can be written");
    return path;
}

}  // namespace kelvane::fuzz

namespace kelvane::fuzz {

namespace {

bool SameFuel(const TFuelMapSet& a, const TFuelMapSet& b) {
    return SameBytes(a.Reference, b.Reference) && a.ReferenceLoaded == b.ReferenceLoaded &&
           a.ReferencePath == b.ReferencePath && a.Source == b.Source &&
           SameBytes(a.Adjustments, b.Adjustments) && a.AdjustmentsEdited == b.AdjustmentsEdited &&
           SameBytes(a.Updated, b.Updated) && a.UpdatedPath == b.UpdatedPath &&
           SameBytes(a.TargetAfr, b.TargetAfr);
}

bool SameIgnition(const TIgnitionMapSet& a, const TIgnitionMapSet& b) {
    return SameBytes(a.Reference, b.Reference) && a.ReferenceLoaded == b.ReferenceLoaded &&
           a.ReferencePath == b.ReferencePath && a.Source == b.Source &&
           SameBytes(a.Adjustments, b.Adjustments) && a.AdjustmentsEdited == b.AdjustmentsEdited &&
           SameBytes(a.Updated, b.Updated) && a.UpdatedPath == b.UpdatedPath &&
           SameBytes(a.WotCurve, b.WotCurve);
}

}  // namespace

bool SameMapState(const TKelvaneState& a, const TKelvaneState& b) {
    return SameFuel(a.Fuel, b.Fuel) && SameIgnition(a.Ignition, b.Ignition) && a.Setup() == b.Setup() &&
           SameBytes(a.Axes.LHRpm, b.Axes.LHRpm) && SameBytes(a.Axes.LHLoad, b.Axes.LHLoad) &&
           SameBytes(a.Axes.EZKRpm, b.Axes.EZKRpm) && SameBytes(a.Axes.EZKLoad, b.Axes.EZKLoad) &&
           a.LHImage.Get() == b.LHImage.Get() && a.EZKImage.Get() == b.EZKImage.Get();
}

}  // namespace kelvane::fuzz
