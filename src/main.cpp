#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/plot/MainUnit.h"
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

    // Read again once the toolkit has taken its own options out.
    const kelvane::TCommandLine commandLine =
        kelvane::ParseCommandLine(StdArguments(QApplication::arguments()));
    const QString screenshotPath = QString::fromStdString(commandLine.ScreenshotPath);

    kelvane::TMainFormOptions options;
    options.Program = kelvane::MakeProgramValues(QCoreApplication::applicationFilePath().toStdString(),
                                                 commandLine.ProgramArguments);
    options.StartupWindow = screenshotPath.isEmpty();
    kelvane::TMainForm mainForm(std::move(options));
    mainForm.show();

    const QStringList logFiles = QtArguments(commandLine.LogFiles);
    if (!logFiles.isEmpty() && screenshotPath.isEmpty())
        QTimer::singleShot(0, &mainForm, [&mainForm, logFiles] { mainForm.OpenLogFilesAsNewPlot(logFiles); });

    if (!screenshotPath.isEmpty()) {
        // No one is there to answer the Log File Options window.
        if (!logFiles.isEmpty())
            QTimer::singleShot(0, &mainForm, [&mainForm, logFiles] {
                mainForm.OpenLogFilesAsNewPlot(logFiles, kelvane::TLogOptionsChoice::Preselected);
            });
        QTimer::singleShot(300, &mainForm, [&mainForm, screenshotPath] {
            const bool saved = mainForm.grab().save(screenshotPath, "PNG");
            if (!saved) std::fprintf(stderr, "Cannot write %s\n", qPrintable(screenshotPath));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
