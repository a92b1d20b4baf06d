#pragma once

// What the save loop writes in generation n, shared by the helper program
// that saves and the test that kills it: each file tells its generation, so
// the test knows which bytes the file must hold.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/logdata/LogFileReader.h"
#include "core/maps/MapText.h"
#include "core/plot/LogExport.h"
#include "core/shell/Settings.h"

namespace kelvane::crash {

inline constexpr std::string_view MapFileName = "Updated (Run) fuel map.txt";
inline constexpr std::string_view ExportFileName = "Exported.txt";
inline constexpr std::string_view ExportSourceFolder = "source";  // the log the lines are exported from

// The generation in the first three cells, the rest a pattern that moves with it.
inline TMapGrid MapOf(long generation) {
    TMapGrid grid;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l)
            grid.At(r, l) = static_cast<double>((generation + r * 7 + l * 3) % 500);
    grid.At(0, 0) = static_cast<double>(generation / 1000000);
    grid.At(1, 0) = static_cast<double>(generation / 1000 % 1000);
    grid.At(2, 0) = static_cast<double>(generation % 1000);
    return grid;
}

inline long GenerationOfMap(const TMapGrid& grid) {
    return std::lround(grid.At(0, 0)) * 1000000 + std::lround(grid.At(1, 0)) * 1000 +
           std::lround(grid.At(2, 0));
}

inline std::string MapBytes(long generation) {
    return MapFileText(MapOf(generation), 0);
}

// The plot point size carries the generation.
inline TSettings SettingsOf(long generation) {
    TSettings settings;
    settings.PlotPointSize = static_cast<int>(2 + generation);
    settings.EngineSetup.LHConfig = generation % 2 ? TLHConfig::Map : TLHConfig::Maf;
    settings.StoredFilters.MaxAfr = 14.0 + static_cast<double>(generation % 40) / 10;
    return settings;
}

inline long GenerationOfSettings(const TSettings& settings) {
    return settings.PlotPointSize - 2;
}

inline std::vector<std::string> ExportLines(long generation) {
    return {"Time [s]\tRPM\tMAF signal\tA/F ratio", std::to_string(generation) + "\t900\t200\t14.7",
            std::to_string(generation) + ".1\t950\t210\t14.5"};
}

inline std::string ExportBytes(long generation) {
    std::string bytes;
    for (const std::string& line : ExportLines(generation)) bytes += line + "\r\n";
    return bytes;
}

// One generation of all three files, each through its own save.
inline bool SaveGeneration(const std::filesystem::path& folder, long generation) {
    bool ok = WriteLHMapText(folder / MapFileName, MapOf(generation), 0, TOverwrite::Replace).Ok;
    TSettingsStore store(folder);
    TSettings settings = SettingsOf(generation);
    ok &= SaveSettings(store, settings).Ok();
    // The lines come from a log loaded as the program loads one; it ends its lines in LF alone.
    const std::filesystem::path source = folder / ExportSourceFolder / "Run.txt";
    std::filesystem::create_directories(source.parent_path());
    {
        std::ofstream out(source, std::ios::binary | std::ios::trunc);
        for (const std::string& line : ExportLines(generation)) out << line << "\n";
    }
    TLogState logs;
    ok &= LoadLogFile(logs, source, {}).Loaded;
    TLogLines lines{TLogLine::HeaderOf(0)};
    for (const TLogDataEntry& e : logs.Data.Entries) lines.push_back(TLogLine::DataOf(e));
    std::string error;
    ok &= WriteLogLines(folder / ExportFileName, logs.Data, lines, error);
    return ok;
}

}  // namespace kelvane::crash
