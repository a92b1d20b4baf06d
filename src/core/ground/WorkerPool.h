#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace kelvane {

// A few threads kept for the whole run, to share a pass over a large list:
// starting threads on every refresh would cost more than some passes take.
// The caller's thread works too, so a pool of one thread starts none.
class TWorkerPool {
  public:
    explicit TWorkerPool(int threads);
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    int Threads() const { return FThreads; }

    // Calls task(part) once for every part 0 .. Threads() - 1, each on its
    // own thread (part 0 on the caller's), and returns when all are done.
    // An exception from a part is thrown again here once every part has
    // ended. Tasks must not call Run again. Nothing is allocated per call.
    template <typename TTask>
    void Run(TTask&& task) {
        RunParts(
            [](void* context, int part) { (*static_cast<std::remove_reference_t<TTask>*>(context))(part); },
            const_cast<void*>(static_cast<const void*>(&task)));
    }

  private:
    using TCall = void (*)(void* context, int part);
    void RunParts(TCall call, void* context);
    void Work(int part);

    int FThreads = 1;
    std::vector<std::thread> FWorkers;
    std::mutex FRunLock;  // one Run at a time
    std::mutex FLock;
    std::condition_variable FWake, FDone;
    TCall FCall = nullptr;
    void* FContext = nullptr;
    unsigned FGeneration = 0;
    int FPending = 0;
    bool FStop = false;
    std::exception_ptr FError;  // the first part's error of the current run
};

// The first index of part `part` when count items are cut into `parts`
// contiguous ranges of nearly equal length; part `parts` gives count.
inline std::size_t PartBegin(std::size_t count, int part, int parts) {
    return count / static_cast<std::size_t>(parts) * static_cast<std::size_t>(part) +
           count % static_cast<std::size_t>(parts) * static_cast<std::size_t>(part) /
               static_cast<std::size_t>(parts);
}

// The threads any parallel work of the program may use, the refresh's passes
// and the log reader alike: one per core, at most MaxThreads; KELVANE_THREADS
// set to a number from 1 to MaxThreads says how many instead.
inline constexpr int MaxThreads = 8;
int ThreadLimit();

// The pool the refresh's passes share, of ThreadLimit() threads.
TWorkerPool& SharedWorkerPool();

}  // namespace kelvane
