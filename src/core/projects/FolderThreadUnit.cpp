#include "core/projects/FolderThreadUnit.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "core/logdata/LogFirstLine.h"
#include "core/logdata/LogHeader.h"
#include "core/projects/ProjectFolders.h"

namespace kelvane {

namespace fs = std::filesystem;

struct TFolderThread::TShared {
    TFolderThreadOptions Options;
    std::unique_ptr<TFolderWaiter> Waiter;

    // Guards the folder, its generation and the finished flag.
    mutable std::mutex Lock;
    std::condition_variable FinishedChanged;
    fs::path Folder;
    // Counts folder changes, so the worker knows when to start afresh.
    std::uint64_t Generation = 0;
    bool Started = false;
    bool Finished = false;
    std::atomic<bool> Stop{false};

    // Held while the owner is told anything, so that once StopWatching has
    // cleared it no call is still under way.
    std::mutex NotifyLock;
    TNotify Notify;

    TThreadStringList Queue;

    void Tell(TFolderEvent event) {
        std::lock_guard guard(NotifyLock);
        if (Notify) Notify(event);
    }
};

namespace {

// The log header test on the file's first line alone; a named pipe or a device
// named like a log is passed over without waiting on it.
bool HasLogHeader(const fs::path& path) {
    std::string line, error;
    return ReadLogFirstLine(path, line, error) && ParseLogHeader(line).Accepted();
}

using TClock = std::chrono::steady_clock;

// The worker's own memory of the folder: path = signature.
using TSignatures = std::map<std::string, std::string>;

// A changed file waiting to stay as it is: its signature and since when.
struct TSettling {
    std::string Signature;
    TClock::time_point Since;
};
using TSettlingFiles = std::map<std::string, TSettling>;

struct TScan {
    bool FolderReadable = true;
    std::size_t Queued = 0;
    // When the next settling file may be due; nothing when none waits.
    std::optional<TClock::time_point> NextDue;
};

// One look at the folder: every "Run" log whose signature changed since the
// last report and then stayed the same for one settle delay is queued.
TScan ScanFolder(TFolderThread::TShared& shared, const fs::path& folder, std::uint64_t generation,
                 bool firstScan, TSignatures& known, TSettlingFiles& settling) {
    TScan scan;
    TSignatures nowKnown;
    TSettlingFiles nowSettling;
    const auto settleDelay = shared.Options.SettleDelay;
    const TClock::time_point now = TClock::now();
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        scan.FolderReadable = false;
        return scan;
    }
    for (const fs::directory_iterator end; it != end && !shared.Stop; it.increment(error)) {
        std::error_code fileError;
        if (!it->is_regular_file(fileError)) continue;
        const fs::path path = it->path();
        if (!IsWatchedLogName(path.filename().string())) continue;
        const std::string signature = FileSignature(path);
        if (signature.empty()) continue;  // gone meanwhile
        const std::string key = path.string();
        const auto old = known.find(key);
        if (firstScan || (old != known.end() && old->second == signature) || it->file_size(fileError) == 0) {
            nowKnown[key] = signature;
            continue;
        }
        if (settleDelay.count() > 0) {
            const auto seen = settling.find(key);
            const TSettling waiting = seen != settling.end() && seen->second.Signature == signature
                                          ? seen->second
                                          : TSettling{signature, now};
            if (now - waiting.Since < settleDelay) {
                nowSettling[key] = waiting;
                if (old != known.end()) nowKnown[key] = old->second;
                const TClock::time_point due = waiting.Since + settleDelay;
                if (!scan.NextDue || due < *scan.NextDue) scan.NextDue = due;
                continue;
            }
        }
        nowKnown[key] = signature;
        if (!HasLogHeader(path)) continue;
        // A path of a folder given up meanwhile is not queued.
        std::lock_guard guard(shared.Lock);
        if (shared.Generation != generation) continue;
        shared.Queue.Add(key);
        ++scan.Queued;
    }
    if (error) {
        scan.FolderReadable = false;
        return scan;
    }
    known = std::move(nowKnown);
    settling = std::move(nowSettling);
    return scan;
}

void RunWorker(const std::shared_ptr<TFolderThread::TShared>& sharedPointer) {
    TFolderThread::TShared& shared = *sharedPointer;
    TFolderWaiter& waiter = *shared.Waiter;
    TSignatures known;
    TSettlingFiles settling;
    bool firstScanDone = false;
    std::uint64_t generation = 0;
    bool anyGeneration = false;
    fs::path watched;

    while (!shared.Stop) {
        // Reset before the folder is read: a later SetFolder sets it again.
        waiter.ResetWake();
        fs::path folder;
        {
            std::lock_guard guard(shared.Lock);
            folder = shared.Folder;
            if (!anyGeneration || shared.Generation != generation) {
                anyGeneration = true;
                generation = shared.Generation;
                known.clear();
                settling.clear();
                firstScanDone = false;
            }
        }

        TScan scan;
        if (!folder.empty()) scan = ScanFolder(shared, folder, generation, !firstScanDone, known, settling);
        if (shared.Stop) break;
        if (!scan.FolderReadable) {
            {
                std::lock_guard guard(shared.Lock);
                if (shared.Generation == generation) {
                    shared.Folder.clear();
                    ++shared.Generation;
                }
            }
            waiter.DropWatch();
            watched.clear();
            shared.Tell(TFolderEvent::FolderLost);
            continue;
        }
        if (scan.Queued > 0 && firstScanDone) shared.Tell(TFolderEvent::NewFiles);
        firstScanDone = true;

        if (folder.empty()) {
            if (!watched.empty()) waiter.DropWatch();
            watched.clear();
        } else if (watched != folder) {
            waiter.Watch(folder);
            watched = folder;
        }
        auto wait = shared.Options.Timeout;
        if (scan.NextDue) {
            const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(*scan.NextDue - TClock::now());
            wait = std::clamp(untilDue, std::chrono::milliseconds(1), wait);
        }
        waiter.Wait(wait);
    }

    waiter.DropWatch();
    {
        std::lock_guard guard(shared.Lock);
        shared.Finished = true;
    }
    shared.FinishedChanged.notify_all();
}

}  // namespace

TFolderThread::TFolderThread(TNotify notify, TFolderThreadOptions options)
    : FShared(std::make_shared<TShared>()) {
    FShared->Options = std::move(options);
    FShared->Waiter = FShared->Options.MakeWaiter ? FShared->Options.MakeWaiter() : MakeFolderWaiter();
    FShared->Notify = std::move(notify);
}

TFolderThread::~TFolderThread() {
    const bool finished = StopWatching();
    if (!FThread.joinable()) return;
    if (finished)
        FThread.join();
    else
        FThread.detach();  // it holds its own share of the data
}

void TFolderThread::SetFolder(const fs::path& folder) {
    const fs::path key = folder.empty() ? fs::path() : FolderKey(folder);
    bool start = false;
    {
        std::lock_guard guard(FShared->Lock);
        if (FShared->Stop) return;
        if (!FShared->Started || key != FShared->Folder) {
            FShared->Folder = key;
            ++FShared->Generation;
            FShared->Queue.Clear();
        }
        start = !FShared->Started;
        FShared->Started = true;
    }
    if (start) FThread = std::thread(RunWorker, FShared);
    FShared->Waiter->Wake();
}

bool TFolderThread::StopWatching() {
    {
        std::lock_guard guard(FShared->NotifyLock);
        FShared->Notify = nullptr;
    }
    std::unique_lock lock(FShared->Lock);
    FShared->Stop = true;
    if (!FShared->Started) return true;
    FShared->Waiter->Wake();
    return FShared->FinishedChanged.wait_for(lock, FShared->Options.StopLimit,
                                             [this] { return FShared->Finished; });
}

fs::path TFolderThread::Folder() const {
    std::lock_guard guard(FShared->Lock);
    return FShared->Folder;
}

TThreadStringList& TFolderThread::Queue() {
    return FShared->Queue;
}

std::vector<fs::path> TFolderThread::TakeQueued() {
    std::vector<fs::path> paths;
    TStringItems& items = FShared->Queue.LockList();
    for (const TStringItem& item : items) paths.emplace_back(item.Text);
    items.clear();
    FShared->Queue.MarkChanged();
    FShared->Queue.UnlockList();
    return paths;
}

}  // namespace kelvane
