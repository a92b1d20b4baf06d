#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "core/maps/BinEZKImage.h"
#include "core/maps/BinLHImage.h"
#include "core/maps/MapAxes.h"
#include "core/maps/MapText.h"
#include "core/projects/ProjectFolders.h"
#include "core/shell/LogOpening.h"
#include "core/simulate/DemoProject.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

const fs::path DemoFolder = fs::path(KELVANE_FIXTURES) / ".." / ".." / "examples" / "demo-project";

std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(DemoProject, IsAProjectOfTwoSessionsWithThreeRunsAndTheirMaps) {
    ASSERT_TRUE(IsProjectFolder(DemoFolder)) << DemoFolder;
    const std::vector<std::string> sessions = SessionNames(DemoFolder);
    ASSERT_EQ(sessions, (std::vector<std::string>{"2026-05-02", "2026-05-09"}));
    for (const std::string& session : sessions) {
        const fs::path folder = SessionPath(DemoFolder, session);
        EXPECT_EQ(SessionLogNames(folder), (std::vector<std::string>{"Run01.txt", "Run02.txt", "Run03.txt"}));
        EXPECT_TRUE(IsLHMapText(folder / "base fuel map.txt"));
        EXPECT_TRUE(IsEZKMapText(folder / "base EZK map.txt"));

        TKelvaneState state;
        std::vector<fs::path> runs;
        for (const std::string& name : SessionLogNames(folder)) runs.push_back(folder / name);
        TOpenLogsOptions options;
        options.ChosenSetup = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};
        const TOpenLogsResult result = OpenLogs(state, runs, options);
        ASSERT_EQ(result.Files.size(), 3u);
        for (const auto& [path, file] : result.Files) {
            EXPECT_TRUE(file.Loaded) << path;
            EXPECT_GT(file.SamplesAdded, 500u) << path;
            EXPECT_EQ(file.Lines.Skipped(), 0u) << path;
        }
    }
}

TEST(DemoProject, TheBinImagesHoldTheBaseMapsOverTheirAxes) {
    const fs::path session = DemoFolder / "2026-05-02";
    TMapGrid fuelText{}, ignitionText{};
    ASSERT_TRUE(ReadLHMapText(session / "base fuel map.txt", fuelText));
    ASSERT_TRUE(ReadEZKMapText(session / "base EZK map.txt", ignitionText));

    ASSERT_TRUE(TLHbinFile::IsLHbinFile(session / "LH base.bin"));
    const TLHbinFile lh(session / "LH base.bin");
    TMapGrid fuel{};
    ASSERT_TRUE(lh.ReadMap(TLHMapSource::Cat, fuel));
    EXPECT_EQ(fuel, fuelText);
    EXPECT_TRUE(lh.CatMapInUse());
    EXPECT_EQ(lh.LoadSensor(), TLHLoadSensor::Maf);
    EXPECT_EQ(lh.LoadAxis(), AxisTables::LH23LoadMaf);
    const auto lhRpm = lh.RpmAxis();
    ASSERT_TRUE(lhRpm);
    for (int i = 0; i < MapSize; ++i)
        EXPECT_NEAR((*lhRpm)[i], AxisTables::LH23Rpm[i], 0.04 * AxisTables::LH23Rpm[i]) << i;

    ASSERT_TRUE(TEZKbinFile::IsEZKbinFile(session / "EZK base.bin"));
    const TEZKbinFile ezk(session / "EZK base.bin");
    TMapGrid ignition{};
    ASSERT_TRUE(ezk.ReadMap(TEZKMapSource::Cat98, ignition));
    for (int i = 0; i < MapSize * MapSize; ++i)
        EXPECT_NEAR(ignition.Values[i], ignitionText.Values[i], 0.25) << i;
    const auto ezkRpm = ezk.RpmAxis();
    ASSERT_TRUE(ezkRpm);
    for (int i = 0; i < MapSize; ++i)
        EXPECT_NEAR((*ezkRpm)[i], AxisTables::EZKRpmS4[i], 0.02 * AxisTables::EZKRpmS4[i]) << i;
}

TEST(DemoProject, TheGeneratorMakesTheStoredFilesByteForByte) {
    std::set<std::string> stored;
    for (const auto& entry : fs::recursive_directory_iterator(DemoFolder))
        if (entry.is_regular_file()) stored.insert(fs::relative(entry.path(), DemoFolder).generic_string());
    std::set<std::string> made;
    for (const TDemoFile& file : DemoProjectFiles()) {
        made.insert(file.RelativePath);
        EXPECT_TRUE(file.Bytes == ReadBytes(DemoFolder / file.RelativePath))
            << file.RelativePath << " differs: run scripts/make-demo";
    }
    EXPECT_EQ(made, stored);
}

}  // namespace
}  // namespace kelvane
