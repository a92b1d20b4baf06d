#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "core/maps/BinImageBytes.h"

namespace kelvane::testing {

constexpr std::size_t ImageSize16K = 0x4000;

inline void PutText(TBinBytes& image, std::size_t offset, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) image.at(offset + i) = static_cast<std::uint8_t>(text[i]);
}

inline void PutWord(TBinBytes& image, std::size_t offset, std::uint16_t value) {
    image.at(offset) = static_cast<std::uint8_t>(value >> 8);
    image.at(offset + 1) = static_cast<std::uint8_t>(value & 0xFF);
}

// A zeroed device LH image with the "QRM-D" signature, option byte FF (no map
// marked in use) and a non-zero word at 331E (so the sensor reads as MAF).
inline TBinBytes MakeLHDeviceImage(std::size_t size = ImageSize16K) {
    TBinBytes image(size, 0);
    PutText(image, 0x3FF0, "QRM-D");
    image.at(0x3FF6) = 0xFF;
    PutWord(image, 0x331E, 0x0101);
    return image;
}

// A zeroed LH 2.2 chip image marked "JE".
inline TBinBytes MakeLH22Image(std::size_t size = 0x1000) {
    TBinBytes image(size, 0);
    PutText(image, 0x0FD9, "JE");
    return image;
}

inline TBinBytes MakeEZKImage(std::size_t size = ImageSize16K, bool signature = true) {
    TBinBytes image(size, 0);
    if (signature) PutText(image, 0x3FE0, "QRM-D");
    return image;
}

inline void WriteBytes(const std::filesystem::path& path, const TBinBytes& bytes) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kelvane::testing
