#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <cstdio>

#include "app/plot/MainUnit.h"

namespace {

// "--screenshot FILE.png" grabs the main window once it is shown and quits.
QString TakeScreenshotArgument(QStringList& arguments) {
    const int at = arguments.indexOf(QStringLiteral("--screenshot"));
    if (at < 0 || at + 1 >= arguments.size()) return {};
    const QString path = arguments.at(at + 1);
    arguments.remove(at, 2);
    return path;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane"));

    QStringList arguments = QApplication::arguments();
    const QString screenshotPath = TakeScreenshotArgument(arguments);

    kelvane::TMainForm mainForm;
    mainForm.show();

    if (!screenshotPath.isEmpty()) {
        QTimer::singleShot(300, &mainForm, [&mainForm, screenshotPath] {
            const bool saved = mainForm.grab().save(screenshotPath, "PNG");
            if (!saved) std::fprintf(stderr, "Cannot write %s\n", qPrintable(screenshotPath));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
