#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "core/maps/BinEZKImage.h"
#include "core/maps/BinLHImage.h"
#include "core/maps/MapGrid.h"

namespace kelvane {

// True when two image paths name the same image: equal, or equal without
// regard to case and naming one and the same file (on a case-sensitive file
// system "a.bin" and "A.bin" are two different images).
bool SameBinImageName(const std::filesystem::path& a, const std::filesystem::path& b);

// The program's one current image of a kind. Opening the same name again keeps
// the image as it was, without reading the file again; another valid image
// replaces it. Copies share the (read-only) image, so a command can keep the
// current one aside and put it back.
template <class TImage>
class TCurrentBinImage {
  public:
    // False, with nothing changed, when the path is empty, names no file or
    // names a file that is not a valid image: a bad file never costs the
    // user the image already open. Otherwise the result is the kept image's
    // validity, or true for the new one.
    bool Open(const std::filesystem::path& path) {
        std::error_code error;
        if (path.empty() || !std::filesystem::exists(path, error)) return false;
        if (FImage && SameBinImageName(FImage->FileName(), path)) return FImage->IsValid();
        auto image = std::make_shared<const TImage>(path);
        if (!image->IsValid()) return false;
        FImage = std::move(image);
        return true;
    }

    void Release() { FImage.reset(); }

    // The current image, or nullptr when none was opened.
    const TImage* Get() const { return FImage.get(); }

    // The image's axes; empty when there is no current image or it supplies none.
    std::optional<TMapAxis> RpmAxis() const { return FImage ? FImage->RpmAxis() : std::nullopt; }
    std::optional<TMapAxis> LoadAxis() const { return FImage ? FImage->LoadAxis() : std::nullopt; }

  private:
    std::shared_ptr<const TImage> FImage;
};

using TCurrentLHImage = TCurrentBinImage<TLHbinFile>;
using TCurrentEZKImage = TCurrentBinImage<TEZKbinFile>;

}  // namespace kelvane
