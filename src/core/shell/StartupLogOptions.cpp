#include "core/shell/StartupLogOptions.h"

namespace kelvane {

namespace {

bool HeaderHas(std::string_view header, std::string_view title) {
    return header.find(title) != std::string_view::npos;
}

bool Lh22Config(int config) {
    return config == LHConfigMaf || config == LHConfigHexaMaf;
}

bool AnyConfig(int config) {
    return config >= LHConfigMaf && config <= LHConfigMap;
}

}  // namespace

TEngineSetup LogFileOptionsPreselection(std::string_view headerLine, const TEngineSetup& current) {
    TEngineSetup result;
    result.EZKVersion = current.EZKVersion;
    if (HeaderHas(headerLine, "MAP [kPa]")) {
        result.LHVersion = LHVersion23;
        result.LHConfig = LHConfigMap;
    } else if (HeaderHas(headerLine,
                         "Air temp [\xB0"
                         "C]") ||
               HeaderHas(headerLine,
                         "Air temp [\xC2\xB0"
                         "C]") ||
               HeaderHas(headerLine, "Barometric pressure [kPa]")) {
        result.LHVersion = LHVersion23;
        result.LHConfig = LHConfigAlpha;
    } else if ((current.LHVersion == LHVersion23 && AnyConfig(current.LHConfig)) ||
               (current.LHVersion == LHVersion22 && Lh22Config(current.LHConfig))) {
        result.LHVersion = current.LHVersion;
        result.LHConfig = current.LHConfig;
    }
    return result;
}

bool LogFileOptionsComplete(const TEngineSetup& choice) {
    if (choice.LHVersion == LHVersion22) return Lh22Config(choice.LHConfig);
    return choice.LHVersion == LHVersion23 &&
           (choice.EZKVersion == EZKVersionGT || choice.EZKVersion == EZKVersionS4) &&
           AnyConfig(choice.LHConfig);
}

}  // namespace kelvane
