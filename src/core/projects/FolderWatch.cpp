#include "core/projects/FolderWatch.h"

#include <condition_variable>
#include <mutex>

namespace kelvane {

namespace {

class TPollingWaiter : public TFolderWaiter {
  public:
    void Wake() override {
        {
            std::lock_guard guard(FLock);
            FSet = true;
        }
        FChanged.notify_all();
    }
    void ResetWake() override {
        std::lock_guard guard(FLock);
        FSet = false;
    }
    bool Watch(const std::filesystem::path&) override { return false; }
    void DropWatch() override {}
    TWakeReason Wait(std::chrono::milliseconds timeout) override {
        std::unique_lock lock(FLock);
        return FChanged.wait_for(lock, timeout, [this] { return FSet; }) ? TWakeReason::Woken
                                                                         : TWakeReason::TimedOut;
    }

  private:
    std::mutex FLock;
    std::condition_variable FChanged;
    bool FSet = false;
};

}  // namespace

std::unique_ptr<TFolderWaiter> MakePollingWaiter() {
    return std::make_unique<TPollingWaiter>();
}

}  // namespace kelvane
