#include "core/display/ColorTableFile.h"

#include <string>
#include <vector>

#include "core/display/ColorTableSettings.h"
#include "core/ground/IniKeys.h"

namespace kelvane {

namespace {

bool WriteTable(TIniFile2& ini, int number, const TColorTable& table) {
    const std::string section = ColorTableSectionName(number);
    if (!ini.EraseSection(section)) return false;
    for (const TSettingsPair& pair : ColorTableToPairs(table))
        if (!ini.WriteString(section, pair.Key, pair.Value)) return false;
    return true;
}

std::vector<TSettingsPair> ReadPairs(const TIniFile2& ini, int number) {
    std::vector<std::string> lines;
    ini.ReadSectionValues(ColorTableSectionName(number), lines);
    std::vector<TSettingsPair> pairs;
    pairs.reserve(lines.size());
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        pairs.push_back({line.substr(0, equals), line.substr(equals + 1)});
    }
    return pairs;
}

}  // namespace

TColorScale LoadColorTable(TIniFile2& ini) {
    if (ini.ReadInteger(ColorsSection, UseColorTableKey, UseColorTableAbsent) < 0) {
        // First run: store the built-in tables so that they can be edited in
        // the file. A failed write only means the next start tries again.
        // One write of the file for the number and both tables.
        TIniUpdate update(ini);
        if (ini.WriteInteger(ColorsSection, UseColorTableKey, DefaultColorTableNumber)) {
            WriteTable(ini, 1, BuiltInColorTable(1));
            WriteTable(ini, 2, BuiltInColorTable(2));
        }
        (void)update.Commit();
    }
    const int number = ini.ReadInteger(ColorsSection, UseColorTableKey, UseColorTableAbsent);
    if (number < 0) return ColorScaleFromSettings(number, {});
    return ColorScaleFromSettings(number, ReadPairs(ini, number));
}

bool SaveColorTable(TIniFile2& ini, const TColorScale& scale) {
    // Nothing to write when the file already holds the table as it is (erased and
    // written again, its section would move to the end of the file).
    if (ini.ReadInteger(ColorsSection, UseColorTableKey, UseColorTableAbsent) == scale.TableNumber &&
        ReadPairs(ini, scale.TableNumber) == ColorTableToPairs(scale.Table))
        return true;
    // Otherwise one write for the number and the table.
    TIniUpdate update(ini);
    const bool written = ini.WriteInteger(ColorsSection, UseColorTableKey, scale.TableNumber) &&
                         WriteTable(ini, scale.TableNumber, scale.Table);
    return update.Commit() && written;
}

}  // namespace kelvane
