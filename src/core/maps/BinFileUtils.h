#pragma once

// The LH and EZK bin images, the current-image holders, and telling what kind
// of image a file holds.

#include <filesystem>
#include <string_view>

#include "core/maps/BinCurrentImage.h"
#include "core/maps/BinEZKImage.h"
#include "core/maps/BinImageBytes.h"
#include "core/maps/BinLHImage.h"

namespace kelvane {

enum class TBinImageKind {
    NotBinImage,
    LHDevice,      // device LH image with its signature at 3FF0
    LH22,          // LH 2.2 chip data ("JU"/"JE" at 0FD9), also inside a device image
    EZKSignature,  // EZK image with "QRM-D" at 3FE0
    EZKSizeOnly,   // whole 16 KB blocks, no signature: loads only as an EZK image
};

// The kind of image the bytes hold, tested in the order the map loader uses:
// LH first (LH 2.2 data before the device signature), then EZK.
TBinImageKind ClassifyBinImage(const TBinBytes& data);

// The same for a file; NotBinImage when it cannot be read. The name's
// extension is not looked at.
TBinImageKind ClassifyBinFile(const std::filesystem::path& path);

// "LH device", "LH 2.2", "EZK", "EZK (no signature)", "not a bin image".
std::string_view BinImageKindText(TBinImageKind kind);

}  // namespace kelvane
