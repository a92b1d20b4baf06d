#pragma once

#include <QString>
#include <filesystem>
#include <functional>

#include "core/logdata/LogFileReader.h"

class QProgressDialog;
class QWidget;

namespace kelvane {

// Called at every progress report, after the dialog shows the new share and events have
// run; a test presses Cancel from here.
using TLoadProgressObserver = std::function<void(QProgressDialog& dialog)>;

// The dialog's text for a file: "Reading " and the file name.
QString LoadProgressLabel(const std::filesystem::path& path);

// LoadLogFile with a window-modal progress dialog ("Reading <name>", share done 0 .. 100,
// a "Cancel" button) that appears only when the load runs longer than about half a
// second. Events run at every report, so the windows keep repainting; Cancel stops the
// load and leaves the log state as it was (result.Cancelled). Shows the wait cursor
// meanwhile. A Progress callback already in options is still asked first.
TLoadLogResult LoadLogFileWithProgress(QWidget* parent, TLogState& state, const std::filesystem::path& path,
                                       TLoadLogOptions options);
TLoadLogResult LoadLogFileWithProgress(QWidget* parent, TLogState& state, const std::filesystem::path& path,
                                       TLoadLogOptions options, const TLoadProgressObserver& observer);

}  // namespace kelvane
