#include "core/maps/BinEZKImage.h"

#include <array>
#include <cmath>
#include <utility>

namespace kelvane {

namespace {

constexpr std::size_t DeviceBlockSize = 0x4000;
constexpr std::size_t WotDisabledOffset = 0x0BF2;
constexpr std::size_t RpmStepsOffset = 0x11B0;
constexpr std::size_t RpmBaseOffset = 0x11BF;
constexpr std::size_t GtGridOffset = 0x11DC;
constexpr std::size_t SignatureOffset = 0x3FE0;
constexpr std::size_t LoadSensorOffset = 0x3FEB;

constexpr std::size_t ByteMapSize = MapSize * MapSize;

// Angle offset per RPM index; each stored count is 0.375 degree less advance.
constexpr std::array<double, MapSize> AngleOffsets = {59.698, 59.631, 59.528, 59.741, 59.589, 60.072,
                                                      60.558, 60.647, 60.891, 61.132, 61.372, 61.255,
                                                      61.74,  62.228, 62.348, 62.724};

struct TMapOffsets {
    std::size_t Map;
    std::size_t Wot;
};

TMapOffsets OffsetsOf(TEZKMapSource which) {
    switch (which) {
        case TEZKbinFile::NoCat98Map:
            return {0x1000, 0x1320};
        case TEZKbinFile::Octane91Map:
            return {0x1800, 0x1B20};
        default:
            return {0x1400, 0x1720};
    }
}

// Degrees of advance of a stored byte at an RPM index (0..15), to one decimal.
double IgnitionDegrees(int rpmIndex, int storedByte) {
    const double degrees = AngleOffsets[static_cast<std::size_t>(rpmIndex)] - 0.375 * storedByte;
    return std::nearbyint(degrees * 10.0) / 10.0;
}

}  // namespace

bool TEZKbinFile::IsValidData(const TBinBytes& data) {
    return IsWholeBlocks(data, DeviceBlockSize);
}

bool TEZKbinFile::HasSignatureData(const TBinBytes& data) {
    return IsValidData(data) && BinTextAt(data, SignatureOffset, "QRM-D");
}

bool TEZKbinFile::IsValid() const {
    return IsValidData(FData);
}

bool TEZKbinFile::HasSignature() const {
    return HasSignatureData(FData);
}

bool TEZKbinFile::IsEZKbinFile(const std::filesystem::path& path) {
    TBinBytes data;
    return ReadBinImageFile(path, data) && HasSignatureData(data);
}

// Rows are load indexes; within a row the RPM indexes run backwards.
bool TEZKbinFile::ReadMap(TEZKMapSource which, TMapGrid& grid) const {
    const std::size_t base = OffsetsOf(which).Map;
    if (!IsValid() || !HasBinRange(FData, base, ByteMapSize)) return false;
    for (int l = 0; l < MapSize; ++l) {
        for (int r = 0; r < MapSize; ++r) grid.At(r, l) = IgnitionDegrees(r, FData[base + 16 * l + (15 - r)]);
    }
    return true;
}

bool TEZKbinFile::ReadWotCurve(TEZKMapSource which, TMapGrid& grid) const {
    const std::size_t base = OffsetsOf(which).Wot;
    if (!IsValid() || !HasBinRange(FData, base, MapSize)) return false;
    grid.Fill(0.0);
    for (int r = 0; r < MapSize; ++r) grid.At(r, 0) = IgnitionDegrees(r, FData[base + 15 - r]);
    return true;
}

// Each breakpoint's period is 256 plus the base byte plus four times the steps
// above it; the top breakpoint is one count shorter than the base alone.
std::optional<TMapAxis> TEZKbinFile::RpmAxis() const {
    if (!IsValid() || !HasBinRange(FData, RpmStepsOffset, MapSize)) return std::nullopt;
    const int base = 256 + FData[RpmBaseOffset];
    TMapAxis axis{};
    for (int k = 0; k < MapSize; ++k) {
        int period = base;
        if (k < 15) {
            for (int v = 0; v <= 14 - k; ++v) period += 4 * FData[RpmStepsOffset + v];
        } else {
            period -= 1;
        }
        axis[k] = 60.0 / (0.0000225 * period);
    }
    return axis;
}

bool TEZKbinFile::GtRpmGrid() const {
    return BinByteAt(FData, GtGridOffset) == std::uint8_t{0xD8};
}

bool TEZKbinFile::WotMapDisabled() const {
    return BinByteAt(FData, WotDisabledOffset) == std::uint8_t{'?'};
}

TEZKLoadSensor TEZKbinFile::LoadSensor() const {
    const std::optional<std::uint8_t> code = BinByteAt(FData, LoadSensorOffset);
    if (code == std::uint8_t{2}) return TEZKLoadSensor::Alpha;
    if (code == std::uint8_t{1}) return TEZKLoadSensor::HexaMaf;
    return TEZKLoadSensor::Maf;
}

}  // namespace kelvane
