#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/plot/MainUnit.h"
#include "app/shell/InstanceChannel.h"
#include "core/ground/ProgramFolders.h"
#include "core/shell/CommandLine.h"

namespace {

std::vector<std::string> StdArguments(const QStringList& arguments) {
    std::vector<std::string> result;
    for (int i = 1; i < arguments.size(); ++i) result.push_back(arguments.at(i).toStdString());
    return result;
}

QStringList QtArguments(const std::vector<std::string>& arguments) {
    QStringList result;
    for (const std::string& argument : arguments) result.append(QString::fromStdString(argument));
    return result;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"})
        icon.addFile(QStringLiteral(":/icons/%1/kelvane.png").arg(QLatin1String(size)));
    return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Help, version and usage errors are answered before the window system is
    // asked for, so that they work without a display.
    const kelvane::TCommandLine early =
        kelvane::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (early.Action) {
        case kelvane::TCommandAction::Help:
            std::fputs(kelvane::CommandLineUsage().c_str(), stdout);
            return 0;
        case kelvane::TCommandAction::Version:
            std::printf("%s\n", kelvane::VersionLine().c_str());
            return 0;
        case kelvane::TCommandAction::UsageError:
            std::fprintf(stderr, "%s\n%s", early.Error.c_str(), kelvane::CommandLineUsage().c_str());
            return 2;
        case kelvane::TCommandAction::Run:
            break;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvane"));
    QApplication::setWindowIcon(ProgramIcon());

    // Read again once the toolkit has taken its own options out.
    const kelvane::TCommandLine commandLine =
        kelvane::ParseCommandLine(StdArguments(QApplication::arguments()));
    const QString screenshotPath = QString::fromStdString(commandLine.ScreenshotPath);
    const QString screenshotWindow = QString::fromStdString(commandLine.ScreenshotWindow);

    // A folder named on the command line is a project (or session) to open.
    QStringList logFiles;
    QStringList folders;
    for (const QString& argument : QtArguments(commandLine.LogFiles))
        (QFileInfo(argument).isDir() ? folders : logFiles).append(argument);

    // One copy owns the settings: a later start hands its files to it and
    // ends. A screenshot run stands apart and writes no settings at exit.
    kelvane::TInstanceServer instanceServer;
    bool secondCopy = false;
    if (screenshotPath.isEmpty()) {
        const QString serverName =
            kelvane::InstanceServerNameFor(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        const kelvane::THandOver handOver = kelvane::HandOverToRunningCopy(serverName, logFiles);
        if (handOver == kelvane::THandOver::HandedOver) return 0;
        secondCopy = handOver == kelvane::THandOver::Failed || !instanceServer.Listen(serverName);
        if (secondCopy)
            std::fprintf(stderr, "Kelvane is already running; this copy does not save its settings\n");
    }

    kelvane::TMainFormOptions options;
    options.Program = kelvane::MakeProgramValues(QCoreApplication::applicationFilePath().toStdString(),
                                                 commandLine.ProgramArguments);
    options.StartupWindow = screenshotPath.isEmpty();
    options.SecondCopy = secondCopy;
    kelvane::TMainForm mainForm(std::move(options));
    mainForm.show();
    // Queued: the Log File Options window must not run inside the socket's signal.
    QObject::connect(
        &instanceServer, &kelvane::TInstanceServer::FilesHandedOver, &mainForm,
        [&mainForm](const QStringList& files) { mainForm.TakeHandedOverFiles(files); }, Qt::QueuedConnection);
    if (!logFiles.isEmpty() && screenshotPath.isEmpty())
        QTimer::singleShot(0, &mainForm, [&mainForm, logFiles] { mainForm.OpenLogFilesAsNewPlot(logFiles); });
    const auto openFolders = [&mainForm, &folders] {
        for (const QString& folder : folders)
            if (!mainForm.OpenFolderFromCommandLine(folder))
                std::fprintf(stderr, "%s is neither a project folder nor a session folder with logs\n",
                             qPrintable(folder));
    };
    if (screenshotPath.isEmpty()) {
        if (!folders.isEmpty()) QTimer::singleShot(0, &mainForm, openFolders);
        if (logFiles.isEmpty() && folders.isEmpty())
            QTimer::singleShot(0, &mainForm, [&mainForm] { mainForm.OfferDemoProject(); });
    } else {
        // The picture is taken once everything asked for is open: a long load shows its
        // progress and handles events, and a timer started before it would fire half way.
        QTimer::singleShot(
            0, &mainForm, [&mainForm, openFolders, logFiles, screenshotPath, screenshotWindow] {
                openFolders();
                // No one is there to answer the Log File Options window.
                if (!logFiles.isEmpty())
                    mainForm.OpenLogFilesAsNewPlot(logFiles, kelvane::TLogOptionsChoice::Preselected);
                QTimer::singleShot(300, &mainForm, [&mainForm, screenshotPath, screenshotWindow] {
                    const QImage image = mainForm.ScreenshotOf(screenshotWindow);
                    const bool saved = !image.isNull() && image.save(screenshotPath, "PNG");
                    if (!saved) std::fprintf(stderr, "Cannot write %s\n", qPrintable(screenshotPath));
                    QApplication::exit(saved ? 0 : 1);
                });
            });
    }
    return QApplication::exec();
}
