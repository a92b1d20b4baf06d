#include "core/simulate/DemoProject.h"

#include <cmath>
#include <fstream>

#include "core/ground/PathText.h"
#include "core/maps/MapText.h"
#include "core/simulate/DemoBinImages.h"
#include "core/simulate/DriveSimulation.h"

namespace kelvane {

namespace {

struct TDemoRun {
    const char* Session;
    const char* Name;
    std::uint64_t Seed;
    TDriveKind Kind;
    double Coolant;
};

// Short drives keep the project small; the first one starts cold.
constexpr TDemoRun DemoRuns[] = {
    {"2026-05-02", "Run01.txt", 11, TDriveKind::Mixed, 25},
    {"2026-05-02", "Run02.txt", 12, TDriveKind::Mixed, 85},
    {"2026-05-02", "Run03.txt", 13, TDriveKind::Pulls, 88},
    {"2026-05-09", "Run01.txt", 21, TDriveKind::Cruise, 80},
    {"2026-05-09", "Run02.txt", 22, TDriveKind::Mixed, 88},
    {"2026-05-09", "Run03.txt", 23, TDriveKind::Pulls, 88},
};
constexpr double DemoRunSec = 90;

}  // namespace

std::vector<TDemoFile> DemoProjectFiles() {
    const TEngineModel model = MakeEngineModel({TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4});
    // A base map as a car comes: lean in the middle of the map, a little rich up top.
    TMapGrid fuel = model.TrueFuel;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) {
            double factor = 1.0;
            if (r >= 4 && r <= 11 && l >= 4 && l <= 10) factor = 0.9;
            if (l >= 13) factor = 1.06;
            fuel.At(r, l) = std::round(ScaleFuelValue(model.TrueFuel.At(r, l), factor));
        }
    // Three cells too far advanced, so the knock view has something to show.
    TMapGrid ignition = model.SoundIgnition;
    ignition.At(7, 9) += 4;
    ignition.At(10, 6) += 4;
    ignition.At(12, 13) += 4;

    std::vector<TDemoFile> files;
    for (const char* session : {"2026-05-02", "2026-05-09"}) {
        files.push_back({std::string(session) + "/base fuel map.txt", MapFileText(fuel, 0)});
        files.push_back({std::string(session) + "/base EZK map.txt", MapFileText(ignition, 1)});
    }
    // The first session also has the maps as the device keeps them.
    const auto bytes = [](const TBinBytes& image) { return std::string(image.begin(), image.end()); };
    files.push_back(
        {"2026-05-02/LH base.bin", bytes(MakeLHDeviceImage(fuel, model.Axes.LHRpm, model.Axes.LHLoad))});
    files.push_back({"2026-05-02/EZK base.bin", bytes(MakeEZKDeviceImage(ignition, model.Axes.EZKRpm))});
    for (const TDemoRun& run : DemoRuns) {
        TDriveOptions options;
        options.Seed = run.Seed;
        options.DurationSec = DemoRunSec;
        options.Kind = run.Kind;
        options.StartCoolantTemp = run.Coolant;
        files.push_back(
            {std::string(run.Session) + "/" + run.Name, SimulateDrive(model, fuel, ignition, options)});
    }
    return files;
}

bool WriteDemoProject(const std::filesystem::path& folder, std::string& error) {
    for (const TDemoFile& file : DemoProjectFiles()) {
        const std::filesystem::path path = folder / PathOfText(file.RelativePath);
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
        std::ofstream stream(path, std::ios::binary | std::ios::trunc);
        stream << file.Bytes;
        stream.close();
        if (!stream) {
            error = "Cannot write " + path.string();
            return false;
        }
    }
    return true;
}

}  // namespace kelvane
