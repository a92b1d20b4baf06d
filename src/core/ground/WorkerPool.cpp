#include "core/ground/WorkerPool.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>

namespace kelvane {

TWorkerPool::TWorkerPool(int threads) : FThreads(std::max(1, threads)) {
    FWorkers.reserve(static_cast<std::size_t>(FThreads - 1));
    for (int part = 1; part < FThreads; ++part) FWorkers.emplace_back([this, part] { Work(part); });
}

TWorkerPool::~TWorkerPool() {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FStop = true;
    }
    FWake.notify_all();
    for (std::thread& worker : FWorkers) worker.join();
}

void TWorkerPool::RunParts(TCall call, void* context) {
    std::lock_guard<std::mutex> run(FRunLock);
    if (FThreads > 1) {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FCall = call;
            FContext = context;
            FPending = FThreads - 1;
            ++FGeneration;
        }
        FWake.notify_all();
    }
    call(context, 0);
    if (FThreads > 1) {
        std::unique_lock<std::mutex> lock(FLock);
        FDone.wait(lock, [this] { return FPending == 0; });
    }
}

void TWorkerPool::Work(int part) {
    unsigned seen = 0;
    for (;;) {
        TCall call;
        void* context;
        {
            std::unique_lock<std::mutex> lock(FLock);
            FWake.wait(lock, [&] { return FStop || FGeneration != seen; });
            if (FStop) return;
            seen = FGeneration;
            call = FCall;
            context = FContext;
        }
        call(context, part);
        bool last;
        {
            std::lock_guard<std::mutex> lock(FLock);
            last = --FPending == 0;
        }
        if (last) FDone.notify_one();
    }
}

namespace {

// KELVANE_THREADS, when set to a number from 1 to 8, overrides the count of
// cores: to compare timings, or to keep a shared machine free.
int SharedThreadCount() {
    if (const char* text = std::getenv("KELVANE_THREADS")) {
        int threads = 0;
        const std::string_view view(text);
        const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), threads);
        if (error == std::errc() && end == view.data() + view.size() && threads >= 1 && threads <= 8)
            return threads;
    }
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

}  // namespace

TWorkerPool& SharedWorkerPool() {
    static TWorkerPool pool(SharedThreadCount());
    return pool;
}

}  // namespace kelvane
