#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/ground/FileNameCase.h"

namespace kelvane {

// The open-files list: one name=value pair per loaded log, in load order. The name is the
// file's full path; the value its size and modification time. A path may hold "=", which
// would split the pair, so it is kept as "::" inside the stored name.
class TOpenFiles {
  public:
    std::size_t Count() const { return FItems.size(); }
    bool Empty() const { return FItems.empty(); }

    // Name of pair i with "::" turned back into "=".
    std::string Name(std::size_t i) const;
    // Name of pair i as stored.
    const std::string& StoredName(std::size_t i) const { return FItems[i].StoredName; }
    const std::string& ValueAt(std::size_t i) const { return FItems[i].Value; }

    // Value for a name; empty when absent.
    std::string Value(std::string_view name) const;
    // Index of a name, compared as the file system compares names (SameFileName); -1 when absent.
    int IndexOf(std::string_view name) const;
    // A new name is appended; an empty value deletes the pair.
    void SetValue(std::string_view name, std::string_view value);
    void Clear() { FItems.clear(); }

    static std::string EncodeName(std::string_view name);
    static std::string DecodeName(std::string_view storedName);

  private:
    struct TItem {
        std::string StoredName;
        std::string Value;
    };
    std::vector<TItem> FItems;
};

}  // namespace kelvane
