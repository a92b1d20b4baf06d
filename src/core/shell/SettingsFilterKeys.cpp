#include "core/shell/SettingsFilterKeys.h"

#include "core/ground/IniKeys.h"
#include "core/shell/Settings.h"

namespace kelvane {

const std::array<TFilterKey, 12> FilterKeys{{
    {FiltersEnabledKey, FiltersEnabledKey, nullptr, &TFilterSettings::FiltersEnabled, 0},
    {FilterMaxAfrKey, MaxAfrKey, &TFilterSettings::MaxAfr, nullptr, 1},
    {FilterMaxAfrEnabledKey, MaxAfrEnabledKey, nullptr, &TFilterSettings::MaxAfrEnabled, 0},
    {FilterMaxRpmSlopeKey, MaxRpmSlopeKey, &TFilterSettings::MaxRpmSlope, nullptr, 0},
    {FilterMaxRpmSlopeEnabledKey, MaxRpmSlopeEnabledKey, nullptr, &TFilterSettings::MaxRpmSlopeEnabled, 0},
    {FilterMaxMafSlopeKey, MaxMafSlopeKey, &TFilterSettings::MaxMafSlope, nullptr, 0},
    {FilterMaxMafSlopeEnabledKey, MaxMafSlopeEnabledKey, nullptr, &TFilterSettings::MaxMafSlopeEnabled, 0},
    {FilterIncludeIdleKey, IncludeIdleKey, nullptr, &TFilterSettings::IncludeIdle, 0},
    {FilterIncludeCruiseKey, IncludeCruiseKey, nullptr, &TFilterSettings::IncludeCruise, 0},
    {FilterIncludeWotKey, IncludeWotKey, nullptr, &TFilterSettings::IncludeWot, 0},
    {FilterInhibitBeforeKey, InhibitBeforeKey, &TFilterSettings::InhibitBefore, nullptr, 1},
    {FilterInhibitAfterKey, InhibitAfterKey, &TFilterSettings::InhibitAfter, nullptr, 1},
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
