#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/adjust/FuelAdjustment.h"
#include "core/adjust/IgnitionAdjustment.h"
#include "core/ground/MissingValue.h"
#include "core/shell/LogOpening.h"
#include "core/simulate/DriveSimulation.h"
#include "core/state/DerivedData.h"
#include "core/state/KelvaneState.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// The wideband's noise and the smoothing leave a cell this many counts either way.
constexpr double NoiseCounts = 3;
constexpr TEngineSetup Lh23Maf{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};

fs::path WriteLog(const fs::path& folder, const std::string& name, const std::string& bytes) {
    const fs::path path = folder / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// Opens the logs as the command-line tool does and brings the derived data up to date.
std::unique_ptr<TKelvaneState> OpenDrives(const std::vector<fs::path>& paths, const TEngineSetup& setup,
                                          std::size_t* skipped = nullptr) {
    auto state = std::make_unique<TKelvaneState>();
    // The point filters at their defaults, as the command-line tool reads logs.
    state->Settings.ActiveFilters = TFilterSettings{};
    TOpenLogsOptions options;
    options.ChosenSetup = setup;
    const TOpenLogsResult result = OpenLogs(*state, paths, options);
    for (const auto& [path, file] : result.Files) {
        EXPECT_TRUE(file.Loaded) << path << ": " << file.Message;
        if (skipped) *skipped += file.Lines.Skipped();
    }
    UpdateDerivedData(*state, result.Changes);
    return state;
}

// Every combination of setup and drive gives a log the reader takes whole.
struct TLoadCase {
    TEngineSetup Setup;
    TDriveKind Kind;
    double Coolant;
};

class SimulatedLogLoads : public ::testing::TestWithParam<TLoadCase> {};

TEST_P(SimulatedLogLoads, EveryLineIsReadAndTheColumnsArePresent) {
    const TLoadCase& c = GetParam();
    const TEngineModel model = MakeEngineModel(c.Setup);
    TDriveOptions drive;
    drive.Seed = 7;
    drive.DurationSec = 120;
    drive.Kind = c.Kind;
    drive.StartCoolantTemp = c.Coolant;
    const std::string bytes = SimulateDrive(model, model.TrueFuel, model.SoundIgnition, drive);
    ASSERT_NE(bytes.find("\tIgn adv [\xB0]\t"), std::string::npos);
    ASSERT_NE(bytes.find("\tCoolant temp [\xB0"
                         "C]"),
              std::string::npos);
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);  // CR LF

    TTempFolder folder;
    std::size_t skipped = 0;
    const auto state = OpenDrives({WriteLog(folder.Path(), "Run1.txt", bytes)}, c.Setup, &skipped);
    EXPECT_EQ(skipped, 0u);
    const TLogData& data = state->Logs.Data;
    ASSERT_EQ(data.Count(), static_cast<std::size_t>(drive.DurationSec / LogIntervalSec));
    EXPECT_TRUE(data[0].AfrPresent);
    EXPECT_TRUE(data[0].O2Active) << "closed loop shows in the O2 column";
    EXPECT_NEAR(data[10].TimeSec, 1.0, 1e-9);
    for (const TLogDataEntry& entry : data.Entries) {
        ASSERT_NE(entry.Load, MissingValue);
        ASSERT_NE(entry.IgnAdvance, MissingValue);
        ASSERT_NE(entry.KnockRetard[3], MissingValue);
        ASSERT_GE(entry.KnockCount, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SetupsAndDrives, SimulatedLogLoads,
    ::testing::Values(TLoadCase{Lh23Maf, TDriveKind::Mixed, 85}, TLoadCase{Lh23Maf, TDriveKind::Pulls, 85},
                      TLoadCase{Lh23Maf, TDriveKind::Cruise, 15},
                      TLoadCase{
                          {TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::GT}, TDriveKind::Mixed, 85},
                      TLoadCase{{TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::S4}, TDriveKind::Mixed, 85},
                      TLoadCase{{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::GT}, TDriveKind::Mixed, 85}));

TEST(SimulatedCar, SameSeedSameBytesOtherSeedOtherDrive) {
    const TEngineModel model = MakeEngineModel(Lh23Maf);
    TDriveOptions drive;
    drive.DurationSec = 60;
    const std::string first = SimulateDrive(model, model.TrueFuel, model.SoundIgnition, drive);
    EXPECT_EQ(first, SimulateDrive(model, model.TrueFuel, model.SoundIgnition, drive));
    drive.Seed = 2;
    EXPECT_NE(first, SimulateDrive(model, model.TrueFuel, model.SoundIgnition, drive));
}

TEST(SimulatedCar, ColdStartWarmsUpRichInOpenLoop) {
    const TEngineModel model = MakeEngineModel(Lh23Maf);
    TDriveOptions drive;
    drive.DurationSec = 30;
    drive.StartCoolantTemp = 10;
    TTempFolder folder;
    const auto state =
        OpenDrives({WriteLog(folder.Path(), "Cold.txt",
                             SimulateDrive(model, model.TrueFuel, model.SoundIgnition, drive))},
                   Lh23Maf);
    const TLogDataEntry& last = state->Logs.Data.Entries.back();
    EXPECT_GT(last.CoolantTemp, 10);
    EXPECT_LT(last.Afr, 13.0) << "warm-up enrichment";
    EXPECT_EQ(last.O2Adjust, 0.0) << "no closed loop while cold";
}

// The EZK cell of a sample counts in every cell whose bounds hold it.
std::set<std::pair<int, int>> KnockCells(const TKelvaneState& state) {
    std::set<std::pair<int, int>> cells;
    const TMapAxes& axes = state.Axes;
    const TLogData& data = state.Logs.Data;
    for (std::size_t i = 1; i < data.Count(); ++i) {
        bool rose = false;
        for (int c = 0; c < 4; ++c) rose |= data[i].KnockRetard[c] > data[i - 1].KnockRetard[c];
        if (!rose) continue;
        for (int r = 0; r < MapSize; ++r)
            for (int l = 0; l < MapSize; ++l)
                if (axes.EZKRpmBounds[r] <= data[i].Rpm && data[i].Rpm <= axes.EZKRpmBounds[r + 1] &&
                    axes.EZKLoadBounds[l] <= data[i].Load && data[i].Load <= axes.EZKLoadBounds[l + 1])
                    cells.insert({r, l});
    }
    return cells;
}

// The LH grid points that gathered samples: each included sample counts for its nearest breakpoints.
std::set<std::pair<int, int>> FuelCellsWithData(const TKelvaneState& state) {
    std::map<std::pair<int, int>, int> counts;
    const auto nearest = [](const TMapAxis& axis, double value) {
        int best = 0;
        for (int k = 1; k < MapSize; ++k)
            if (std::abs(axis[k] - value) < std::abs(axis[best] - value)) best = k;
        return best;
    };
    for (const TLogDataEntry& entry : state.Logs.Data.Entries)
        if (entry.Included && entry.SmoothedAfr != MissingValue)
            ++counts[{nearest(state.Axes.LHRpm, entry.Rpm), nearest(state.Axes.LHLoad, entry.PlotMaf)}];
    std::set<std::pair<int, int>> cells;
    for (const auto& [cell, count] : counts)
        if (count >= 10) cells.insert(cell);
    return cells;
}

// Start lean in the middle and too advanced in three cells; adjust from the
// simulated logs, drive again with the updated maps, and so on.
TEST(SimulatedCar, AdjustmentsConvergeOnTheTrueMaps) {
    const TEngineModel model = MakeEngineModel(Lh23Maf);
    TMapGrid fuel = model.TrueFuel;
    for (int r = 4; r <= 11; ++r)
        for (int l = 4; l <= 10; ++l)
            fuel.At(r, l) = std::round(ScaleFuelValue(model.TrueFuel.At(r, l), 0.88));
    TMapGrid ignition = model.SoundIgnition;
    const std::vector<std::pair<int, int>> advanced{{7, 9}, {10, 6}, {12, 13}};
    for (const auto& [r, l] : advanced) ignition.At(r, l) += 4;
    const TMapGrid startIgnition = ignition;

    TTempFolder folder;
    const auto drive = [&](int iteration) {
        std::vector<fs::path> paths;
        const TDriveKind kinds[] = {TDriveKind::Mixed, TDriveKind::Cruise, TDriveKind::Pulls};
        for (int run = 0; run < 3; ++run) {
            TDriveOptions options;
            options.Seed = static_cast<std::uint64_t>(run + 1);  // the same route each time
            options.DurationSec = 240;
            options.Kind = kinds[run];
            const std::string name =
                "Iter" + std::to_string(iteration) + "Run" + std::to_string(run) + ".txt";
            paths.push_back(WriteLog(folder.Path(), name, SimulateDrive(model, fuel, ignition, options)));
        }
        return OpenDrives(paths, Lh23Maf);
    };

    const auto meanError = [&](const std::set<std::pair<int, int>>& cells, const TMapGrid& map) {
        double sum = 0;
        for (const auto& [r, l] : cells)
            sum += std::abs(OpenLoopAfr(model.TrueFuel.At(r, l), map.At(r, l)) - 14.7);
        return sum / static_cast<double>(cells.size());
    };

    std::set<std::pair<int, int>> everKnocked;
    std::set<std::pair<int, int>> firstKnocks;
    std::set<std::pair<int, int>> dataCells;
    double error = 0;
    for (int iteration = 0; iteration < 3; ++iteration) {
        auto state = drive(iteration);
        if (iteration == 0) dataCells = FuelCellsWithData(*state);
        ASSERT_GT(dataCells.size(), 40u);
        error = meanError(dataCells, fuel);
        std::printf("iteration %d: mean |AFR error| %.3f over %zu cells\n", iteration, error,
                    dataCells.size());

        // Fuel: once over the entire map with one target, as "kelvane-cli adjust-fuel".
        state->Fuel.Reference = fuel;
        state->Fuel.ReferenceLoaded = true;
        state->RecomputeAxes();
        state->Fuel.ResetAdjustments(state->Axes.FuelLimits);
        UpdateDerivedData(*state, {TChange::FuelMaps, TChange::Axes});
        TFuelAdjustment(*state).Adjust(WholeGrid, {false, 14.7});
        const TMapGrid updated = state->Fuel.Updated;
        int pushedNeighbours = 0;
        for (const auto& [r, l] : dataCells) {
            const double before = fuel.At(r, l) - model.TrueFuel.At(r, l);
            const double after = updated.At(r, l) - model.TrueFuel.At(r, l);
            // A cell that was off moves towards its true value, or stays within the
            // sensor's noise of where it was (a count is about 0.03 AFR). A cell that was right gets a share
            // of its wrong neighbours' samples through the interpolation, and is counted.
            if (std::abs(before) > 1) {
                EXPECT_LE(std::abs(after), std::abs(before) + NoiseCounts)
                    << "cell " << r << "," << l << ": " << before << " -> " << after;
            } else if (std::abs(after) > 1) {
                ++pushedNeighbours;
            }
        }
        std::printf("  cells already right but moved by more than a count: %d\n", pushedNeighbours);
        fuel = updated;

        // Ignition: the passes of "kelvane-cli adjust-ignition" with the default limits.
        const std::set<std::pair<int, int>> knocked = KnockCells(*state);
        if (iteration == 0) firstKnocks = knocked;
        everKnocked.insert(knocked.begin(), knocked.end());
        state->Ignition.Reference = ignition;
        state->Ignition.ReferenceLoaded = true;
        state->Ignition.ResetAdjustments();
        UpdateDerivedData(*state, TChange::IgnitionMaps);
        TIgnitionAdjustment adjustment(*state);
        const TIgnitionLimitsCheck limits = CheckIgnitionLimits("3", "1");
        ASSERT_TRUE(limits.Ok);
        if (adjustment.Start(WholeGrid, limits.Limits))
            while (adjustment.Running()) adjustment.RunPass();
        ignition = state->Ignition.Updated;
    }
    error = meanError(dataCells, fuel);
    std::printf("after 3 adjustments: mean |AFR error| %.3f\n", error);
    EXPECT_LT(error, 0.2);

    // Knock was there to find, and every advanced cell that knocked came down.
    EXPECT_FALSE(firstKnocks.empty());
    for (const auto& cell : advanced) {
        if (everKnocked.count(cell)) {
            EXPECT_LT(ignition.At(cell.first, cell.second), startIgnition.At(cell.first, cell.second));
        }
    }
    // Cells that never knocked keep their advance.
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l)
            if (!everKnocked.count({r, l})) {
                EXPECT_EQ(ignition.At(r, l), startIgnition.At(r, l)) << r << "," << l;
            }
    // The last maps drive without knock.
    const auto final = drive(3);
    EXPECT_TRUE(KnockCells(*final).empty());
    EXPECT_EQ(final->Logs.Data.Entries.back().KnockCount, 0);
}

}  // namespace
}  // namespace kelvane
