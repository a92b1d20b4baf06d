#include "core/ground/OrderedWork.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kelvane {

namespace {

bool RunOnCaller(const TOrderedWork& work) {
    for (std::size_t item = 0; item < work.Count; ++item) {
        const std::size_t slot = item % work.Window;
        work.Work(item, slot);
        if (!work.Deliver(item, slot)) return false;
    }
    return true;
}

class TOrderedRun {
  public:
    explicit TOrderedRun(const TOrderedWork& work) : FWork(work), FReady(work.Count, 0) {}

    bool Run(unsigned threads) {
        std::vector<std::thread> workers;
        try {
            for (unsigned t = 0; t < threads; ++t) workers.emplace_back([this] { WorkLoop(); });
        } catch (const std::system_error&) {
            // Fewer threads than asked for; the ones started carry the work.
        }
        if (workers.empty()) return RunOnCaller(FWork);
        bool completed = false;
        try {
            completed = DeliverLoop();
        } catch (...) {
            Stop(std::current_exception());
        }
        for (std::thread& worker : workers) worker.join();
        if (FError) std::rethrow_exception(FError);
        return completed;
    }

  private:
    void Stop(std::exception_ptr error) {
        const std::lock_guard lock(FMutex);
        if (error && !FError) FError = error;
        FStopped = true;
        FChanged.notify_all();
    }

    void WorkLoop() {
        std::unique_lock lock(FMutex);
        while (true) {
            FChanged.wait(lock, [this] {
                return FStopped || FNext >= FWork.Count || FNext < FDelivered + FWork.Window;
            });
            if (FStopped || FNext >= FWork.Count) return;
            const std::size_t item = FNext++;
            lock.unlock();
            try {
                FWork.Work(item, item % FWork.Window);
            } catch (...) {
                lock.lock();
                if (!FError) FError = std::current_exception();
                FStopped = true;
                FChanged.notify_all();
                return;
            }
            lock.lock();
            FReady[item] = 1;
            FChanged.notify_all();
        }
    }

    bool DeliverLoop() {
        for (std::size_t item = 0; item < FWork.Count; ++item) {
            {
                std::unique_lock lock(FMutex);
                FChanged.wait(lock, [&] { return FStopped || FReady[item] != 0; });
                if (FStopped) return false;
            }
            const bool go = FWork.Deliver(item, item % FWork.Window);
            const std::lock_guard lock(FMutex);
            FDelivered = item + 1;
            if (!go) FStopped = true;
            FChanged.notify_all();
            if (!go) return false;
        }
        return true;
    }

    const TOrderedWork& FWork;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::vector<char> FReady;
    std::size_t FNext = 0;
    std::size_t FDelivered = 0;
    bool FStopped = false;
    std::exception_ptr FError;
};

}  // namespace

bool RunInOrder(const TOrderedWork& work) {
    if (work.Count == 0) return true;
    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(work.Threads, work.Count));
    if (threads <= 1 || work.Window == 0) {
        TOrderedWork one = work;
        one.Window = std::max<std::size_t>(work.Window, 1);
        return RunOnCaller(one);
    }
    TOrderedRun run(work);
    return run.Run(threads);
}

}  // namespace kelvane
