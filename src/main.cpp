#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/plot/MainUnit.h"
#include "core/ground/ProgramFolders.h"

namespace {

// "--screenshot FILE.png" grabs the main window once it is shown and quits.
QString TakeScreenshotArgument(QStringList& arguments) {
    const int at = arguments.indexOf(QStringLiteral("--screenshot"));
    if (at < 0 || at + 1 >= arguments.size()) return {};
    const QString path = arguments.at(at + 1);
    arguments.remove(at, 2);
    return path;
}

// Arguments that name log files (anything but the switch "Text").
QStringList LogFileArguments(const QStringList& arguments) {
    QStringList files;
    for (const QString& argument : arguments)
        if (argument.compare(QStringLiteral("Text"), Qt::CaseInsensitive) != 0 &&
            !argument.startsWith(QLatin1Char('-')))
            files.append(argument);
    return files;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const QString screenshotPath = TakeScreenshotArgument(arguments);

    std::vector<std::string> programArguments;
    for (const QString& argument : arguments) programArguments.push_back(argument.toStdString());

    kelvane::TMainFormOptions options;
    options.Program =
        kelvane::MakeProgramValues(QCoreApplication::applicationFilePath().toStdString(), programArguments);
    options.StartupWindow = screenshotPath.isEmpty();
    kelvane::TMainForm mainForm(std::move(options));
    mainForm.show();

    const QStringList logFiles = LogFileArguments(arguments);
    if (!logFiles.isEmpty() && screenshotPath.isEmpty())
        QTimer::singleShot(0, &mainForm, [&mainForm, logFiles] { mainForm.OpenLogFilesAsNewPlot(logFiles); });

    if (!screenshotPath.isEmpty()) {
        QTimer::singleShot(300, &mainForm, [&mainForm, screenshotPath] {
            const bool saved = mainForm.grab().save(screenshotPath, "PNG");
            if (!saved) std::fprintf(stderr, "Cannot write %s\n", qPrintable(screenshotPath));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
