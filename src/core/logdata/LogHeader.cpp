#include "core/logdata/LogHeader.h"

namespace kelvane {

namespace {

constexpr std::array<std::string_view, FieldCount> FieldTitles{
    "Time [s]",
    "RPM",
    "MAF signal",
    "MAF signal [%]",
    "MAF voltage [V]",
    "MAP [kPa]",
    "A/F ratio",
    "O2 sensor adj [%]",
    "Throttle pos (1=idle, 2=cruise, 3=WOT)",
    "Inj PW [ms]",
    "Inj duty cycle [%]",
    "Flappy (1=open, 0=closed)",
    "Battery [v]",
    "Coolant temp [\xB0"
    "C]",
    "Coolant temp [\xB0"
    "F]",
    "Air temp [\xB0"
    "C]",
    "Barometric pressure [kPa]",
    "Load [%]",
    "Ign adv [\xB0]",
    "Knock count",
    "KR1",
    "KR2",
    "KR3",
    "KR4",
    "KR5",
    "KR6",
    "KR7",
    "KR8",
};

// Column-set flag of each field, -1 for titles that set none.
constexpr std::array<int, FieldCount> FieldColumnFlag{
    ColTime,
    ColRpm,
    ColMafSignal,
    ColMafPercent,
    ColMafVoltage,
    ColMapPressure,
    ColAfr,
    ColO2Adjust,
    ColThrottle,
    ColInjPulseWidth,
    ColInjDutyCycle,
    ColFlappy,
    -1,
    ColCoolantTemp,
    ColCoolantTemp,
    ColAirTemp,
    ColBaroPressure,
    ColLoad,
    ColIgnAdvance,
    ColKnockCount,
    ColKnockRetard,
    -1,
    -1,
    -1,
    -1,
    -1,
    -1,
    -1,
};

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares a trimmed header title with a known title, ignoring ASCII case and reading the
// UTF-8 degree sign C2 B0 as the single byte B0.
bool TitleMatches(std::string_view title, std::string_view known) {
    std::size_t i = 0, k = 0;
    while (i < title.size() && k < known.size()) {
        char c = title[i];
        if (c == '\xC2' && i + 1 < title.size() && title[i + 1] == '\xB0') {
            c = '\xB0';
            ++i;
        }
        if (LowerAscii(c) != LowerAscii(known[k])) return false;
        ++i;
        ++k;
    }
    return i == title.size() && k == known.size();
}

bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 25 || c == ' ';
}

}  // namespace

std::string_view LogFieldTitle(TLogField field) {
    return FieldTitles[field];
}

std::string_view TrimHeaderTitle(std::string_view title) {
    while (!title.empty() && IsTrimmed(title.front())) title.remove_prefix(1);
    while (!title.empty() && IsTrimmed(title.back())) title.remove_suffix(1);
    return title;
}

TLogHeader ParseLogHeader(std::string_view headerLine) {
    TLogHeader header;
    header.ColumnOf.fill(-1);
    std::size_t start = 0;
    int column = 0;
    while (true) {
        const std::size_t tab = headerLine.find('\t', start);
        const std::string_view title =
            TrimHeaderTitle(headerLine.substr(start, tab == std::string_view::npos ? tab : tab - start));
        std::int8_t field = NoField;
        for (int f = 0; f < FieldCount; ++f) {
            if (TitleMatches(title, FieldTitles[f])) {
                if (header.ColumnOf[f] < 0) {
                    header.ColumnOf[f] = column;
                    field = static_cast<std::int8_t>(f);
                }
                break;
            }
        }
        header.FieldOfColumn.push_back(field);
        ++column;
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    // Both coolant titles feed one field; the Celsius column is preferred when a log has both.
    if (header.Has(FieldCoolantC) && header.Has(FieldCoolantF))
        header.FieldOfColumn[static_cast<std::size_t>(header.ColumnOf[FieldCoolantF])] = NoField;
    return header;
}

bool TLogHeader::Accepted() const {
    return Has(FieldTime) && Has(FieldRpm) && (Has(FieldAfr) || Has(FieldO2Adjust)) &&
           (Has(FieldMafSignal) || Has(FieldLoad));
}

std::string TLogHeader::RejectionMessage() const {
    std::string list;
    for (const TLogField field : {FieldTime, FieldRpm, FieldMafSignal, FieldAfr}) {
        if (Has(field)) continue;
        if (!list.empty()) list += ", ";
        list += '"';
        list += FieldTitles[field];
        list += '"';
    }
    return "The following headers were not found in the log file: " + list +
           "\nLogs must include Time, RPM, MAF-signal and AFR.";
}

void TLogHeader::MarkColumns(TColumnSet& columns) const {
    for (int f = 0; f < FieldCount; ++f)
        if (Has(static_cast<TLogField>(f)) && FieldColumnFlag[f] >= 0) columns[FieldColumnFlag[f]] = 1;
}

}  // namespace kelvane
