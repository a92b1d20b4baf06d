#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

// One text of a text list, with an optional object riding along.
struct TStringItem {
    std::string Text;
    std::shared_ptr<void> Object;
};

// A deque: queues take from the head, which must stay cheap.
using TStringItems = std::deque<TStringItem>;

// A text list shared between threads (the folder worker's queue, the debug
// log's queue). Every operation takes the list's own lock; the lock is
// recursive so a thread holding LockList may still call the other operations.
class TThreadStringList {
  public:
    TThreadStringList() = default;
    TThreadStringList(const TThreadStringList&) = delete;
    TThreadStringList& operator=(const TThreadStringList&) = delete;

    // Takes the lock and hands out the inner list; UnlockList releases it.
    // A caller that changes the list should call MarkChanged while holding it.
    TStringItems& LockList();
    void UnlockList();

    void Add(std::string text, std::shared_ptr<void> object = {});
    // Replaces the whole content by a copy of the given items.
    void Assign(const TStringItems& items);
    void Assign(const std::vector<std::string>& texts);
    void Clear();
    // False (and nothing changed) when the index is out of range.
    bool Delete(std::size_t index);
    std::size_t Count() const;
    // A copy of the text at the index; nothing when out of range.
    std::optional<std::string> Get(std::size_t index) const;

    bool Changed() const;
    void MarkChanged();
    void ClearChanged();

  private:
    mutable std::recursive_mutex FLock;
    TStringItems FList;
    bool FChanged = false;
};

}  // namespace kelvane
