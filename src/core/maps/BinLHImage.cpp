#include "core/maps/BinLHImage.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/maps/BinLHRpmAxis.h"

namespace kelvane {

namespace {

constexpr std::size_t DeviceBlockSize = 0x4000;
constexpr std::size_t LH22BlockSize = 0x1000;
constexpr std::size_t DeviceSignatureOffset = 0x3FF0;
constexpr std::size_t OptionByteOffset = 0x3FF6;
constexpr std::size_t LH22MarkOffset = 0x0FD9;
constexpr std::size_t LH22LowBitsOffset = 0x0300;
constexpr std::size_t LH22HighBitsOffset = 0x0900;
constexpr std::size_t LH22HexaMafOffset = 0x0990;
constexpr std::size_t AdaptationOffset = 0x308D;
constexpr std::size_t LoadStepsOffset = 0x32DD;
constexpr std::size_t LoadBaseOffset = 0x32EC;
constexpr std::size_t RpmStepsOffset = 0x32F0;
constexpr std::size_t PrimaryLoadMapOffset = 0x3300;
constexpr std::size_t HexaMafWordOffset = 0x331E;
constexpr std::size_t CatMapOffset = 0x3500;
constexpr std::size_t NoCatMapOffset = 0x3600;
constexpr std::size_t CatWotOffset = 0x378B;
constexpr std::size_t NoCatWotOffset = 0x37AF;

constexpr std::size_t ByteMapSize = MapSize * MapSize;
constexpr std::size_t WordMapSize = 2 * MapSize * MapSize;

constexpr std::string_view DeviceSignatureQuoted = "\x22QR\x93\x22";
constexpr std::string_view DeviceSignatureText = "QRM-D";

}  // namespace

bool TLHbinFile::IsDeviceImage(const TBinBytes& data) {
    return IsWholeBlocks(data, DeviceBlockSize) &&
           (BinTextAt(data, DeviceSignatureOffset, DeviceSignatureQuoted) ||
            BinTextAt(data, DeviceSignatureOffset, DeviceSignatureText));
}

bool TLHbinFile::IsLH22ImageData(const TBinBytes& data) {
    return IsWholeBlocks(data, LH22BlockSize) &&
           (BinTextAt(data, LH22MarkOffset, "JU") || BinTextAt(data, LH22MarkOffset, "JE"));
}

bool TLHbinFile::IsValid() const {
    return IsDeviceImage(FData) || IsLH22ImageData(FData);
}

bool TLHbinFile::IsLH22Image() const {
    return BinTextAt(FData, LH22MarkOffset, "JU") || BinTextAt(FData, LH22MarkOffset, "JE");
}

bool TLHbinFile::IsLHbinFile(const std::filesystem::path& path) {
    TBinBytes data;
    if (!ReadBinImageFile(path, data)) return false;
    return IsDeviceImage(data) || IsLH22ImageData(data);
}

bool TLHbinFile::ReadMap(TLHMapSource which, TMapGrid& grid) const {
    if (!IsValid()) return false;
    if (which != NoCatMap && which != PrimaryLoadMap) which = CatMap;
    if (IsLH22Image()) return which == PrimaryLoadMap ? false : ReadLH22Map(grid);
    if (which == PrimaryLoadMap) return ReadPrimaryLoadMap(grid);
    return ReadByteMap(which == CatMap ? CatMapOffset : NoCatMapOffset, grid);
}

// Rows are load indexes; within a row the RPM indexes run backwards.
bool TLHbinFile::ReadByteMap(std::size_t base, TMapGrid& grid) const {
    if (!HasBinRange(FData, base, ByteMapSize)) return false;
    for (int l = 0; l < MapSize; ++l) {
        for (int r = 0; r < MapSize; ++r) {
            grid.At(r, l) = static_cast<double>(FData[base + 16 * l + (15 - r)]) - 128.0;
        }
    }
    return true;
}

// Ten-bit values: the low bytes at 0300, the top two bits packed four to a
// byte at 0900, the first value of each group in bits 7-6.
bool TLHbinFile::ReadLH22Map(TMapGrid& grid) const {
    if (!HasBinRange(FData, LH22LowBitsOffset, ByteMapSize) ||
        !HasBinRange(FData, LH22HighBitsOffset, ByteMapSize / 4)) {
        return false;
    }
    for (int l = 0; l < MapSize; ++l) {
        for (int r = 0; r < MapSize; ++r) {
            const std::size_t n = static_cast<std::size_t>(16 * (15 - l) + (15 - r));
            const int packed = FData[LH22HighBitsOffset + n / 4];
            const int highBits = (packed << (2 * (n % 4 + 1))) & 0x300;
            grid.At(r, l) = static_cast<double>(highBits + FData[LH22LowBitsOffset + n]) - 512.0;
        }
    }
    return true;
}

bool TLHbinFile::ReadPrimaryLoadMap(TMapGrid& grid) const {
    if (!HasBinRange(FData, PrimaryLoadMapOffset, WordMapSize)) return false;
    for (int l = 0; l < MapSize; ++l) {
        for (int r = 0; r < MapSize; ++r) {
            grid.At(r, l) = *BinWordAt(FData, PrimaryLoadMapOffset + 32 * l + 2 * (15 - r));
        }
    }
    return true;
}

bool TLHbinFile::ReadCatWotMap(TWotMap& values) const {
    return ReadWotMap(CatWotOffset, values);
}

bool TLHbinFile::ReadNoCatWotMap(TWotMap& values) const {
    return ReadWotMap(NoCatWotOffset, values);
}

// Stored backwards: the first byte is RPM index 15.
bool TLHbinFile::ReadWotMap(std::size_t base, TWotMap& values) const {
    if (!IsValid() || !HasBinRange(FData, base, MapSize)) return false;
    for (int k = 0; k < MapSize; ++k) values[k] = FData[base + 15 - k];
    return true;
}

bool TLHbinFile::WotMapZeroed(const TWotMap& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::fabs(v) <= 0.0001; });
}

// Each breakpoint's period code is 256 minus the steps summed from the top
// breakpoint down to it.
std::optional<TMapAxis> TLHbinFile::RpmAxis() const {
    if (!IsValid() || !HasBinRange(FData, RpmStepsOffset, MapSize)) return std::nullopt;
    TMapAxis axis{};
    int sum = 0;
    for (int i = 0; i < MapSize; ++i) {
        sum += FData[RpmStepsOffset + 15 - i];
        axis[i] = LHRpmAxisValue(std::clamp(256 - sum, 0, 255));
    }
    return axis;
}

// The top breakpoint is 65536 minus the base word; each lower one steps down
// by its step byte (times 4 for the Alpha and MAP sensors).
std::optional<TMapAxis> TLHbinFile::LoadAxis() const {
    if (!IsValid() || !HasBinRange(FData, LoadStepsOffset, MapSize - 1)) return std::nullopt;
    const std::optional<std::uint16_t> baseWord = BinWordAt(FData, LoadBaseOffset);
    if (!baseWord) return std::nullopt;
    const TLHLoadSensor sensor = LoadSensor();
    const int mult = (sensor == TLHLoadSensor::Alpha || sensor == TLHLoadSensor::Map) ? 4 : 1;
    const int top = 65536 - *baseWord;
    TMapAxis axis{};
    axis[15] = top;
    int sum = 0;
    for (int i = 14; i >= 0; --i) {
        sum += FData[LoadStepsOffset + i];
        axis[i] = top - mult * sum;
    }
    return axis;
}

std::optional<bool> TLHbinFile::OptionBit(int bit) const {
    const std::optional<std::uint8_t> option = BinByteAt(FData, OptionByteOffset);
    if (!option) return std::nullopt;
    return ((*option >> bit) & 1) != 0;
}

bool TLHbinFile::AdaptationDisabled() const {
    const std::optional<std::uint8_t> value = BinByteAt(FData, AdaptationOffset);
    return value && (*value & 0x80) != 0;
}

bool TLHbinFile::CatMapInUse() const {
    return OptionBit(0) == false;
}

bool TLHbinFile::NoCatMapInUse() const {
    return OptionBit(1) == false;
}

bool TLHbinFile::PrimaryLoadMapInUse() const {
    return OptionBit(7) == false;
}

TLHLoadSensor TLHbinFile::LoadSensor() const {
    const std::optional<bool> bit7 = OptionBit(7);
    if (bit7 == false) {
        const bool bit6 = *OptionBit(6);
        const bool bit5 = *OptionBit(5);
        if (bit6 && bit5) return TLHLoadSensor::Alpha;
        if (!bit6 && !bit5) return TLHLoadSensor::Map;
    }
    bool hexaMaf = false;
    if (IsLH22Image()) {
        hexaMaf = BinByteAt(FData, LH22HexaMafOffset) == std::uint8_t{0xC0};
    } else {
        hexaMaf = bit7 == true && BinWordAt(FData, HexaMafWordOffset) == std::uint16_t{0};
    }
    return hexaMaf ? TLHLoadSensor::HexaMaf : TLHLoadSensor::Maf;
}

}  // namespace kelvane
