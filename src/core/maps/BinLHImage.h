#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <utility>

#include "core/maps/BinImageBytes.h"
#include "core/maps/EngineSetup.h"
#include "core/maps/MapGrid.h"
#include "core/maps/MapSets.h"

namespace kelvane {

// Load sensor an LH image is set up for; the values are the LH configuration codes.
enum class TLHLoadSensor : int {
    Maf = CodeOf(TLHConfig::Maf),
    HexaMaf = CodeOf(TLHConfig::HexaMaf),
    Alpha = CodeOf(TLHConfig::Alpha),
    Map = CodeOf(TLHConfig::Map),
};

// The 16 values of a WOT map, RPM index 0 first.
using TWotMap = std::array<double, MapSize>;

// A read-only LH fuel ECU image: a device image (whole 16 KB blocks with the
// device signature) or an LH 2.2 chip image (whole 4 KB blocks marked "JU" or
// "JE"). Reads are bounds-checked: an image too short for a read leaves the
// caller's data untouched, and flags whose byte is missing read as false.
class TLHbinFile : public TBinImage {
  public:
    // Map choices of ReadMap, by the source they give; any other source
    // reads the "Cat" map.
    static constexpr TLHMapSource CatMap = TLHMapSource::Cat;
    static constexpr TLHMapSource NoCatMap = TLHMapSource::NoCat;
    static constexpr TLHMapSource PrimaryLoadMap = TLHMapSource::PrimaryLoad;

    TLHbinFile() = default;
    // Reads the whole file when the path ends in ".bin"; otherwise, or when
    // the file cannot be read, the image and its file name stay empty.
    explicit TLHbinFile(const std::filesystem::path& path) : TBinImage(path) {}
    // An image held in memory (tests, callers that already have the bytes).
    explicit TLHbinFile(TBinBytes data, std::filesystem::path fileName = {})
        : TBinImage(std::move(data), std::move(fileName)) {}

    // The device-image test, else the LH 2.2 test.
    bool IsValid() const;
    // "JU" or "JE" at 0FD9, whatever the size.
    bool IsLH22Image() const;

    // The validity test on a file, without keeping it; false when it cannot be read.
    static bool IsLHbinFile(const std::filesystem::path& path);
    static bool IsDeviceImage(const TBinBytes& data);
    static bool IsLH22ImageData(const TBinBytes& data);

    // Reads a fuel map into grid: an LH 2.2 image gives its 10-bit map for
    // "Cat" and No-Cat alike and has no Primary Load Map. False, with the grid
    // untouched, when the image is not valid or holds no such map.
    bool ReadMap(TLHMapSource which, TMapGrid& grid) const;

    // False, with values untouched, when the image is not valid or too short.
    bool ReadCatWotMap(TWotMap& values) const;
    bool ReadNoCatWotMap(TWotMap& values) const;
    // True when every value is within 0.0001 of zero.
    static bool WotMapZeroed(const TWotMap& values);

    // The LH 2.3 axes the image was set up with; empty when the image is not
    // valid or too short to hold them (an LH 2.2 chip image), so the caller
    // falls back to its default tables.
    std::optional<TMapAxis> RpmAxis() const;
    std::optional<TMapAxis> LoadAxis() const;

    bool AdaptationDisabled() const;
    bool CatMapInUse() const;
    bool NoCatMapInUse() const;
    bool PrimaryLoadMapInUse() const;
    TLHLoadSensor LoadSensor() const;

  private:
    bool ReadByteMap(std::size_t base, TMapGrid& grid) const;
    bool ReadLH22Map(TMapGrid& grid) const;
    bool ReadPrimaryLoadMap(TMapGrid& grid) const;
    bool ReadWotMap(std::size_t base, TWotMap& values) const;
    // Bit of the option byte; empty when the image has no option byte.
    std::optional<bool> OptionBit(int bit) const;
};

}  // namespace kelvane
