#include "FuzzSupport.h"
#include "core/display/ColorTableFile.h"
#include "core/display/ColorTableSettings.h"

namespace kelvane::fuzz {

int FuzzColorTable(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    TIniFile2 ini(WriteScratchFile("Kelvane.ini", text));
    const TColorScale loaded = LoadColorTable(ini);
    for (const double value : {-1e300, 0.0, 10.0, 14.7, 17.0, 1e300})
        (void)ColorLookup(loaded.Table, 128, value);
    (void)ColorTableKeyValue(text);
    (void)ColorTableColorValue(text);

    // Saved and loaded, a table settles: the entries are stored with one
    // decimal, and two that round alike share one key, so after a first round
    // the table must come back as it was saved.
    if (!SaveColorTable(ini, loaded)) return 0;
    const TColorScale settled = LoadColorTable(ini);
    Check(settled.TableNumber == loaded.TableNumber, "the table number is kept");
    Check(SaveColorTable(ini, settled), "a table that was saved saves again");
    TColorScale once = LoadColorTable(ini);
    Check(SaveColorTable(ini, once), "a table that was saved saves again");
    const TColorScale twice = LoadColorTable(ini);
    Check(twice.Table == once.Table && twice.TableNumber == once.TableNumber, "a saved table loads as saved");
    return 0;
}

}  // namespace kelvane::fuzz
