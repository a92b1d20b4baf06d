#include <gtest/gtest.h>

#include <QSignalSpy>
#include <vector>

#include "DocumentFixture.h"
#include "core/ground/IniFile2.h"

namespace kelvane {
namespace {

// Every map difference must arrive with its kind: a command that changes a
// map and says nothing of it leaves the windows showing the old map.
TEST(DocumentTest, MapChangesThatWereNotAnnouncedAreReported) {
    struct TCase {
        const char* Name;
        void (*Change)(TKelvaneState&);
        TChangeSet Announced;
        TChangeSet Missing;
    };
    const TCase cases[] = {
        {"fuel reference, told", [](TKelvaneState& s) { s.Fuel.Reference.Fill(7); }, TChange::FuelMaps, {}},
        {"fuel reference, untold", [](TKelvaneState& s) { s.Fuel.Reference.Fill(7); }, TChange::Selection,
         TChange::FuelMaps},
        {"file of a reference, untold",
         [](TKelvaneState& s) { s.Fuel.ReferencePath = "/s/Base fuel map.txt"; }, TChange::Samples,
         TChange::FuelMaps},
        {"target, untold", [](TKelvaneState& s) { s.Fuel.TargetAfr.Fill(12); }, TChange::FuelMaps,
         TChange::TargetAfr},
        {"ignition, untold", [](TKelvaneState& s) { s.Ignition.Adjustments.Fill(-2); }, TChange::FuelMaps,
         TChange::IgnitionMaps},
        {"a flag alone", [](TKelvaneState& s) { s.Fuel.AdjustmentsEdited = true; }, TChange::Settings, {}},
    };
    for (const TCase& c : cases) {
        TDocumentFixture f;
        std::vector<TChangeSet> reported;
        f.Document.SetUnannouncedHandler([&](TChangeSet missing) { reported.push_back(missing); });
        f.Document.Apply(TChange::Settings);
        c.Change(f.State());
        f.Document.Apply(c.Announced);
#ifndef NDEBUG
        const std::vector<TChangeSet> expected =
            c.Missing.Empty() ? std::vector<TChangeSet>{} : std::vector<TChangeSet>{c.Missing};
        EXPECT_EQ(reported, expected) << c.Name;
#endif
    }
}

TEST(DocumentTest, ApplyTellsEveryWindowOnceAndRecordsTheStep) {
    TDocumentFixture f;
    QSignalSpy changed(&f.Document, &TKelvaneDocument::Changed);
    f.State().Fuel.Reference.Fill(5);
    f.State().Fuel.ReferenceLoaded = true;
    f.Document.Apply(TChange::FuelMaps);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<TChangeSet>(), TChangeSet(TChange::FuelMaps));
    EXPECT_TRUE(f.Document.History().CanUndo());

    f.Document.Apply({});
    EXPECT_EQ(changed.count(), 1) << "nothing changed, nothing told";

    f.Document.StartNewHistory();
    EXPECT_FALSE(f.Document.History().CanUndo());
    f.Document.Undo();
    EXPECT_TRUE(f.State().Fuel.ReferenceLoaded) << "an undo in a new plot brings back nothing of the last";
}

TEST(DocumentTest, WindowSettingsAreWrittenOnlyByTheFirstCopy) {
    for (const bool writes : {true, false}) {
        TTempFolder folder;
        TFakePrompts prompts;
        TKelvaneDocument document(std::make_unique<TSettingsStore>(folder.Path()), prompts, writes);
        document.WriteSettings([](TIniFile2& main) { return main.WriteString("Test", "Key", "value"); });
        EXPECT_EQ(document.Store().Main().ReadString("Test", "Key", ""), writes ? "value" : "") << writes;
        EXPECT_TRUE(prompts.Calls.empty());
    }
}

}  // namespace
}  // namespace kelvane
