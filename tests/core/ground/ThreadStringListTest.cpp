#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/ground/ThreadStringListUnit.h"

namespace kelvane {
namespace {

TEST(ThreadStringListTest, OperationsAndChangedFlag) {
    TThreadStringList list;
    EXPECT_FALSE(list.Changed());
    list.Add("a");
    list.Add("b", std::make_shared<int>(7));
    EXPECT_TRUE(list.Changed());
    list.ClearChanged();

    // Out-of-range requests answer plainly and change nothing.
    EXPECT_FALSE(list.Delete(2));
    EXPECT_FALSE(list.Get(2).has_value());
    EXPECT_FALSE(list.Changed());

    EXPECT_TRUE(list.Delete(0));
    EXPECT_TRUE(list.Changed());
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Get(0), "b");

    // Assign copies texts and objects; the source stays as it was.
    TStringItems other{{"x", std::make_shared<int>(1)}, {"y", nullptr}};
    list.Assign(other);
    other[0].Text = "changed";
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Get(0), "x");
    TStringItems& inner = list.LockList();
    EXPECT_EQ(*std::static_pointer_cast<int>(inner[0].Object), 1);
    // The lock is the list's own: the holder may still use the other operations.
    list.Add("z");
    EXPECT_EQ(inner.size(), 3u);
    list.UnlockList();

    list.Assign(std::vector<std::string>{"p", "q"});
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Get(1), "q");
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

// A producer queues texts while a consumer takes them from the head, as the
// folder worker and the main window do; a third thread walks the locked list.
TEST(ThreadStringListTest, TwoThreadsQueueAndTakeWithoutLossOrDuplicates) {
    constexpr int Total = 20000;
    TThreadStringList list;
    std::atomic<bool> producerDone{false};
    std::atomic<int> brokenRuns{0};

    std::thread producer([&] {
        for (int i = 0; i < Total; ++i) list.Add(std::to_string(i));
        producerDone = true;
    });

    std::thread walker([&] {
        while (!producerDone) {
            TStringItems& inner = list.LockList();
            // Under the lock the list holds an unbroken ascending run.
            if (!inner.empty()) {
                const auto span = std::stoul(inner.back().Text) - std::stoul(inner.front().Text) + 1;
                if (span != inner.size()) brokenRuns++;
            }
            list.UnlockList();
        }
    });

    std::vector<std::string> taken;
    while (!producerDone || list.Count() > 0) {
        if (std::optional<std::string> head = list.Get(0)) {
            ASSERT_TRUE(list.Delete(0));
            taken.push_back(*head);
        }
    }
    producer.join();
    walker.join();

    EXPECT_EQ(brokenRuns, 0);
    ASSERT_EQ(taken.size(), static_cast<std::size_t>(Total));
    for (int i = 0; i < Total; ++i) ASSERT_EQ(taken[static_cast<std::size_t>(i)], std::to_string(i));
}

}  // namespace
}  // namespace kelvane
