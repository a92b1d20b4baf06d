#include "core/projects/BinWarnings.h"

#include <vector>

#include "core/ground/FileNameCase.h"

namespace kelvane {

std::string BinKindName(const TLHbinFile& image) {
    switch (image.LoadSensor()) {
        case TLHLoadSensor::Alpha:
            return "VX-Alpha";
        case TLHLoadSensor::Map:
            return "VX-MAP";
        case TLHLoadSensor::HexaMaf:
            return "HexaMAF";
        default:
            return "MAF";
    }
}

std::string BinKindName(const TEZKbinFile& image) {
    switch (image.LoadSensor()) {
        case TEZKLoadSensor::Alpha:
            return "VX-Alpha";
        case TEZKLoadSensor::HexaMaf:
            return "HexaMAF";
        default:
            return "MAF";
    }
}

namespace {

// True when the WOT map could be read and is not all zero.
bool WotNotZeroed(const TLHbinFile& image, bool cat) {
    TWotMap values{};
    const bool read = cat ? image.ReadCatWotMap(values) : image.ReadNoCatWotMap(values);
    return read && !TLHbinFile::WotMapZeroed(values);
}

}  // namespace

std::string BinWarningText(const TLHbinFile* lhImage, TLHMapSource lhMapInUse, const TEZKbinFile* ezkImage) {
    std::vector<std::string> lines;
    if (lhImage && ezkImage) {
        const std::string lhKind = BinKindName(*lhImage);
        const std::string ezkKind = BinKindName(*ezkImage);
        // The MAP system's EZK image is set up as an Alpha one.
        const bool mapWithAlpha = lhKind == "VX-MAP" && ezkKind == "VX-Alpha";
        if (!SameTextIgnoringCase(lhKind, ezkKind) && !mapWithAlpha)
            lines.push_back("Conflicting Bin-Files: LH is " + lhKind + ",\nwhile EZK is " + ezkKind);
    }
    if (lines.empty()) {
        if (lhImage) {
            if (!lhImage->AdaptationDisabled()) lines.emplace_back("O2 Adaptation was enabled!");
            const bool catWot = WotNotZeroed(*lhImage, true);
            const bool noCatWot = WotNotZeroed(*lhImage, false);
            switch (lhMapInUse) {
                case TLHMapSource::Cat:
                    if (catWot) lines.emplace_back("Cat WOT map was not zero'ed.");
                    break;
                case TLHMapSource::NoCat:
                    if (noCatWot) lines.emplace_back("No-cat WOT map was not zero'ed.");
                    break;
                case TLHMapSource::PrimaryLoad:
                    if (catWot && noCatWot)
                        lines.emplace_back("Neither WOT map was zero'ed.");
                    else if (noCatWot)
                        lines.emplace_back("No-cat WOT map was not zero'ed.");
                    else if (catWot)
                        lines.emplace_back("Cat WOT map was not zero'ed.");
                    break;
                default:
                    break;
            }
        }
        if (ezkImage && !ezkImage->WotMapDisabled()) lines.emplace_back("EZK's WOT map was not disabled.");
    }
    if (lines.empty()) return {};
    lines.emplace_back("This may prevent sensible map adjustments.");
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text;
}

}  // namespace kelvane
