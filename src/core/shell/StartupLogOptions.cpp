#include "core/shell/StartupLogOptions.h"

namespace kelvane {

namespace {

bool HeaderHas(std::string_view header, std::string_view title) {
    return header.find(title) != std::string_view::npos;
}

bool Lh22Config(TLHConfig config) {
    return config == TLHConfig::Maf || config == TLHConfig::HexaMaf;
}

bool AnyConfig(TLHConfig config) {
    return config >= TLHConfig::Maf && config <= TLHConfig::Map;
}

}  // namespace

TEngineSetup LogFileOptionsPreselection(std::string_view headerLine, const TEngineSetup& current) {
    TEngineSetup result;
    result.EZKVersion = current.EZKVersion;
    if (HeaderHas(headerLine, "MAP [kPa]")) {
        result.LHVersion = TLHVersion::LH23;
        result.LHConfig = TLHConfig::Map;
    } else if (HeaderHas(headerLine,
                         "Air temp [\xB0"
                         "C]") ||
               HeaderHas(headerLine,
                         "Air temp [\xC2\xB0"
                         "C]") ||
               HeaderHas(headerLine, "Barometric pressure [kPa]")) {
        result.LHVersion = TLHVersion::LH23;
        result.LHConfig = TLHConfig::Alpha;
    } else if ((current.LHVersion == TLHVersion::LH23 && AnyConfig(current.LHConfig)) ||
               (current.LHVersion == TLHVersion::LH22 && Lh22Config(current.LHConfig))) {
        result.LHVersion = current.LHVersion;
        result.LHConfig = current.LHConfig;
    }
    return result;
}

bool LogFileOptionsComplete(const TEngineSetup& choice) {
    if (choice.LHVersion == TLHVersion::LH22) return Lh22Config(choice.LHConfig);
    return choice.LHVersion == TLHVersion::LH23 &&
           (choice.EZKVersion == TEZKVersion::GT || choice.EZKVersion == TEZKVersion::S4) &&
           AnyConfig(choice.LHConfig);
}

}  // namespace kelvane
