#pragma once

namespace kelvane {

// LH version; not set is treated as LH 2.3.
enum class TLHVersion : int { Unset = 0, LH23 = 1, LH22 = 2 };

// LH configuration; not set is treated as MAF.
enum class TLHConfig : int { Unset = 0, Maf = 1, HexaMaf = 2, Alpha = 3, Map = 4 };

// EZK version; not set is treated as S4 / GTS.
enum class TEZKVersion : int { Unset = 0, S4 = 1, GT = 2 };

struct TEngineSetup {
    TLHVersion LHVersion = TLHVersion::Unset;
    TLHConfig LHConfig = TLHConfig::Unset;
    TEZKVersion EZKVersion = TEZKVersion::Unset;

    bool operator==(const TEngineSetup&) const = default;
};

// The codes as files store them. A stored number outside the range reads as
// not set, as an unknown settings text does.
constexpr TLHVersion LHVersionFromCode(int code) {
    return code >= 1 && code <= 2 ? static_cast<TLHVersion>(code) : TLHVersion::Unset;
}
constexpr TLHConfig LHConfigFromCode(int code) {
    return code >= 1 && code <= 4 ? static_cast<TLHConfig>(code) : TLHConfig::Unset;
}
constexpr TEZKVersion EZKVersionFromCode(int code) {
    return code >= 1 && code <= 2 ? static_cast<TEZKVersion>(code) : TEZKVersion::Unset;
}
constexpr int CodeOf(TLHVersion version) {
    return static_cast<int>(version);
}
constexpr int CodeOf(TLHConfig config) {
    return static_cast<int>(config);
}
constexpr int CodeOf(TEZKVersion version) {
    return static_cast<int>(version);
}

}  // namespace kelvane
