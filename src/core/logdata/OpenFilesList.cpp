#include "core/logdata/OpenFilesList.h"

namespace kelvane {

namespace {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace

std::string TOpenFiles::EncodeName(std::string_view name) {
    return ReplaceAll(name, "=", "::");
}

std::string TOpenFiles::DecodeName(std::string_view storedName) {
    return ReplaceAll(storedName, "::", "=");
}

std::string TOpenFiles::Name(std::size_t i) const {
    return DecodeName(FItems[i].StoredName);
}

std::string TOpenFiles::Value(std::string_view name) const {
    const int i = IndexOf(name);
    return i < 0 ? std::string() : FItems[static_cast<std::size_t>(i)].Value;
}

int TOpenFiles::IndexOf(std::string_view name) const {
    const std::string stored = EncodeName(name);
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (SameFileName(FItems[i].StoredName, stored)) return static_cast<int>(i);
    return -1;
}

void TOpenFiles::SetValue(std::string_view name, std::string_view value) {
    const int i = IndexOf(name);
    if (value.empty()) {
        if (i >= 0) FItems.erase(FItems.begin() + i);
        return;
    }
    if (i >= 0)
        FItems[static_cast<std::size_t>(i)].Value = std::string(value);
    else
        FItems.push_back({EncodeName(name), std::string(value)});
}

}  // namespace kelvane
