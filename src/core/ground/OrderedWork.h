#pragma once

#include <cstddef>
#include <functional>

namespace kelvane {

// Runs Work(item, slot) for every item in [0, count) on up to `threads` threads
// and hands each finished item to Deliver(item, slot) on the calling thread, in
// the order of the items. An item runs in slot item % window and at most
// `window` items are under way or waiting ahead of the next delivery, so the
// caller keeps one set of buffers per slot and reuses them. Deliver returning
// false stops the run (false is returned). An exception from either function
// stops the run and is thrown again here once every thread has ended. With one
// thread, or when no thread can be started, everything runs on the calling thread.
struct TOrderedWork {
    std::size_t Count = 0;
    unsigned Threads = 1;
    std::size_t Window = 1;
    std::function<void(std::size_t item, std::size_t slot)> Work;
    std::function<bool(std::size_t item, std::size_t slot)> Deliver;
};

bool RunInOrder(const TOrderedWork& work);

}  // namespace kelvane
