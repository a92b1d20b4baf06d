#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "core/ground/ThreadStringListUnit.h"
#include "core/projects/FolderWatch.h"

namespace kelvane {

// What the worker tells its owner; it is told on the worker's thread.
enum class TFolderEvent {
    NewFiles,    // paths wait in the queue
    FolderLost,  // the folder could not be read any more: the worker stopped watching it
};

struct TFolderThreadOptions {
    // The longest wait between two looks at the folder.
    std::chrono::milliseconds Timeout{60000};
    // A changed file is queued only once its signature stayed the same for
    // this long, so a file being copied is never read half-written.
    std::chrono::milliseconds SettleDelay{1000};
    // How long StopWatching waits for the worker to finish.
    std::chrono::milliseconds StopLimit{10000};
    // The wake event and change watch; nothing means MakeFolderWaiter.
    std::function<std::unique_ptr<TFolderWaiter>()> MakeWaiter;
};

// The folder worker: watches the session folder and queues the full paths of
// "Run" logs that appeared or changed there. The files present when a folder
// is first looked at are noted, not reported. It never touches the plot; the
// owner takes the queue when told.
class TFolderThread {
  public:
    using TNotify = std::function<void(TFolderEvent)>;

    // The thread starts with the first SetFolder.
    explicit TFolderThread(TNotify notify, TFolderThreadOptions options = {});
    // Stops the worker. A worker that does not finish within the stop limit
    // is let go rather than freed under its own feet: it keeps its own data
    // and no longer tells anyone anything.
    ~TFolderThread();
    TFolderThread(const TFolderThread&) = delete;
    TFolderThread& operator=(const TFolderThread&) = delete;

    // Watches this folder from now on; an empty path stops watching. Another
    // folder empties the queue and starts afresh; the folder already watched
    // only wakes the worker, keeping what it knows and what waits.
    void SetFolder(const std::filesystem::path& folder);
    // Ends the worker: true when it finished within the stop limit. It tells
    // its owner nothing more either way. Later SetFolder calls do nothing.
    bool StopWatching();

    // The folder watched ("" for none); a lost folder reads as none.
    std::filesystem::path Folder() const;
    TThreadStringList& Queue();
    // Takes every queued path, oldest first.
    std::vector<std::filesystem::path> TakeQueued();

    // The data the worker shares with its owner; the worker keeps its own
    // reference, so it outlives an owner that let it go.
    struct TShared;

  private:
    std::shared_ptr<TShared> FShared;
    std::thread FThread;
};

}  // namespace kelvane
