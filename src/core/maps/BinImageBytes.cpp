#include "core/maps/BinImageBytes.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <utility>

#include "core/ground/Platform.h"

namespace kelvane {

bool HasBinRange(const TBinBytes& bytes, std::size_t offset, std::size_t length) {
    return offset <= bytes.size() && length <= bytes.size() - offset;
}

std::optional<std::uint8_t> BinByteAt(const TBinBytes& bytes, std::size_t offset) {
    if (!HasBinRange(bytes, offset, 1)) return std::nullopt;
    return bytes[offset];
}

std::optional<std::uint16_t> BinWordAt(const TBinBytes& bytes, std::size_t offset) {
    if (!HasBinRange(bytes, offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}

bool BinTextAt(const TBinBytes& bytes, std::size_t offset, std::string_view text) {
    if (!HasBinRange(bytes, offset, text.size())) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (bytes[offset + i] != static_cast<unsigned char>(text[i])) return false;
    }
    return true;
}

bool IsWholeBlocks(const TBinBytes& bytes, std::size_t blockSize) {
    return bytes.size() >= blockSize && bytes.size() % blockSize == 0;
}

bool HasBinExtension(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    constexpr std::string_view Extension = ".bin";
    if (name.size() < Extension.size()) return false;
    const std::size_t start = name.size() - Extension.size();
    for (std::size_t i = 0; i < Extension.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[start + i])) != Extension[i]) return false;
    }
    return true;
}

bool ReadBinImageFile(const std::filesystem::path& path, TBinBytes& bytes) {
    bytes.clear();
    // Opened without waiting on a pipe or a device, which are refused.
    platform::TReadOnlyFile file;
    std::string reason;
    if (!file.Open(path, reason)) return false;
    const std::uint64_t size = file.Size();
    if (size > MaxBinImageSize) return false;
    TBinBytes data(static_cast<std::size_t>(size));
    if (file.ReadAt(0, reinterpret_cast<char*>(data.data()), data.size()) != static_cast<std::int64_t>(size))
        return false;
    // A file that grew since its size was taken is read no further than that size:
    // the image is what was there when we looked.
    bytes = std::move(data);
    return true;
}

TBinImage::TBinImage(const std::filesystem::path& path) {
    if (!HasBinExtension(path)) return;
    if (ReadBinImageFile(path, FData)) FFileName = path;
}

TBinImage::TBinImage(TBinBytes data, std::filesystem::path fileName)
    : FData(std::move(data)), FFileName(std::move(fileName)) {}

}  // namespace kelvane
