#include "core/maps/BinFileUtils.h"

namespace kelvane {

TBinImageKind ClassifyBinImage(const TBinBytes& data) {
    // Whole 16 KB blocks are whole 4 KB blocks too, so a device image that
    // carries LH 2.2 data is found by the first test.
    if (TLHbinFile::IsLH22ImageData(data)) return TBinImageKind::LH22;
    if (TLHbinFile::IsDeviceImage(data)) return TBinImageKind::LHDevice;
    if (TEZKbinFile::HasSignatureData(data)) return TBinImageKind::EZKSignature;
    if (TEZKbinFile::IsValidData(data)) return TBinImageKind::EZKSizeOnly;
    return TBinImageKind::NotBinImage;
}

TBinImageKind ClassifyBinFile(const std::filesystem::path& path) {
    TBinBytes data;
    if (!ReadBinImageFile(path, data)) return TBinImageKind::NotBinImage;
    return ClassifyBinImage(data);
}

std::string_view BinImageKindText(TBinImageKind kind) {
    switch (kind) {
        case TBinImageKind::LHDevice:
            return "LH device";
        case TBinImageKind::LH22:
            return "LH 2.2";
        case TBinImageKind::EZKSignature:
            return "EZK";
        case TBinImageKind::EZKSizeOnly:
            return "EZK (no signature)";
        case TBinImageKind::NotBinImage:
            break;
    }
    return "not a bin image";
}

}  // namespace kelvane
