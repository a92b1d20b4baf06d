#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/logdata/KelvaneDefs.h"

namespace kelvane {

// The recognised header titles, one per distinct title.
enum TLogField : int {
    FieldTime,
    FieldRpm,
    FieldMafSignal,
    FieldMafPercent,
    FieldMafVoltage,
    FieldMapPressure,
    FieldAfr,
    FieldO2Adjust,
    FieldThrottle,
    FieldInjPulseWidth,
    FieldInjDutyCycle,
    FieldFlappy,
    FieldBattery,
    FieldCoolantC,
    FieldCoolantF,
    FieldAirTemp,
    FieldBaroPressure,
    FieldLoad,
    FieldIgnAdvance,
    FieldKnockCount,
    FieldKr1,  // .. FieldKr1 + 7 for "KR8"
    FieldCount = FieldKr1 + KnockCylinders
};

constexpr std::int8_t NoField = -1;

// The header title of a field as the device writes it (degree sign as byte B0).
std::string_view LogFieldTitle(TLogField field);

// A header title as compared: leading and trailing spaces and control bytes 0 .. 25 removed.
std::string_view TrimHeaderTitle(std::string_view title);

struct TLogHeader {
    std::array<int, FieldCount> ColumnOf;    // 0-based column of each title, -1 when absent
    std::vector<std::int8_t> FieldOfColumn;  // the field each column feeds, NoField for none

    bool Has(TLogField field) const { return ColumnOf[field] >= 0; }
    // Time, RPM, an AFR or O2 column, and a MAF signal or load column.
    bool Accepted() const;
    // The error text for a header that is not accepted.
    std::string RejectionMessage() const;
    // Sets the column-set flags of the recognised columns.
    void MarkColumns(TColumnSet& columns) const;
};

// Matches each TAB-separated title without regard to case; the first column with a title
// wins. A degree sign may be the byte B0 or the UTF-8 pair C2 B0.
TLogHeader ParseLogHeader(std::string_view headerLine);

}  // namespace kelvane
