#include "app/document/KelvaneDocument.h"

#include <cstdio>
#include <cstdlib>

#include "app/document/Prompts.h"
#include "app/document/QtText.h"
#include "core/ground/IniFile2.h"
#include "core/ground/WriteFailures.h"
#include "core/shell/LogOpening.h"
#include "core/state/DerivedData.h"

namespace kelvane {

namespace {

std::string ChangeNames(TChangeSet changes) {
    std::string names;
    const auto add = [&](TChange change, const char* name) {
        if (!changes.Has(change)) return;
        if (!names.empty()) names += ", ";
        names += name;
    };
    add(TChange::FuelMaps, "FuelMaps");
    add(TChange::TargetAfr, "TargetAfr");
    add(TChange::IgnitionMaps, "IgnitionMaps");
    return names;
}

}  // namespace

TKelvaneDocument::TKelvaneDocument(std::unique_ptr<TSettingsStore> store, TPrompts& prompts,
                                   bool writesSettings, QObject* parent)
    : QObject(parent), FStore(std::move(store)), FPrompts(prompts), FWritesSettings(writesSettings) {
    qRegisterMetaType<kelvane::TChangeSet>();
    FUnannounced = [](TChangeSet missing) {
        std::fprintf(stderr, "Maps changed without being announced: %s\n", ChangeNames(missing).c_str());
        std::abort();
    };
    FHistory.Reset(FState);
}

TKelvaneDocument::~TKelvaneDocument() = default;

void TKelvaneDocument::Apply(TChangeSet changes) {
    if (changes.Empty()) return;
    CheckAnnounced(changes);
    UpdateDerivedData(FState, changes);
    FHistory.Record(FState);
    emit HistoryChanged();
    emit Changed(changes);
}

void TKelvaneDocument::CheckAnnounced(TChangeSet changes) {
#ifndef NDEBUG
    const TMapSnapshot now = SnapshotOf(FState);
    if (FAnnounced) {
        const TChangeSet differences = MapDifferences(*FAnnounced, now);
        TChangeSet missing;
        for (const TChange kind : {TChange::FuelMaps, TChange::TargetAfr, TChange::IgnitionMaps})
            if (differences.Has(kind) && !changes.Has(kind)) missing |= kind;
        if (!missing.Empty()) FUnannounced(missing);
    }
    FAnnounced = now;
#else
    (void)changes;
#endif
}

void TKelvaneDocument::Undo() {
    TChangeSet changes = FHistory.Undo(FState);
    // A reference from another source has other limits, and the plot its ranges.
    if (changes.Has(TChange::Axes)) changes |= SetUpAxes(FState);
    Apply(changes);
    emit HistoryChanged();
}

void TKelvaneDocument::Redo() {
    TChangeSet changes = FHistory.Redo(FState);
    if (changes.Has(TChange::Axes)) changes |= SetUpAxes(FState);
    Apply(changes);
    emit HistoryChanged();
}

void TKelvaneDocument::BeginMapAction(std::string name) {
    FHistory.Begin(FState, std::move(name));
    emit HistoryChanged();
}

void TKelvaneDocument::EndMapAction() {
    FHistory.End(FState);
    emit HistoryChanged();
}

void TKelvaneDocument::StartNewHistory() {
    FHistory.Reset(FState);
#ifndef NDEBUG
    FAnnounced = SnapshotOf(FState);
#endif
    emit HistoryChanged();
}

void TKelvaneDocument::WriteSettings(const std::function<bool(TIniFile2&)>& write) {
    if (!FWritesSettings) return;
    TIniFile2& main = FStore->Main();
    if (!write(main)) FPrompts.ShowError(FromStd(WriteFailureText(main)));
}

}  // namespace kelvane
