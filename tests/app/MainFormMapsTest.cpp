#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <filesystem>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"
#include "core/maps/MapText.h"
#include "support/BinTestImages.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

const char* const FuelQuestion = "LH fuel map has been adjusted. Do you want to save changes?";

QString FromPath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

TMapGrid GridOf(double base) {
    TMapGrid grid{};
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) grid.At(r, l) = base + r + l;
    return grid;
}

// A main window on a temporary data folder, with a fuel map from the
// clipboard (so no file yet) adjusted by 5 %.
struct TMapsFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

    TMapsFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        TFuelMapSet& fuel = State().Fuel;
        fuel.Reference = GridOf(10);
        fuel.ReferenceLoaded = true;
        fuel.Adjustments = FilledGrid(1.05);
        fuel.RecomputeUpdated(State().Axes.FuelLimits);
        fuel.AdjustmentsEdited = true;
        Form->Document().Apply(TChange::FuelMaps);
    }

    TKelvaneState& State() { return Form->State(); }

    // Project folder + session "Day 1"; the folder is made when asked.
    fs::path UseSession(bool create = true) {
        State().Settings.ProjectFolder = Folder.Path() / "project" / "";
        State().Settings.SessionName = "Day 1";
        const fs::path session = Folder.Path() / "project" / "Day 1";
        if (create) fs::create_directories(session);
        return session;
    }

    std::vector<TPromptCall> Errors() const {
        std::vector<TPromptCall> errors;
        for (const TPromptCall& call : Prompts.Calls)
            if (call.Kind == TPromptKind::Error) errors.push_back(call);
        return errors;
    }
};

TEST(MainFormMapsTest, SaveMapsWritesIntoTheSessionFolderWithoutAsking) {
    TMapsFixture f;
    const fs::path session = f.UseSession();
    f.Form->SaveMaps1()->trigger();

    EXPECT_TRUE(f.Prompts.Calls.empty());
    TMapGrid written{};
    ASSERT_TRUE(ReadLHMapText(session / "Updated fuel map.txt", written));
    EXPECT_EQ(written, f.State().Fuel.Updated);
    EXPECT_FALSE(f.State().Fuel.AdjustmentsEdited);

    // Both flags clear: closing the plot asks nothing, and only the base map is written.
    f.Form->ClosePlot();
    EXPECT_TRUE(f.Prompts.Calls.empty());
    EXPECT_TRUE(fs::exists(session / "Base fuel map.txt"));
    EXPECT_FALSE(fs::exists(session / "Updated fuel map(2).txt"));
}

TEST(MainFormMapsTest, SaveMapsWithoutSessionAsksForAFolder) {
    TMapsFixture f;
    const fs::path chosen = f.Folder.Path() / "chosen";
    fs::create_directories(chosen);
    f.Prompts.Then(TFakeAnswer::Folder(FromPath(chosen)));

    f.Form->SaveMaps1()->trigger();

    ASSERT_EQ(f.Prompts.Calls.size(), 1u);
    EXPECT_EQ(f.Prompts.Calls[0].Kind, TPromptKind::BrowseFolder);
    EXPECT_TRUE(fs::exists(chosen / "Updated fuel map.txt"));
    EXPECT_FALSE(f.State().Fuel.AdjustmentsEdited);
}

TEST(MainFormMapsTest, CancelledFolderDialogWritesNothing) {
    TMapsFixture f;
    f.Prompts.Then(TFakeAnswer::Cancel(TPromptKind::BrowseFolder));
    const fs::path working = fs::current_path();
    const bool strayBefore = fs::exists(working / "Updated fuel map.txt");

    f.Form->SaveMaps1()->trigger();

    ASSERT_EQ(f.Prompts.Calls.size(), 1u);
    EXPECT_EQ(fs::exists(working / "Updated fuel map.txt"), strayBefore);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
}

TEST(MainFormMapsTest, ClosePromptYesSavesAndNoDiscards) {
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        TMapsFixture f;
        const fs::path session = f.UseSession();
        f.Prompts.Then(TFakeAnswer::Choose(yes ? TPromptAnswer::Yes : TPromptAnswer::No));

        f.Form->ClosePlot();

        ASSERT_EQ(f.Prompts.Calls.size(), 1u);
        EXPECT_EQ(f.Prompts.Calls[0].Kind, TPromptKind::YesNoCancel);
        EXPECT_EQ(f.Prompts.Calls[0].Text, QString::fromUtf8(FuelQuestion));
        EXPECT_EQ(fs::exists(session / "Updated fuel map.txt"), yes);
        EXPECT_FALSE(f.State().Fuel.AdjustmentsEdited);
        if (!yes) {
            EXPECT_EQ(f.State().Fuel.Adjustments, FilledGrid(1.0));
        }
        // The base map follows either answer, and is now the reference's file.
        EXPECT_TRUE(fs::exists(session / "Base fuel map.txt"));
        EXPECT_EQ(f.State().Fuel.ReferencePath, session / "Base fuel map.txt");
        EXPECT_TRUE(f.State().Settings.SessionName.empty());
    }
}

TEST(MainFormMapsTest, ClosingTheProgramAsksBeforeTheMapsAreLost) {
    TMapsFixture f;
    const fs::path session = f.UseSession();
    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::Yes));

    f.Form->close();

    ASSERT_EQ(f.Prompts.Calls.size(), 1u);
    EXPECT_EQ(f.Prompts.Calls[0].Text, QString::fromUtf8(FuelQuestion));
    EXPECT_TRUE(fs::exists(session / "Updated fuel map.txt"));
}

TEST(MainFormMapsTest, CancelKeepsThePlotAndItsAdjustments) {
    TMapsFixture f;
    f.UseSession();
    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::Cancel));

    f.Form->NewPlot1()->trigger();

    ASSERT_EQ(f.Prompts.Calls.size(), 1u);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
    EXPECT_TRUE(f.State().Fuel.ReferenceLoaded);
    EXPECT_EQ(f.State().Fuel.Adjustments, FilledGrid(1.05));
    EXPECT_EQ(f.State().Settings.SessionName, "Day 1");
}

TEST(MainFormMapsTest, BaseMapThatCannotBeWrittenIsReportedAndKeepsNoFile) {
    TMapsFixture f;
    const fs::path session = f.UseSession(false);  // the session folder is gone
    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::No));

    EXPECT_TRUE(f.Form->ClosePlot());

    const std::vector<TPromptCall> errors = f.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].Text.contains(FromPath(session / "Base fuel map.txt")))
        << errors[0].Text.toStdString();
    EXPECT_TRUE(errors[0].Text.contains(QStringLiteral("No such file"))) << errors[0].Text.toStdString();
    EXPECT_TRUE(f.State().Fuel.ReferencePath.empty());
}

TEST(MainFormMapsTest, BaseMapNeverReplacesAnotherOne) {
    TMapsFixture f;
    const fs::path session = f.UseSession();
    WriteText(session / "Base fuel map.txt", "the map of an earlier close\r\n");
    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::Yes));

    f.Form->ClosePlot();

    EXPECT_TRUE(f.Errors().empty());
    EXPECT_EQ(ReadText(session / "Base fuel map.txt"), "the map of an earlier close\r\n");
    EXPECT_EQ(f.State().Fuel.ReferencePath, session / "Base fuel map(2).txt");
    TMapGrid written{};
    ASSERT_TRUE(ReadLHMapText(session / "Base fuel map(2).txt", written));
    EXPECT_EQ(written, f.State().Fuel.Reference);
    EXPECT_TRUE(fs::exists(session / "Updated fuel map.txt"));
}

TEST(MainFormMapsTest, FailedSaveMapsKeepsTheAdjustmentsEdited) {
    TMapsFixture f;
    const fs::path session = f.UseSession(false);  // the session folder is gone

    f.Form->SaveMaps1()->trigger();

    const std::vector<TPromptCall> errors = f.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].Text.contains(FromPath(session / "Updated fuel map.txt")))
        << errors[0].Text.toStdString();
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
}

TEST(MainFormMapsTest, MapsThatCouldNotBeSavedKeepThePlotAndTheProgramOpen) {
    TMapsFixture f;
    f.UseSession(false);  // Yes is answered, but the session folder is gone
    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::Yes));
    f.Prompts.Then(TFakeAnswer::Choose(TPromptAnswer::Yes));
    f.Form->show();

    f.Form->NewPlot1()->trigger();
    EXPECT_EQ(f.Errors().size(), 1u);
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
    EXPECT_TRUE(f.State().Fuel.ReferenceLoaded);  // the maps were not cleared
    EXPECT_EQ(f.State().Settings.SessionName, "Day 1");

    EXPECT_FALSE(f.Form->close());
    EXPECT_TRUE(f.Form->isVisible());
    EXPECT_TRUE(f.State().Fuel.AdjustmentsEdited);
}

TEST(MainFormMapsTest, ResetCommandsReturnTheUpdatedMapsToTheReference) {
    TMapsFixture f;
    TIgnitionMapSet& ignition = f.State().Ignition;
    ignition.Reference = GridOf(5);
    ignition.Adjustments = FilledGrid(1.5);
    ignition.RecomputeUpdated();
    ignition.AdjustmentsEdited = true;
    f.Form->Document().Apply(TChange::IgnitionMaps);

    f.Form->ResetFuelMapAdjustment1()->trigger();
    EXPECT_EQ(f.State().Fuel.Updated, f.State().Fuel.Reference);
    EXPECT_FALSE(f.State().Fuel.AdjustmentsEdited);

    f.State().Setup().LHVersion = TLHVersion::LH22;
    f.Form->ResetIgntionmadadjustment1()->trigger();
    EXPECT_TRUE(ignition.AdjustmentsEdited) << "LH 2.2 has no ignition features";
    f.State().Setup().LHVersion = TLHVersion::LH23;
    f.Form->ResetIgntionmadadjustment1()->trigger();
    EXPECT_EQ(ignition.Updated, ignition.Reference);
    EXPECT_FALSE(ignition.AdjustmentsEdited);
    EXPECT_EQ(f.Form->ResetIgntionmadadjustment1()->text(), QStringLiteral("R&eset Igntion Map Adjustment"));
    EXPECT_EQ(f.Form->ResetFuelMapAdjustment1()->text(), QStringLiteral("&Reset Fuel Map Adjustment"));
    EXPECT_EQ(f.Form->SaveMaps1()->text(), QStringLiteral("&Save Maps"));
}

TEST(MainFormMapsTest, ViewOptionsToggleAndFollowTheStateWhenTheMenuOpens) {
    TMapsFixture f;
    TDisplayOptions& display = f.State().Display;
    QAction* include = f.Form->UseAdjustments1();
    QAction* knocks = f.Form->ShowKnocks1();
    QAction* scale = f.Form->AFRScale1();
    EXPECT_TRUE(include->isChecked());
    EXPECT_TRUE(knocks->isChecked());

    include->trigger();
    EXPECT_FALSE(display.IncludeAdjustments);
    knocks->trigger();
    EXPECT_FALSE(display.ShowKnocks);
    const bool scaleBefore = f.Form->PlotDisplay().ShowAfrScale;
    scale->trigger();
    EXPECT_NE(f.Form->PlotDisplay().ShowAfrScale, scaleBefore);

    // State changed elsewhere: the menu catches up when it opens.
    display.IncludeAdjustments = true;
    display.ShowKnocks = true;
    f.State().Setup().LHVersion = TLHVersion::LH22;
    emit f.Form->ViewMenu()->aboutToShow();
    EXPECT_TRUE(include->isChecked());
    EXPECT_FALSE(knocks->isChecked());
    EXPECT_FALSE(knocks->isEnabled());
    EXPECT_EQ(scale->isChecked(), f.Form->PlotDisplay().ShowAfrScale);
    EXPECT_EQ(knocks->text(), QStringLiteral("Show &Knocks on fuel plot"));
    EXPECT_EQ(scale->text(), QStringLiteral("Show AFR &Scale"));
}

// The bin options dialog is asked through the prompts like every other question;
// a refused file then leaves the image the user already had.
TEST(MainFormMapsTest, LoadMapFileAsksWhichBinMapAndKeepsTheImageAfterABadFile) {
    TMapsFixture f;
    const fs::path image = f.Folder.Path() / "ign.bin";
    testing::WriteBytes(image, testing::MakeEZKImage());
    f.Prompts.BinChoices.push_back(TBinMapChoice::Cat);
    f.Prompts.Then(TFakeAnswer::Open({FromPath(image)}, 2));
    f.Form->LoadMapFile1()->trigger();

    ASSERT_EQ(f.Prompts.BinMapsAsked.size(), 1u);
    EXPECT_EQ(f.Prompts.BinMapsAsked[0].first, TBinDialogKind::EZK);
    EXPECT_TRUE(f.State().Ignition.ReferenceLoaded);
    EXPECT_EQ(f.State().Ignition.Source, TEZKMapSource::Cat98);
    const TEZKbinFile* loaded = f.State().EZKImage.Get();
    ASSERT_NE(loaded, nullptr);

    const fs::path broken = f.Folder.Path() / "broken.bin";
    WriteText(broken, std::string(100, '\0'));
    f.Prompts.Then(TFakeAnswer::Open({FromPath(broken)}, 2));
    f.Form->LoadMapFile1()->trigger();

    const std::vector<TPromptCall> errors = f.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Text, QStringLiteral("File \"broken.bin\" is not a valid Vortrix bin-file."));
    EXPECT_EQ(f.State().EZKImage.Get(), loaded);
    EXPECT_EQ(f.State().Ignition.Source, TEZKMapSource::Cat98);
}

}  // namespace
}  // namespace kelvane
