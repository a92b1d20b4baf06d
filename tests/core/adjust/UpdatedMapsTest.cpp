#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/adjust/UpdatedMaps.h"
#include "core/maps/MapText.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

TMapGrid GridOf(double base) {
    TMapGrid grid{};
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) grid.At(r, l) = base + r + l;
    return grid;
}

// A state with a fuel map adjusted by 10 % and an ignition map advanced by 2 degrees.
TKelvaneState AdjustedState() {
    TKelvaneState state;
    state.Fuel.Reference = GridOf(20);
    state.Fuel.ReferenceLoaded = true;
    state.Fuel.Adjustments = FilledGrid(1.1);
    state.Fuel.RecomputeUpdated(state.Axes.FuelLimits);
    state.Fuel.AdjustmentsEdited = true;
    state.Ignition.Reference = GridOf(10);
    state.Ignition.ReferenceLoaded = true;
    state.Ignition.Adjustments = FilledGrid(2.0);
    state.Ignition.RecomputeUpdated();
    state.Ignition.AdjustmentsEdited = true;
    return state;
}

TEST(UpdatedMapsTest, NamesFollowTheReferenceFile) {
    struct TCase {
        const char* Reference;
        const char* Fuel;
        const char* Ignition;
    };
    const TCase cases[] = {
        {"", "Updated fuel map.txt", "Updated Ign map.txt"},
        {"/maps/stock.bin", "Updated (stock) fuel map.txt", "Updated (stock) Ign map.txt"},
        {"/maps/stock.data", "Updated (stock.data) fuel map.txt", "Updated (stock.data) Ign map.txt"},
        {"/maps/my.map.t", "Updated (my.map) fuel map.txt", "Updated (my.map) Ign map.txt"},
        {"/s/Base fuel map.txt", "Updated (Base fuel map) fuel map.txt",
         "Updated (Base fuel map) Ign map.txt"},
        {"/maps/noext", "Updated (noext) fuel map.txt", "Updated (noext) Ign map.txt"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Reference);
        EXPECT_EQ(UpdatedFuelMapName(c.Reference), c.Fuel);
        EXPECT_EQ(UpdatedIgnitionMapName(c.Reference), c.Ignition);
    }
}

TEST(UpdatedMapsTest, SessionFolderNeedsProjectAndSession) {
    TSettings settings;
    EXPECT_TRUE(SessionFolder(settings).empty());
    settings.ProjectFolder = "/p/proj/";
    EXPECT_TRUE(SessionFolder(settings).empty());
    settings.SessionName = "Run day";
    EXPECT_EQ(SessionFolder(settings), std::filesystem::path("/p/proj/Run day/"));
    settings.ProjectFolder.clear();
    EXPECT_TRUE(SessionFolder(settings).empty());
}

TEST(UpdatedMapsTest, SavesEditedMapsWithCountersAndClearsFlags) {
    TTempFolder folder;
    TKelvaneState state = AdjustedState();
    state.Fuel.ReferencePath = folder.Path() / "Base fuel map.txt";

    TMapSaveResult first = SaveUpdatedMaps(state, folder.Path());
    ASSERT_TRUE(first.Ok());
    ASSERT_EQ(first.Written.size(), 2u);
    EXPECT_EQ(first.Written[0], folder.Path() / "Updated (Base fuel map) fuel map.txt");
    EXPECT_EQ(first.Written[1], folder.Path() / "Updated Ign map.txt");
    EXPECT_FALSE(state.Fuel.AdjustmentsEdited);
    EXPECT_FALSE(state.Ignition.AdjustmentsEdited);

    TMapGrid fuel{};
    ASSERT_TRUE(ReadLHMapText(first.Written[0], fuel));
    EXPECT_EQ(fuel, state.Fuel.Updated);
    TMapGrid ignition{};
    ASSERT_TRUE(ReadEZKMapText(first.Written[1], ignition));
    EXPECT_EQ(ignition, state.Ignition.Updated);

    // Nothing edited: nothing written.
    EXPECT_TRUE(SaveUpdatedMaps(state, folder.Path()).Written.empty());

    // Each later save of a changed fuel map gets the next counter; the ignition map is not edited.
    double factor = 1.0;
    for (const char* expected :
         {"Updated (Base fuel map) fuel map(2).txt", "Updated (Base fuel map) fuel map(3).txt"}) {
        factor -= 0.05;
        state.Fuel.Adjustments.At(3, 3) = factor;
        state.Fuel.RecomputeUpdated(state.Axes.FuelLimits);
        state.Fuel.AdjustmentsEdited = true;
        const TMapSaveResult next = SaveUpdatedMaps(state, folder.Path());
        ASSERT_EQ(next.Written.size(), 1u);
        EXPECT_EQ(next.Written[0], folder.Path() / expected);
    }
}

TEST(UpdatedMapsTest, FailedWriteKeepsTheFlagAndNamesTheFile) {
    TTempFolder folder;
    TKelvaneState state = AdjustedState();
    state.Ignition.AdjustmentsEdited = false;
    const std::filesystem::path missing = folder.Path() / "gone";

    const TMapSaveResult save = SaveUpdatedMaps(state, missing);
    EXPECT_FALSE(save.Ok());
    EXPECT_TRUE(save.Written.empty());
    ASSERT_EQ(save.Errors.size(), 1u);
    EXPECT_NE(save.Errors[0].find((missing / "Updated fuel map.txt").string()), std::string::npos)
        << save.Errors[0];
    EXPECT_NE(save.Errors[0].find("No such file"), std::string::npos) << save.Errors[0];
    EXPECT_TRUE(state.Fuel.AdjustmentsEdited);
}

TEST(UpdatedMapsTest, BaseMapsWrittenOnlyForMapsWithoutAFile) {
    TTempFolder folder;
    TKelvaneState state = AdjustedState();
    state.Ignition.ReferencePath = "/maps/ezk.bin";

    const TMapSaveResult save = SaveBaseMaps(state, folder.Path());
    ASSERT_TRUE(save.Ok());
    ASSERT_EQ(save.Written.size(), 1u);
    EXPECT_EQ(state.Fuel.ReferencePath, folder.Path() / "Base fuel map.txt");
    EXPECT_EQ(state.Ignition.ReferencePath, std::filesystem::path("/maps/ezk.bin"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Base EZK map.txt"));
    TMapGrid read{};
    ASSERT_TRUE(ReadLHMapText(folder.Path() / "Base fuel map.txt", read));
    EXPECT_EQ(read, state.Fuel.Reference);

    // Now it has a file: a second close writes nothing.
    EXPECT_TRUE(SaveBaseMaps(state, folder.Path()).Written.empty());

    // A map never loaded gives no base file.
    TKelvaneState empty;
    EXPECT_TRUE(SaveBaseMaps(empty, folder.Path()).Written.empty());
}

TEST(UpdatedMapsTest, BaseMapBesideAnotherKeepsItAndTakesTheNextName) {
    TTempFolder folder;
    TKelvaneState state = AdjustedState();
    // An earlier reference, with updated maps made from it, is already the session's base map.
    WriteText(folder.Path() / "Base fuel map.txt", "earlier reference\r\n");

    const TMapSaveResult save = SaveBaseMaps(state, folder.Path());
    ASSERT_TRUE(save.Ok());
    const std::filesystem::path second = folder.Path() / "Base fuel map(2).txt";
    EXPECT_EQ(ReadText(folder.Path() / "Base fuel map.txt"), "earlier reference\r\n");
    EXPECT_EQ(state.Fuel.ReferencePath, second);
    TMapGrid read{};
    ASSERT_TRUE(ReadLHMapText(second, read));
    EXPECT_EQ(read, state.Fuel.Reference);
    EXPECT_EQ(UpdatedFuelMapName(state.Fuel.ReferencePath), "Updated (Base fuel map(2)) fuel map.txt");

    // The same reference in a later session of the same folder reuses the file of equal contents.
    TKelvaneState again = AdjustedState();
    ASSERT_TRUE(SaveBaseMaps(again, folder.Path()).Ok());
    EXPECT_EQ(again.Fuel.ReferencePath, second);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Base fuel map(3).txt"));
}

TEST(UpdatedMapsTest, BaseMapThatCannotBeWrittenKeepsNoPath) {
    TTempFolder folder;
    TKelvaneState state = AdjustedState();
    const std::filesystem::path gone = folder.Path() / "gone";

    const TMapSaveResult save = SaveBaseMaps(state, gone);
    ASSERT_EQ(save.Errors.size(), 2u);
    EXPECT_NE(save.Errors[0].find((gone / "Base fuel map.txt").string()), std::string::npos);
    EXPECT_NE(save.Errors[1].find((gone / "Base EZK map.txt").string()), std::string::npos);
    EXPECT_NE(save.Errors[1].find("No such file"), std::string::npos) << save.Errors[1];
    EXPECT_TRUE(state.Fuel.ReferencePath.empty());
    EXPECT_TRUE(state.Ignition.ReferencePath.empty());
}

TEST(UpdatedMapsTest, PromptTextNamesTheEditedMaps) {
    struct TCase {
        bool Fuel, Ignition;
        const char* Text;
    };
    const TCase cases[] = {
        {false, false, ""},
        {true, false, "LH fuel map has been adjusted. Do you want to save changes?"},
        {false, true, "EZK igntion map has been adjusted. Do you want to save changes?"},
        {true, true, "LH and EZK maps have been adjusted. Do you want to save changes?"},
    };
    for (const TCase& c : cases) {
        TKelvaneState state;
        state.Settings.ProjectFolder = "/p/";
        state.Settings.SessionName = "s";
        state.Fuel.ReferenceLoaded = true;
        state.Ignition.ReferenceLoaded = true;
        state.Fuel.AdjustmentsEdited = c.Fuel;
        state.Ignition.AdjustmentsEdited = c.Ignition;
        EXPECT_EQ(SavePromptText(state), c.Text);
        // Without a session folder the work is no less at stake.
        state.Settings.SessionName.clear();
        EXPECT_EQ(SavePromptText(state), c.Text);
    }
}

// Adjustments over no reference (a session without maps) are no map of the
// car's: nothing is asked about them and nothing is written.
TEST(UpdatedMapsTest, ASetWithoutItsReferenceIsNeitherAskedAboutNorSaved) {
    struct TCase {
        bool FuelLoaded, IgnitionLoaded;
        const char* Text;
        std::vector<std::string> Written;
    };
    const TCase cases[] = {
        {false, false, "", {}},
        {true,
         false,
         "LH fuel map has been adjusted. Do you want to save changes?",
         {"Updated fuel map.txt"}},
        {false,
         true,
         "EZK igntion map has been adjusted. Do you want to save changes?",
         {"Updated Ign map.txt"}},
    };
    for (const TCase& c : cases) {
        TTempFolder folder;
        TKelvaneState state = AdjustedState();
        state.Fuel.ReferenceLoaded = c.FuelLoaded;
        state.Ignition.ReferenceLoaded = c.IgnitionLoaded;
        EXPECT_EQ(SavePromptText(state), c.Text);
        EXPECT_EQ(UpdatedMapsToSave(state), c.FuelLoaded || c.IgnitionLoaded);

        const TMapSaveResult saved = SaveUpdatedMaps(state, folder.Path());
        std::vector<std::string> written;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            written.push_back(entry.path().filename().string());
        EXPECT_EQ(written, c.Written);
        EXPECT_EQ(saved.Written.size(), c.Written.size());
    }
}

TEST(UpdatedMapsTest, DiscardAndResetReturnTheUpdatedMapsToTheReference) {
    TKelvaneState state = AdjustedState();
    DiscardAdjustments(state);
    EXPECT_EQ(state.Fuel.Adjustments, FilledGrid(1.0));
    EXPECT_EQ(state.Fuel.Updated, state.Fuel.Reference);
    EXPECT_EQ(state.Ignition.Adjustments, FilledGrid(0.0));
    EXPECT_EQ(state.Ignition.Updated, state.Ignition.Reference);
    EXPECT_FALSE(state.Fuel.AdjustmentsEdited);
    EXPECT_FALSE(state.Ignition.AdjustmentsEdited);

    // Discard leaves an unedited set alone (its adjustments came from a saved map).
    state = AdjustedState();
    state.Ignition.AdjustmentsEdited = false;
    DiscardAdjustments(state);
    EXPECT_EQ(state.Ignition.Adjustments, FilledGrid(2.0));

    state = AdjustedState();
    ResetFuelAdjustment(state);
    EXPECT_EQ(state.Fuel.Updated, state.Fuel.Reference);
    EXPECT_FALSE(state.Fuel.AdjustmentsEdited);
    EXPECT_TRUE(state.Ignition.AdjustmentsEdited);

    state.Setup().LHVersion = TLHVersion::LH22;
    EXPECT_FALSE(ResetIgnitionAdjustment(state));
    EXPECT_EQ(state.Ignition.Adjustments, FilledGrid(2.0));
    EXPECT_TRUE(state.Ignition.AdjustmentsEdited);
    state.Setup().LHVersion = TLHVersion::LH23;
    EXPECT_TRUE(ResetIgnitionAdjustment(state));
    EXPECT_EQ(state.Ignition.Updated, state.Ignition.Reference);
    EXPECT_FALSE(state.Ignition.AdjustmentsEdited);
}

}  // namespace
}  // namespace kelvane
