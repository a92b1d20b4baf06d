#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <set>
#include <thread>
#include <vector>

#include "core/ground/WorkerPool.h"

namespace kelvane {
namespace {

TEST(WorkerPoolTest, EveryPartRunsOnceOnItsOwnThreadAndRunWaitsForAll) {
    for (int threads : {1, 2, 5}) {
        SCOPED_TRACE(threads);
        TWorkerPool pool(threads);
        ASSERT_EQ(pool.Threads(), threads);
        // Several runs on one pool: the workers are kept, not started again.
        std::set<std::thread::id> seenAcrossRuns;
        for (int round = 0; round < 50; ++round) {
            std::vector<int> calls(static_cast<std::size_t>(threads), 0);
            std::vector<std::thread::id> ids(static_cast<std::size_t>(threads));
            pool.Run([&](int part) {
                ++calls[static_cast<std::size_t>(part)];
                ids[static_cast<std::size_t>(part)] = std::this_thread::get_id();
            });
            for (int c : calls) ASSERT_EQ(c, 1);
            EXPECT_EQ(ids[0], std::this_thread::get_id());
            EXPECT_EQ(std::set<std::thread::id>(ids.begin(), ids.end()).size(), ids.size());
            seenAcrossRuns.insert(ids.begin(), ids.end());
        }
        EXPECT_EQ(seenAcrossRuns.size(), static_cast<std::size_t>(threads));
    }
    EXPECT_EQ(TWorkerPool(0).Threads(), 1);
}

TEST(WorkerPoolTest, PartsCoverTheRangeInOrderWithoutGaps) {
    for (std::size_t count : {0u, 1u, 2u, 7u, 1000u, 1001u})
        for (int parts : {1, 2, 3, 8}) {
            EXPECT_EQ(PartBegin(count, 0, parts), 0u);
            EXPECT_EQ(PartBegin(count, parts, parts), count);
            for (int part = 0; part < parts; ++part) {
                const std::size_t length = PartBegin(count, part + 1, parts) - PartBegin(count, part, parts);
                EXPECT_LE(length, count / static_cast<std::size_t>(parts) + 1) << count << " " << parts;
                EXPECT_GE(length, count / static_cast<std::size_t>(parts)) << count << " " << parts;
            }
        }
}

// A part that fails (out of memory in a pass) reaches the caller, and only after
// every other part has ended: the task lives on the caller's stack.
TEST(WorkerPoolTest, AFailingPartIsThrownToTheCallerAfterAllPartsEnd) {
    for (const int failing : {0, 2}) {
        TWorkerPool pool(3);
        std::atomic<int> ended{0};
        EXPECT_THROW(pool.Run([&](int part) {
            if (part == failing) throw std::bad_alloc();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ++ended;
        }),
                     std::bad_alloc);
        EXPECT_EQ(ended.load(), 2);
        std::atomic<int> again{0};
        pool.Run([&](int) { ++again; });  // the pool still works
        EXPECT_EQ(again.load(), 3);
    }
}

}  // namespace
}  // namespace kelvane
