// The main window's side of projects: the project window, the selection it
// hands over (user message 1) and the session folder's worker (user message 3).

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QStatusBar>
#include <QTimer>

#include "app/logdata/LogLoadProgress.h"
#include "app/plot/MainUnit.h"
#include "app/projects/ProjectUnit.h"
#include "core/adjust/UpdatedMaps.h"
#include "core/ground/IniKeys.h"
#include "core/ground/WriteFailures.h"
#include "core/shell/SessionApply.h"
#include "core/shell/SettingsWindows.h"

namespace kelvane {

namespace {

const QEvent::Type SelectionHandedOverEvent = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type NewLogFilesEvent = static_cast<QEvent::Type>(QEvent::User + 3);
// Not one of the numbered messages: the worker gave up a folder it could not read.
const QEvent::Type SessionFolderLostEvent = static_cast<QEvent::Type>(QEvent::User + 100);

// How long a message waits while a dialog or a log read holds the event loop.
constexpr int BusyRetryMs = 200;

}  // namespace

bool TMainForm::ProjectEvent(QEvent* event) {
    if (event->type() == SelectionHandedOverEvent) {
        ApplyPendingSelection();
        return true;
    }
    if (event->type() == NewLogFilesEvent) {
        ReadNewLogFiles();
        return true;
    }
    if (event->type() == SessionFolderLostEvent) {
        SessionFolderLost();
        return true;
    }
    return false;
}

void TMainForm::OpenProject1Click() {
    if (!FProjectForm) {
        FProjectForm = new TProjectForm(*FDocument, this);
        connect(FProjectForm, &TProjectForm::Closing, this, &TMainForm::ProjectFormClosing);
        connect(FProjectForm, &TProjectForm::SelectionChosen, this, &TMainForm::HandOverSelection);
        // The axes follow once the window's own handling of the click is done.
        connect(FProjectForm, &TProjectForm::EngineSetupChanged, this, [this] {
            QCoreApplication::postEvent(
                this, new QEvent(static_cast<QEvent::Type>(QEvent::User + EngineSetupChangedMessage)));
        });
    }
    FProjectForm->ShowProject(FDocument->Windows().ProjectWindow);
}

void TMainForm::CloseProjectForm() {
    if (FProjectForm && FProjectForm->isVisible()) FProjectForm->close();
}

void TMainForm::ProjectFormClosing(TWindowSize placement) {
    FDocument->Windows().ProjectWindow = placement;
    FDocument->WriteSettings(
        [&](TIniFile2& main) { return WriteWindowSize(main, ProjectWindowSection, placement); });
}

void TMainForm::HandOverSelection(const TPendingSelection& selection) {
    if (FHandOver.Offer(selection)) QCoreApplication::postEvent(this, new QEvent(SelectionHandedOverEvent));
}

bool TMainForm::DeferWhileBusy(void (TMainForm::*handler)()) {
    // A modal dialog, or a log being read (the wait cursor), runs the event
    // loop inside a command that must finish first; the ignition passes must
    // not see the samples change under them.
    if (!QApplication::activeModalWidget() && !QApplication::overrideCursor() && !MapWorkRunning())
        return false;
    QTimer::singleShot(BusyRetryMs, this, handler);
    return true;
}

void TMainForm::ApplyPendingSelection() {
    if (FApplyingSelection || FClosing || DeferWhileBusy(&TMainForm::ApplyPendingSelection)) return;
    FApplyingSelection = true;
    // Selections handed over meanwhile are applied in turn.
    while (const std::optional<TPendingSelection> selection = FHandOver.Take()) {
        if (FProjectForm) FProjectForm->repaint();
        TSessionApplyActions actions;
        actions.SaveBeforeClose = [this] { return SavePromptAndBaseMaps(); };
        actions.Read = [this](TLogState& logs, const std::filesystem::path& path,
                              const TLoadLogOptions& load) {
            return LoadLogFileWithProgress(this, logs, path, load);
        };
        const TSessionApplyResult result = ApplySessionSelection(State(), Store(), *selection, actions);
        if (!result.Applied) {
            // The plot stays; the same choice handed over again is tried again.
            FHandOver.Forget();
            break;
        }
        if (!result.SettingsFailures.Ok())
            Prompts().ShowError(QString::fromStdString(result.SettingsFailures.Text()));
        FDocument->Apply(result.Changes);
        // The session's maps are where this plot starts: nothing before comes back with an undo.
        FDocument->StartNewHistory();
        UpdateCaptionAndStatus();
        ReportReadLogs(result.Files);
        Worker().SetFolder(result.WatchFolder);
    }
    FApplyingSelection = false;
}

void TMainForm::ReadNewLogFiles() {
    if (FClosing || !FFolderWorker) return;
    if (FApplyingSelection) {
        QTimer::singleShot(BusyRetryMs, this, &TMainForm::ReadNewLogFiles);
        return;
    }
    if (DeferWhileBusy(&TMainForm::ReadNewLogFiles)) return;
    const std::vector<std::filesystem::path> queued = FFolderWorker->TakeQueued();
    TQueuedLogs which = TQueuedLogs::NewAndChanged;
    if (FProjectForm && FProjectForm->isVisible()) {
        // The project window decides which new logs are ticked and hands them
        // over; logs already in the plot that changed are read here.
        FProjectForm->NewFilesSeen();
        which = TQueuedLogs::ChangedOpenOnly;
    }
    const TQueuedLogsResult result = ReadQueuedLogs(
        State(), queued, which,
        [this](TLogState& logs, const std::filesystem::path& path, const TLoadLogOptions& load) {
            return LoadLogFileWithProgress(this, logs, path, load);
        });
    if (result.Changes.Empty()) return;
    FDocument->Apply(result.Changes);
    ReportReadLogs(result.Files);
}

void TMainForm::SessionFolderLost() {
    const std::filesystem::path session = SessionFolder(State().Settings);
    statusBar()->showMessage(
        QStringLiteral(
            "The session folder %1 cannot be read any more: new logs there are not read until it is "
            "chosen again")
            .arg(QString::fromStdU16String(session.u16string())));
    // Choosing the same session again must start the watch afresh.
    FHandOver.Forget();
}

void TMainForm::SessionPlotClosed() {
    if (FFolderWorker) FFolderWorker->SetFolder({});
    if (!FApplyingSelection) FHandOver.Forget();
}

TFolderThread& TMainForm::Worker() {
    if (!FFolderWorker)
        FFolderWorker = std::make_unique<TFolderThread>(
            [this](TFolderEvent event) {
                // Told on the worker's thread; posting is safe from any thread.
                QCoreApplication::postEvent(
                    this,
                    new QEvent(event == TFolderEvent::NewFiles ? NewLogFilesEvent : SessionFolderLostEvent));
            },
            FFolderWorkerOptions);
    return *FFolderWorker;
}

void TMainForm::StopFolderWorker() {
    if (FFolderWorker) FFolderWorker->StopWatching();
}

}  // namespace kelvane
