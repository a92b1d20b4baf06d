#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/display/ColorTable.h"
#include "core/shell/Settings.h"
#include "core/shell/SettingsWindows.h"
#include "core/state/KelvaneState.h"
#include "core/state/MapHistory.h"
#include "core/state/StateChange.h"

namespace kelvane {

class TPrompts;
class TIniFile2;

// The program's document: the state of the one plot and everything that
// goes with it for the whole run (the colour scale, the map history, the
// settings store, the layout and window settings, the prompts). The main
// window owns it; every other window takes it, never the main window.
//
// A command changes the state and hands what it changed to Apply: the
// derived data is brought up to date, the history records the step, and
// Changed tells every window, each of which refreshes what it shows.
class TKelvaneDocument : public QObject {
    Q_OBJECT

  public:
    // writesSettings is false in a second copy of the program, which leaves
    // the settings files to the first.
    TKelvaneDocument(std::unique_ptr<TSettingsStore> store, TPrompts& prompts, bool writesSettings,
                     QObject* parent = nullptr);
    ~TKelvaneDocument() override;

    TKelvaneState& State() { return FState; }
    const TKelvaneState& State() const { return FState; }
    TSettingsStore& Store() { return *FStore; }
    TPrompts& Prompts() { return FPrompts; }
    TLayoutSettings& Layout() { return FLayout; }
    TWindowSettings& Windows() { return FWindows; }
    const TWindowSettings& Windows() const { return FWindows; }
    // The active colour scale; a change of it arrives as TChange::Colors.
    TColorScale& ColorScale() { return FColorScale; }
    const TColorTable& ColorTable() const { return FColorScale.Table; }
    bool WritesSettings() const { return FWritesSettings; }

    // The one place a change of the state arrives.
    void Apply(TChangeSet changes);

    // Undo and redo of the map sets; each change of them between
    // BeginMapAction and EndMapAction is one step, named by the outermost
    // Begin ("Undo Fuel Adjustment"). TMapAction pairs them.
    void Undo();
    void Redo();
    void BeginMapAction(std::string name);
    void EndMapAction();
    const TMapHistory& History() const { return FHistory; }
    // A new plot (New Plot, a project or session opened, the plot closed)
    // starts a history of its own: nothing of the last plot comes back.
    void StartNewHistory();

    // A write of the main settings file by a window: nothing in a second
    // copy; a failure is shown in an error box.
    void WriteSettings(const std::function<bool(TIniFile2&)>& write);

    // While the ignition passes run, the commands that would change the plot
    // or the maps under them are refused.
    bool MapWorkRunning() const { return FMapWorkRunning; }
    void SetMapWorkRunning(bool running) { FMapWorkRunning = running; }

    // Told of map changes that reached Apply without their kind in the
    // change set (checked in debug builds); the default stops the program,
    // as a failed assertion would.
    using TUnannouncedHandler = std::function<void(TChangeSet missing)>;
    void SetUnannouncedHandler(TUnannouncedHandler handler) { FUnannounced = std::move(handler); }

  signals:
    void Changed(kelvane::TChangeSet changes);
    // The undo and redo steps changed: their menu items follow.
    void HistoryChanged();

  private:
    void CheckAnnounced(TChangeSet changes);

    std::unique_ptr<TSettingsStore> FStore;
    TPrompts& FPrompts;
    const bool FWritesSettings;
    TKelvaneState FState;
    TColorScale FColorScale;
    TMapHistory FHistory;
    TLayoutSettings FLayout;
    TWindowSettings FWindows;
    bool FMapWorkRunning = false;
    // The maps as the last Apply left them, to find changes nobody announced.
    std::optional<TMapSnapshot> FAnnounced;
    TUnannouncedHandler FUnannounced;
};

// Every change of the map sets while it lives is one undo step named by it:
// open it before the maps change. Nested ones join the outermost.
class TMapAction {
  public:
    TMapAction(TKelvaneDocument& document, std::string name) : FDocument(document) {
        FDocument.BeginMapAction(std::move(name));
    }
    ~TMapAction() { FDocument.EndMapAction(); }
    TMapAction(const TMapAction&) = delete;
    TMapAction& operator=(const TMapAction&) = delete;

  private:
    TKelvaneDocument& FDocument;
};

}  // namespace kelvane

Q_DECLARE_METATYPE(kelvane::TChangeSet)
