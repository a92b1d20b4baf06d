#pragma once

#include <filesystem>
#include <optional>
#include <utility>

#include "core/maps/BinImageBytes.h"
#include "core/maps/MapGrid.h"
#include "core/maps/MapSets.h"

namespace kelvane {

enum class TEZKLoadSensor { Maf, HexaMaf, Alpha };

// A read-only EZK ignition ECU image as the device keeps it: whole 16 KB
// blocks, with "QRM-D" at 3FE0 on a signed image. Maps and curves come out in
// degrees of advance, rounded to one decimal. Reads are bounds-checked: an
// image too short for a read leaves the caller's grid untouched.
class TEZKbinFile : public TBinImage {
  public:
    // Map choices of ReadMap and ReadWotCurve, by the source they give; any
    // other source reads the 98-octane "Cat" set.
    static constexpr TEZKMapSource Cat98Map = TEZKMapSource::Cat98;
    static constexpr TEZKMapSource NoCat98Map = TEZKMapSource::NoCat98;
    static constexpr TEZKMapSource Octane91Map = TEZKMapSource::Octane91;

    TEZKbinFile() = default;
    // Reads the whole file when the path ends in ".bin"; otherwise, or when
    // the file cannot be read, the image and its file name stay empty.
    explicit TEZKbinFile(const std::filesystem::path& path) : TBinImage(path) {}
    explicit TEZKbinFile(TBinBytes data, std::filesystem::path fileName = {})
        : TBinImage(std::move(data), std::move(fileName)) {}

    // Size only: at least 16384 bytes and a whole number of 16 KB blocks.
    bool IsValid() const;
    // The size test plus "QRM-D" at 3FE0.
    bool HasSignature() const;
    static bool IsValidData(const TBinBytes& data);
    static bool HasSignatureData(const TBinBytes& data);
    // The signature test on a file; false when it cannot be read.
    static bool IsEZKbinFile(const std::filesystem::path& path);

    // False, with the grid untouched, when the image is not valid.
    bool ReadMap(TEZKMapSource which, TMapGrid& grid) const;
    // The WOT curve of the same set into load row 0; the other rows become 0.
    bool ReadWotCurve(TEZKMapSource which, TMapGrid& grid) const;

    // The image's RPM breakpoints, unrounded; empty when the image is not valid.
    std::optional<TMapAxis> RpmAxis() const;

    bool GtRpmGrid() const;
    bool WotMapDisabled() const;
    TEZKLoadSensor LoadSensor() const;
};

}  // namespace kelvane
