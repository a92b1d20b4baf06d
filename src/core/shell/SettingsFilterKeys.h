#pragma once

#include <array>
#include <string_view>

#include "core/ground/IniFile2.h"
#include "core/ground/IniKeys.h"
#include "core/logdata/FilterSettings.h"

namespace kelvane {

// One filter setting as it is stored: under a long key in a "Settings"
// section (main and project files) and under a short key in section "Filter"
// of the main file. Exactly one of Number and Switch is set.
struct TFilterKey {
    std::string_view SettingsKey;
    std::string_view FilterKey;
    double TFilterSettings::*Number = nullptr;
    bool TFilterSettings::*Switch = nullptr;
    int Decimals = 0;
};

extern const std::array<TFilterKey, 12> FilterKeys;

// Section "Filter" of the main file, with its own defaults; a decimal comma
// is not taken there.
void ReadFilterSection(const TIniFile2& ini, TFilterSettings& filters);
[[nodiscard]] bool WriteFilterSection(TIniFile2& ini, const TFilterSettings& filters);

// The long keys in section "Settings".
[[nodiscard]] bool WriteFilterSettingsKeys(TIniFile2& ini, const TFilterSettings& filters);

}  // namespace kelvane
