#include "app/logdata/LogLoadProgress.h"

#include <QApplication>
#include <QProgressDialog>
#include <utility>

namespace kelvane {

namespace {

constexpr int ShowAfterMs = 500;

int ShareDone(std::uint64_t done, std::uint64_t total) {
    if (total == 0 || done >= total) return 100;
    return static_cast<int>(done * 100 / total);
}

}  // namespace

QString LoadProgressLabel(const std::filesystem::path& path) {
    return QStringLiteral("Reading ") + QString::fromStdU16String(path.filename().u16string());
}

TLoadLogResult LoadLogFileWithProgress(QWidget* parent, TLogState& state, const std::filesystem::path& path,
                                       TLoadLogOptions options) {
    return LoadLogFileWithProgress(parent, state, path, std::move(options), {});
}

TLoadLogResult LoadLogFileWithProgress(QWidget* parent, TLogState& state, const std::filesystem::path& path,
                                       TLoadLogOptions options, const TLoadProgressObserver& observer) {
    QProgressDialog dialog(LoadProgressLabel(path), QStringLiteral("Cancel"), 0, 100, parent);
    dialog.setWindowTitle(QStringLiteral("Kelvane"));
    // Window-modal: the main window takes no commands meanwhile, yet still repaints.
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(ShowAfterMs);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setValue(0);  // starts the clock that decides whether the dialog is shown at all

    auto callerProgress = std::move(options.Progress);
    options.Progress = [&](std::uint64_t done, std::uint64_t total) {
        if (callerProgress && !callerProgress(done, total)) return false;
        const int share = ShareDone(done, total);
        // The file is read; what is left is joining its samples to the list.
        if (share == 100) dialog.setLabelText(QStringLiteral("Preparing the plot"));
        if (share != dialog.value()) dialog.setValue(share);
        QCoreApplication::processEvents();
        if (observer) observer(dialog);
        return !dialog.wasCanceled();
    };

    // The window that asked for the file (a closed dialog's place) is painted
    // before the reading holds the event loop.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TLoadLogResult result = LoadLogFile(state, path, options);
    QApplication::restoreOverrideCursor();
    dialog.hide();
    return result;
}

}  // namespace kelvane
