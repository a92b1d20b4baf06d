#include "core/shell/SettingsFilterKeys.h"

#include "core/shell/Settings.h"

namespace kelvane {

const std::array<TFilterKey, 12> FilterKeys{{
    {"Filters Enabled", "Filters Enabled", nullptr, &TFilterSettings::FiltersEnabled, 0},
    {"Filter Max AFR", "Max AFR", &TFilterSettings::MaxAfr, nullptr, 1},
    {"Filter Max AFR enabled", "Max AFR Enabled", nullptr, &TFilterSettings::MaxAfrEnabled, 0},
    {"Filter Max RPM Slope", "Max RPM Slope", &TFilterSettings::MaxRpmSlope, nullptr, 0},
    {"Filter Max RPM Slope Enabled", "Max RPM Slope Enabled", nullptr, &TFilterSettings::MaxRpmSlopeEnabled,
     0},
    {"Filter Max MAF Slope", "Max MAF Slope", &TFilterSettings::MaxMafSlope, nullptr, 0},
    {"Filter Max MAF Slope Enabled", "Max MAF Slope Enabled", nullptr, &TFilterSettings::MaxMafSlopeEnabled,
     0},
    {"Filter Include Idle", "Include Idle", nullptr, &TFilterSettings::IncludeIdle, 0},
    {"Filter Include Cruise", "Include Cruise", nullptr, &TFilterSettings::IncludeCruise, 0},
    {"Filter Include WOT", "Include WOT", nullptr, &TFilterSettings::IncludeWot, 0},
    {"Filter Inhibit Before", "Inhibit Before", &TFilterSettings::InhibitBefore, nullptr, 1},
    {"Filter Inhibit After", "Inhibit After", &TFilterSettings::InhibitAfter, nullptr, 1},
}};

namespace {

bool WriteKeys(TIniFile2& ini, std::string_view section, std::string_view TFilterKey::*keyName,
               const TFilterSettings& filters) {
    bool ok = true;
    for (const TFilterKey& key : FilterKeys) {
        const std::string_view name = key.*keyName;
        ok &= key.Number ? ini.WriteNumber(section, name, filters.*key.Number, key.Decimals)
                         : ini.WriteBool(section, name, filters.*key.Switch);
    }
    return ok;
}

}  // namespace

void ReadFilterSection(const TIniFile2& ini, TFilterSettings& filters) {
    constexpr TFilterSettings Defaults = FilterSectionDefaults();
    for (const TFilterKey& key : FilterKeys) {
        if (key.Number)
            filters.*key.Number =
                ini.ReadNumber(FilterSection, key.FilterKey, TDecimalComma::Refused, Defaults.*key.Number);
        else
            filters.*key.Switch = ini.ReadBool(FilterSection, key.FilterKey, Defaults.*key.Switch);
    }
}

bool WriteFilterSection(TIniFile2& ini, const TFilterSettings& filters) {
    return WriteKeys(ini, FilterSection, &TFilterKey::FilterKey, filters);
}

bool WriteFilterSettingsKeys(TIniFile2& ini, const TFilterSettings& filters) {
    return WriteKeys(ini, SettingsSection, &TFilterKey::SettingsKey, filters);
}

}  // namespace kelvane
