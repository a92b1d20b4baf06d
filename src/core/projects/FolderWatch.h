#pragma once

#include <chrono>
#include <filesystem>
#include <memory>

namespace kelvane {

// Why a wait of the folder worker ended.
enum class TWakeReason { Woken, Changed, TimedOut };

// The wake event (manual reset: it stays set until the worker resets it) and
// the change watch on the folder that the folder worker waits on together.
class TFolderWaiter {
  public:
    virtual ~TFolderWaiter() = default;

    // Sets the wake event; any thread may call it.
    virtual void Wake() = 0;
    // The worker resets the event before it reads what it was woken for.
    virtual void ResetWake() = 0;
    // Watches the folder (not its subfolders) for files created, deleted,
    // renamed, or written and closed, replacing any earlier watch. False when
    // no watch could be set: the waits then end only by the event or the
    // timeout.
    virtual bool Watch(const std::filesystem::path& folder) = 0;
    virtual void DropWatch() = 0;
    // Waits for the event or a change of the watched folder, at most timeout.
    // A change that came while nobody waited ends the next wait at once.
    virtual TWakeReason Wait(std::chrono::milliseconds timeout) = 0;
};

// The platform's change notification, one file per platform
// (FolderWatchLinux.cpp: inotify; FolderWatchWin32.cpp: ReadDirectoryChangesW);
// a platform without one, or a watch that cannot be set up, gives the polling
// waiter.
std::unique_ptr<TFolderWaiter> MakeFolderWaiter();
// The event alone: the folder is looked at only when woken or timed out.
std::unique_ptr<TFolderWaiter> MakePollingWaiter();

}  // namespace kelvane
