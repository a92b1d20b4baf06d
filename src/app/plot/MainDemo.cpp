// The main window's side of the demo project and of project folders named on
// the command line.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/document/Prompts.h"
#include "app/document/QtText.h"
#include "app/plot/MainUnit.h"
#include "core/ground/IniKeys.h"
#include "core/projects/ProjectOpening.h"

namespace kelvane {

namespace {

constexpr std::string_view DemoOfferedKey = "Demo Offered";

// The installed demo, or the one in the source tree next to a build folder.
QString DemoProjectFolder() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const QString& relative :
         {QStringLiteral("/../share/kelvane/demo-project"), QStringLiteral("/../../examples/demo-project")}) {
        const QFileInfo folder(programFolder + relative);
        if (folder.isDir()) return QDir::cleanPath(folder.absoluteFilePath());
    }
    return {};
}

}  // namespace

bool TMainForm::OpenFolderFromCommandLine(const QString& folder) {
    const std::optional<TPendingSelection> selection =
        FolderSelection(std::filesystem::path(folder.toStdString()), State().Setup());
    if (!selection) return false;
    HandOverSelection(*selection);
    return true;
}

void TMainForm::OfferDemoProject() {
    if (!State().Settings.RecentFiles.empty() ||
        Store().Main().ReadBool(SettingsSection, DemoOfferedKey, false))
        return;
    const QString demo = DemoProjectFolder();
    if (demo.isEmpty()) return;
    // Asked once, whatever the answer.
    (void)Store().Main().WriteBool(SettingsSection, DemoOfferedKey, true);
    if (Prompts().AskYesNo(QStringLiteral("Welcome to Kelvane. Open the demo project, two sessions of drives "
                                          "of a simulated car with the maps it ran?"),
                           QStringLiteral("Demo project")))
        OpenFolderFromCommandLine(demo);
}

}  // namespace kelvane
