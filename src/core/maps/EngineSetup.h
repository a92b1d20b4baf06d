#pragma once

namespace kelvane {

// LH version: 1 = LH 2.3, 2 = LH 2.2, 0 = not set (treated as LH 2.3).
enum : int { LHVersionUnset = 0, LHVersion23 = 1, LHVersion22 = 2 };

// LH configuration: 0 = not set (treated as MAF).
enum : int { LHConfigUnset = 0, LHConfigMaf = 1, LHConfigHexaMaf = 2, LHConfigAlpha = 3, LHConfigMap = 4 };

// EZK version: 1 = S4 / GTS, 2 = GT, 0 = not set (treated as S4 / GTS).
enum : int { EZKVersionUnset = 0, EZKVersionS4 = 1, EZKVersionGT = 2 };

struct TEngineSetup {
    int LHVersion = LHVersionUnset;
    int LHConfig = LHConfigUnset;
    int EZKVersion = EZKVersionUnset;

    bool operator==(const TEngineSetup&) const = default;
};

}  // namespace kelvane
