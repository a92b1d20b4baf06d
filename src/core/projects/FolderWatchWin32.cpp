#include <windows.h>

#include <algorithm>

#include "core/projects/FolderWatch.h"

// The folder change watch on Windows: ReadDirectoryChangesW on the folder,
// overlapped, so that one wait takes the wake event and the change together.
// A change is only a reason to look at the folder; whether a file is whole is
// for the folder worker to find out (its settle delay), as on every system.

namespace kelvane {

namespace {

class TDirectoryChangesWaiter : public TFolderWaiter {
  public:
    TDirectoryChangesWaiter(HANDLE wakeEvent, HANDLE changeEvent) : FWake(wakeEvent), FChange(changeEvent) {}
    ~TDirectoryChangesWaiter() override {
        DropWatch();
        ::CloseHandle(FChange);
        ::CloseHandle(FWake);
    }
    TDirectoryChangesWaiter(const TDirectoryChangesWaiter&) = delete;
    TDirectoryChangesWaiter& operator=(const TDirectoryChangesWaiter&) = delete;

    void Wake() override { ::SetEvent(FWake); }
    void ResetWake() override { ::ResetEvent(FWake); }

    bool Watch(const std::filesystem::path& folder) override {
        DropWatch();
        FFolderPath = folder;
        return Open();
    }

    void DropWatch() override {
        if (FFolder == INVALID_HANDLE_VALUE) return;
        if (FPending) {
            ::CancelIoEx(FFolder, &FOverlapped);
            DWORD ignored = 0;
            ::GetOverlappedResult(FFolder, &FOverlapped, &ignored, TRUE);
            FPending = false;
        }
        Close();
    }

    TWakeReason Wait(std::chrono::milliseconds timeout) override {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            // A deleted folder we hold open stays "delete pending", and no
            // change is reported for it: it is looked for once a second.
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            const auto slice =
                std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, FPending ? 1000 : INFINITE - 1);
            const HANDLE events[2] = {FChange, FWake};
            // The change first: when both are set, the change is the news.
            const DWORD result = FPending
                                     ? ::WaitForMultipleObjects(2, events, FALSE, static_cast<DWORD>(slice))
                                     : ::WaitForSingleObject(FWake, static_cast<DWORD>(slice));
            if (FPending && result == WAIT_OBJECT_0) {
                DWORD ignored = 0;
                ::GetOverlappedResult(FFolder, &FOverlapped, &ignored, FALSE);
                FPending = false;
                // The folder is opened afresh, so our handle never keeps a
                // deleted folder in being; one that went away ends the watch.
                // The worker looks at the folder after this, so nothing that
                // changed meanwhile is missed.
                Close();
                Open();
                return TWakeReason::Changed;
            }
            if (result == (FPending ? WAIT_OBJECT_0 + 1 : WAIT_OBJECT_0)) return TWakeReason::Woken;
            if (FPending && !StillThere()) {
                DropWatch();
                return TWakeReason::Changed;
            }
            if (std::chrono::steady_clock::now() >= end) return TWakeReason::TimedOut;
        }
    }

  private:
    bool Open() {
        // Others may still rename or delete the folder while it is watched.
        FFolder = ::CreateFileW(FFolderPath.c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        if (FFolder == INVALID_HANDLE_VALUE) return false;
        if (!Arm()) {
            Close();
            return false;
        }
        return true;
    }

    // A folder being deleted cannot be opened any more.
    bool StillThere() const {
        HANDLE folder = ::CreateFileW(FFolderPath.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (folder == INVALID_HANDLE_VALUE) return false;
        ::CloseHandle(folder);
        return true;
    }

    bool Arm() {
        ::ResetEvent(FChange);
        FOverlapped = OVERLAPPED{};
        FOverlapped.hEvent = FChange;
        constexpr DWORD Filter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                 FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE |
                                 FILE_NOTIFY_CHANGE_ATTRIBUTES;
        FPending = ::ReadDirectoryChangesW(FFolder, FBuffer, sizeof FBuffer, FALSE, Filter, nullptr,
                                           &FOverlapped, nullptr) != 0;
        return FPending;
    }

    void Close() {
        if (FFolder == INVALID_HANDLE_VALUE) return;
        ::CloseHandle(FFolder);
        FFolder = INVALID_HANDLE_VALUE;
        FPending = false;
        ::ResetEvent(FChange);
    }

    HANDLE FWake;
    HANDLE FChange;
    std::filesystem::path FFolderPath;
    HANDLE FFolder = INVALID_HANDLE_VALUE;
    OVERLAPPED FOverlapped{};
    bool FPending = false;
    // The names are not read: a change only says "look again". DWORD-aligned,
    // as the call needs.
    alignas(DWORD) char FBuffer[4096];
};

}  // namespace

std::unique_ptr<TFolderWaiter> MakeFolderWaiter() {
    HANDLE wakeEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE changeEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (wakeEvent && changeEvent) return std::make_unique<TDirectoryChangesWaiter>(wakeEvent, changeEvent);
    if (wakeEvent) ::CloseHandle(wakeEvent);
    if (changeEvent) ::CloseHandle(changeEvent);
    return MakePollingWaiter();
}

}  // namespace kelvane
