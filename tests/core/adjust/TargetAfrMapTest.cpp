#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/adjust/TargetAfrMap.h"
#include "core/maps/MapText.h"
#include "core/shell/TargetAfrMapHooks.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

TMapGrid Ramp() {
    TMapGrid map;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) map.At(r, l) = 11.0 + 0.5 * ((l + r) % 8);  // exact in one decimal
    return map;
}

TEST(TargetAfrMapTest, StartUpReadsTheCommonFolderOrFallsBackToTheDefaultRows) {
    TTempFolder root;
    const auto file = root.Path() / "TargetAFRmap.txt";
    const TMapGrid ramp = Ramp();
    // 15 good lines are not a map: every row falls back, none is half read.
    std::string shortText = MapFileText(ramp, 1);
    shortText.erase(shortText.rfind("\r\n", shortText.size() - 3) + 2);
    struct TCase {
        const char* Name;
        const char* Text;  // nullptr: no file
        bool ReadsRamp;
    };
    const std::string fullText = MapFileText(ramp, 1);
    const TCase cases[] = {{"no file", nullptr, false},
                           {"15 lines", shortText.c_str(), false},
                           {"whole map", fullText.c_str(), true}};
    for (const TCase& c : cases) {
        std::filesystem::remove(file);
        if (c.Text) WriteText(file, c.Text);
        TFuelMapSet fuel;
        fuel.TargetAfr.Fill(9.9);
        fuel.TargetEdited = true;
        LoadStartupTargetAfrMap(root.Path(), fuel);
        EXPECT_EQ(fuel.TargetAfr, c.ReadsRamp ? ramp : DefaultTargetAfrMap()) << c.Name;
        EXPECT_FALSE(fuel.TargetEdited) << c.Name;
    }
    EXPECT_EQ(DefaultTargetAfrMap().At(7, 5), 14.5);
    EXPECT_EQ(DefaultTargetAfrMap().At(0, 15), 12.5);
}

TEST(TargetAfrMapTest, SettingsSaveAndLoadUseTheStateMapInOnePlace) {
    TTempFolder root;
    const auto project = root.Path() / "Projects" / "Volvo";
    std::filesystem::create_directories(project);
    for (const bool withProject : {false, true}) {
        TSettingsStore store(root.Path());
        TKelvaneState state;
        if (withProject) {
            state.Settings.ProjectFolder = project;
            state.Settings.ProjectName = "Volvo";
        }
        const auto file = (withProject ? project : root.Path()) / "TargetAFRmap.txt";
        const TSettingsHooks hooks = TargetAfrMapHooks(state);

        // Not edited: nothing written.
        std::filesystem::remove(file);
        ASSERT_TRUE(SaveSettings(store, state.Settings, hooks).Ok());
        EXPECT_FALSE(std::filesystem::exists(file));

        state.Fuel.TargetAfr = Ramp();
        state.Fuel.TargetEdited = true;
        ASSERT_TRUE(SaveSettings(store, state.Settings, hooks).Ok());
        EXPECT_FALSE(state.Fuel.TargetEdited);
        EXPECT_EQ(ReadText(file), MapFileText(Ramp(), 1));

        state.Fuel.TargetAfr.Fill(0);
        state.Fuel.TargetEdited = true;
        LoadSettings(store, state.Settings, withProject ? TSettingsLoad::Project : TSettingsLoad::Startup,
                     hooks);
        EXPECT_EQ(state.Fuel.TargetAfr, Ramp());
        EXPECT_FALSE(state.Fuel.TargetEdited);

        // A file that cannot be read leaves the map as it was.
        std::filesystem::remove(file);
        state.Fuel.TargetAfr.Fill(13.1);
        LoadSettings(store, state.Settings, withProject ? TSettingsLoad::Project : TSettingsLoad::Startup,
                     hooks);
        EXPECT_EQ(state.Fuel.TargetAfr.At(4, 9), 13.1);
    }
}

TEST(TargetAfrMapTest, FailedWriteKeepsTheEditMarkedAndTheOldFile) {
    TTempFolder root;
    TSettingsStore store(root.Path());
    TKelvaneState state;
    // A folder in the way of the file: it cannot be written.
    std::filesystem::create_directory(root.Path() / "TargetAFRmap.txt");
    state.Fuel.TargetAfr = Ramp();
    state.Fuel.TargetEdited = true;
    const TWriteFailures failures = SaveSettings(store, state.Settings, TargetAfrMapHooks(state));
    ASSERT_EQ(failures.Messages().size(), 1u);
    EXPECT_EQ(failures.Messages()[0].rfind((root.Path() / "TargetAFRmap.txt").string() + ": ", 0), 0u);
    EXPECT_TRUE(state.Fuel.TargetEdited);
    EXPECT_EQ(state.Fuel.TargetAfr, Ramp());
}

}  // namespace
}  // namespace kelvane
