#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace kelvane {

// The raw bytes of an ECU bin image. Every read of an image goes through the
// checked helpers below, so a short or foreign file never reads past its end.
using TBinBytes = std::vector<std::uint8_t>;

// Files above this size are never loaded as bin images: real images are a few
// 16 KB blocks, and a stray multi-gigabyte file must not be pulled into memory.
constexpr std::size_t MaxBinImageSize = 4 * 1024 * 1024;

// True when bytes [offset, offset + length) all lie inside the image.
bool HasBinRange(const TBinBytes& bytes, std::size_t offset, std::size_t length);

// The byte at offset; empty when the image is too short.
std::optional<std::uint8_t> BinByteAt(const TBinBytes& bytes, std::size_t offset);

// The big-endian 16-bit word at offset; empty when the image is too short.
std::optional<std::uint16_t> BinWordAt(const TBinBytes& bytes, std::size_t offset);

// True when the image holds exactly these characters at offset.
bool BinTextAt(const TBinBytes& bytes, std::size_t offset, std::string_view text);

// True when the image is at least one block long and a whole number of blocks.
bool IsWholeBlocks(const TBinBytes& bytes, std::size_t blockSize);

// True when the path's name ends in ".bin", in any case.
bool HasBinExtension(const std::filesystem::path& path);

// Reads a whole regular file of at most MaxBinImageSize bytes. False (and
// bytes emptied) when the file is missing, not a regular file, too large or
// cannot be read completely.
bool ReadBinImageFile(const std::filesystem::path& path, TBinBytes& bytes);

// The bytes of one image and the file they came from, which the LH and EZK
// images read their maps from.
class TBinImage {
  public:
    const TBinBytes& Data() const { return FData; }
    const std::filesystem::path& FileName() const { return FFileName; }

  protected:
    TBinImage() = default;
    // Reads the whole file when the path ends in ".bin"; otherwise, or when
    // the file cannot be read, the image and its file name stay empty, which
    // no validity test accepts.
    explicit TBinImage(const std::filesystem::path& path);
    TBinImage(TBinBytes data, std::filesystem::path fileName);

    TBinBytes FData;
    std::filesystem::path FFileName;
};

}  // namespace kelvane
