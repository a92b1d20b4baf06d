#include "core/ground/WorkerPool.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace kelvane {

TWorkerPool::TWorkerPool(int threads) {
    const int wanted = std::max(1, threads);
    try {
        for (int part = 1; part < wanted; ++part) FWorkers.emplace_back([this, part] { Work(part); });
    } catch (const std::system_error&) {
        // The threads that started carry the parts.
    }
    FThreads = static_cast<int>(FWorkers.size()) + 1;
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
    // The context lives on the caller's stack: every part ends before an error leaves here.
    std::exception_ptr error;
    try {
        call(context, 0);
    } catch (...) {
        error = std::current_exception();
    }
    if (FThreads > 1) {
        std::unique_lock<std::mutex> lock(FLock);
        FDone.wait(lock, [this] { return FPending == 0; });
        if (!error) error = FError;
        FError = nullptr;
    }
    if (error) std::rethrow_exception(error);
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
        std::exception_ptr error;
        try {
            call(context, part);
        } catch (...) {
            error = std::current_exception();
        }
        bool last;
        {
            std::lock_guard<std::mutex> lock(FLock);
            if (error && !FError) FError = error;
            last = --FPending == 0;
        }
        if (last) FDone.notify_one();
    }
}

int ThreadLimit() {
    // KELVANE_THREADS, when set to a number from 1 to 8, overrides the count of
    // cores: to compare timings, or to keep a shared machine free.
    if (const char* text = std::getenv("KELVANE_THREADS")) {
        int threads = 0;
        const std::string_view view(text);
        const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), threads);
        if (error == std::errc() && end == view.data() + view.size() && threads >= 1 && threads <= MaxThreads)
            return threads;
    }
    return static_cast<int>(
        std::clamp(std::thread::hardware_concurrency(), 1u, static_cast<unsigned>(MaxThreads)));
}

TWorkerPool& SharedWorkerPool() {
    static TWorkerPool pool(ThreadLimit());
    return pool;
}

}  // namespace kelvane
