#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "cli/CliCommands.h"
#include "cli/CliLoading.h"
#include "core/ground/PathText.h"
#include "core/ground/SettingsValues.h"
#include "core/maps/EngineSetupText.h"
#include "core/maps/MapText.h"
#include "core/simulate/DemoProject.h"
#include "core/simulate/DriveSimulation.h"

namespace kelvane::cli {

const char* const SimulateUsageText =
    "Usage:\n"
    "  kelvane-cli simulate --fuel-map FUEL.txt --ignition-map IGN.txt --out LOG.txt [options]\n"
    "\n"
    "Drives a simulated car whose ECUs run the given maps and writes the drive as\n"
    "the logging device does: ten samples a second, TAB-separated, CR LF line ends.\n"
    "The same seed and maps give the same file.\n"
    "\n"
    "  --fuel-map FILE           LH fuel map text (16 lines of integers; required)\n"
    "  --ignition-map FILE       EZK ignition map text (required)\n"
    "  --out FILE                the log file to write (required)\n"
    "  --seed N                  seed of the drive, a whole number (default 1)\n"
    "  --duration SECONDS        length of the drive, 1..7200 (default 300)\n"
    "  --drive mixed|cruise|pulls  town and country with some full-load pulls, gentle\n"
    "                            driving only, or repeated full-load pulls (default mixed)\n"
    "  --coolant DEGREES         coolant temperature at the start, -30..110 (default 85);\n"
    "                            below 60 the drive starts with a warm-up at idle\n"
    "  --lh 2.3|2.2              LH version (default 2.3)\n"
    "  --config MAF|HMAF|TPS|MAP LH configuration (default MAF)\n"
    "  --ezk S4|GT               EZK configuration (default S4)\n"
    "  --print-true-maps         print the model's true fuel map and knock threshold map\n"
    "                            instead of driving (no map files needed)\n"
    "  --demo-project DIR        write the demo project (two sessions of three drives\n"
    "                            and their base maps) into DIR instead of driving\n";

namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "kelvane-cli simulate: %s\n\n%s", message.c_str(), SimulateUsageText);
    return 2;
}

bool ParseWhole(const std::string& text, long long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

int RunSimulate(const std::vector<std::string>& arguments) {
    std::string fuelPath, ignitionPath, outPath;
    TDriveOptions drive;
    TEngineSetup setup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};
    bool printTrueMaps = false;
    std::string demoFolder;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            std::fputs(SimulateUsageText, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (option == "--print-true-maps") {
            printTrueMaps = true;
            continue;
        }
        if (option.compare(0, 2, "--") != 0) return UsageError("unexpected argument " + option);
        if (i + 1 >= arguments.size()) return UsageError(option + " needs a value");
        const std::string& value = arguments[++i];
        long long whole = 0;
        const double number = ParseNumber(value, TDecimalComma::Refused, std::nan(""));
        if (option == "--fuel-map") {
            fuelPath = value;
        } else if (option == "--ignition-map") {
            ignitionPath = value;
        } else if (option == "--demo-project") {
            demoFolder = value;
        } else if (option == "--out") {
            outPath = value;
        } else if (option == "--seed") {
            if (!ParseWhole(value, whole) || whole < 0)
                return UsageError("--seed takes a whole number, not " + value);
            drive.Seed = static_cast<std::uint64_t>(whole);
        } else if (option == "--duration") {
            if (std::isnan(number) || number < 1 || number > 7200)
                return UsageError("--duration takes seconds from 1 to 7200, not " + value);
            drive.DurationSec = number;
        } else if (option == "--coolant") {
            if (std::isnan(number) || number < -30 || number > 110)
                return UsageError("--coolant takes degrees from -30 to 110, not " + value);
            drive.StartCoolantTemp = number;
        } else if (option == "--drive") {
            if (!DriveKindFromText(value, drive.Kind))
                return UsageError("--drive takes mixed, cruise or pulls, not " + value);
        } else if (option == "--lh") {
            if (value == "2.3")
                setup.LHVersion = TLHVersion::LH23;
            else if (value == "2.2")
                setup.LHVersion = TLHVersion::LH22;
            else
                return UsageError("--lh takes 2.3 or 2.2, not " + value);
        } else if (option == "--config") {
            setup.LHConfig = LHConfigFromText(value);
            if (setup.LHConfig == TLHConfig::Unset)
                return UsageError("--config takes MAF, HMAF, TPS or MAP, not " + value);
        } else if (option == "--ezk") {
            setup.EZKVersion = EZKVersionFromText(value);
            if (setup.EZKVersion == TEZKVersion::Unset)
                return UsageError("--ezk takes S4 or GT, not " + value);
        } else {
            return UsageError("unknown option " + option);
        }
    }
    if (!demoFolder.empty()) {
        std::string error;
        if (WriteDemoProject(PathOfText(demoFolder), error)) return 0;
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const TEngineModel model = MakeEngineModel(setup);
    if (printTrueMaps) {
        std::printf("true fuel map\n%sknock threshold\n%s", MapFileText(model.TrueFuel, 0).c_str(),
                    MapFileText(model.KnockThreshold, 2).c_str());
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (fuelPath.empty()) return UsageError("--fuel-map FUEL.txt is needed");
    if (ignitionPath.empty()) return UsageError("--ignition-map IGN.txt is needed");
    if (outPath.empty()) return UsageError("--out LOG.txt is needed");

    TMapGrid fuelMap{}, ignitionMap{};
    if (!ReadMapTextFile(PathOfText(fuelPath), TMapTextKind::LH, fuelMap)) return 1;
    if (!ReadMapTextFile(PathOfText(ignitionPath), TMapTextKind::EZK, ignitionMap)) return 1;
    const std::string log = SimulateDrive(model, fuelMap, ignitionMap, drive);
    std::ofstream file(PathOfText(outPath), std::ios::binary | std::ios::trunc);
    file << log;
    file.close();
    if (!file) {
        std::fprintf(stderr, "Cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}

}  // namespace kelvane::cli
