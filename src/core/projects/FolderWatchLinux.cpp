#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "core/projects/FolderWatch.h"

// The folder change watch on Linux: inotify, with an eventfd as the wake event.

namespace kelvane {

namespace {

// The event is an eventfd, so that one poll waits for it and the inotify
// descriptor together.
class TInotifyWaiter : public TFolderWaiter {
  public:
    TInotifyWaiter(int eventFd, int inotifyFd) : FEvent(eventFd), FInotify(inotifyFd) {}
    ~TInotifyWaiter() override {
        ::close(FInotify);
        ::close(FEvent);
    }
    TInotifyWaiter(const TInotifyWaiter&) = delete;
    TInotifyWaiter& operator=(const TInotifyWaiter&) = delete;

    void Wake() override {
        const std::uint64_t one = 1;
        // A full counter is still set; nothing more to do.
        [[maybe_unused]] const ssize_t written = ::write(FEvent, &one, sizeof one);
    }
    void ResetWake() override {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t read = ::read(FEvent, &count, sizeof count);
    }
    bool Watch(const std::filesystem::path& folder) override {
        DropWatch();
        constexpr std::uint32_t Events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                         IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                         IN_ONLYDIR;
        FWatch = ::inotify_add_watch(FInotify, folder.c_str(), Events);
        return FWatch >= 0;
    }
    void DropWatch() override {
        if (FWatch >= 0) ::inotify_rm_watch(FInotify, FWatch);
        FWatch = -1;
        Drain();
    }
    TWakeReason Wait(std::chrono::milliseconds timeout) override {
        pollfd fds[2] = {{FEvent, POLLIN, 0}, {FInotify, POLLIN, 0}};
        int ready = 0;
        do {
            ready = ::poll(fds, 2, static_cast<int>(timeout.count()));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) return TWakeReason::TimedOut;
        if (fds[1].revents & POLLIN) {
            // Re-armed: the events are only a reason to look at the folder.
            Drain();
            return TWakeReason::Changed;
        }
        return TWakeReason::Woken;
    }

  private:
    void Drain() {
        alignas(inotify_event) char buffer[4096];
        while (::read(FInotify, buffer, sizeof buffer) > 0) {
        }
    }

    int FEvent;
    int FInotify;
    int FWatch = -1;
};

}  // namespace

std::unique_ptr<TFolderWaiter> MakeFolderWaiter() {
    const int eventFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const int inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (eventFd >= 0 && inotifyFd >= 0) return std::make_unique<TInotifyWaiter>(eventFd, inotifyFd);
    if (eventFd >= 0) ::close(eventFd);
    if (inotifyFd >= 0) ::close(inotifyFd);
    return MakePollingWaiter();
}

}  // namespace kelvane
