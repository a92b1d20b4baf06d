#include "core/shell/InstanceHandOver.h"

#include <cctype>
#include <cstdint>

#include "core/ground/ProgramFolders.h"

namespace kelvane {

std::string InstanceServerName(std::string_view userName, const std::filesystem::path& dataFolder) {
    std::string user;
    for (const char c : userName)
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') user += c;
    if (user.size() > 32) user.resize(32);
    // FNV-1a of the folder: a fixed length whatever the folder's.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : WithTrailingSeparator(dataFolder.lexically_normal()).string()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) hex[static_cast<std::size_t>(i)] = Digits[hash & 0xF];
    return "Kelvane-" + user + "-" + hex;
}

std::string EncodeHandOver(const std::vector<std::string>& files) {
    std::string message;
    for (const std::string& file : files) message += file + "\n";
    return message + "\n";
}

std::optional<std::vector<std::string>> DecodeHandOver(std::string_view bytes) {
    std::vector<std::string> files;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) return std::nullopt;
        if (end == start) return files;
        files.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace kelvane
