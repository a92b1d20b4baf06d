// The main window's update check and device status window.

#include <QProcess>
#include <QTimer>

#include "app/document/Prompts.h"
#include "app/document/QtText.h"
#include "app/plot/MainUnit.h"
#include "app/shell/UpdaterUnit.h"
#include "app/shell/VXStatusUnit.h"
#include "core/shell/StartupUpdates.h"

namespace kelvane {

namespace {

QString PathText(const std::filesystem::path& path) {
    return FromStd(path.string());
}

}  // namespace

void TMainForm::CheckForUpdates1Click() {
    if (!FUpdaterForm) {
        TUpdaterSetup setup;
        setup.ProgramRoot = FProgram.ProgramRoot;
        setup.CommonRoot = Store().CommonRoot();
        setup.ProgramFileName = FProgram.ProgramFile.filename().string();
        setup.Server = FDocument->Layout().UpdatesServer;
        setup.Folder = FDocument->Layout().UpdatesFolder;
        setup.Log = FLog.Callback();
        FUpdaterForm = new TUpdaterForm(std::move(setup), Prompts(), this);
        connect(FUpdaterForm, &QObject::destroyed, this, [this] { FUpdaterForm = nullptr; });
        connect(FUpdaterForm, &TUpdaterForm::RestartRequested, this, &TMainForm::RestartForUpdate,
                Qt::QueuedConnection);
    }
    FUpdaterForm->exec();
}

int TMainForm::UpdatesPending() const {
    return FUpdaterForm ? FUpdaterForm->Counters().Pending : 0;
}

void TMainForm::RestartForUpdate() {
    const std::filesystem::path updater = FProgram.ProgramRoot / UpdaterProgramName;
    if (std::filesystem::exists(updater))
        QProcess::startDetached(PathText(updater), {QStringLiteral("-restart")},
                                PathText(FProgram.ProgramRoot));
    close();
}

void TMainForm::VXStatus1Click() {
    if (!FVXStatusForm) {
        FVXStatusForm = new TVXStatusForm(MakeWindowLookup(), this);
        FVXStatusForm->setAttribute(Qt::WA_DeleteOnClose);
        connect(FVXStatusForm, &QObject::destroyed, this, [this] { FVXStatusForm = nullptr; });
    }
    FVXStatusForm->show();
    FVXStatusForm->raise();
    FVXStatusForm->activateWindow();
}

void TMainForm::DeleteShellWindows() {
    delete FVXStatusForm;
    delete FUpdaterForm;
}

}  // namespace kelvane
