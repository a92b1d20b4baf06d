#include <cmath>

#include "FuzzSupport.h"
#include "core/ground/FileDefs.h"
#include "core/ground/SettingsValues.h"
#include "core/logdata/LogNumbers.h"
#include "core/maps/MapFields.h"
#include "core/maps/MapText.h"
#include "core/mapwindows/MapCellTexts.h"
#include "core/mapwindows/MapGridSelection.h"
#include "core/plot/CellTexts.h"
#include "core/plot/PlotText.h"
#include "core/plot/Readouts.h"
#include "core/shell/StartupWindowRules.h"

namespace kelvane::fuzz {

namespace {

// The first bytes as a number of any bit pattern (NaN, infinities, huge).
double NumberOf(const std::uint8_t* data, std::size_t size) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, std::min<std::size_t>(size, sizeof bits));
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void CheckNumberTexts(double value, int decimals) {
    const std::string text = FormatNumber(value, decimals);
    if (!text.empty())
        Check(std::isfinite(ParseNumber(text, TDecimalComma::Refused, NAN)), "a number text reads");
    Check(MapFileValueText(value, decimals % 4).size() <= 6, "a map file value has at most 6 characters");
    for (const int width : {1, 5, 8, 12})
        Check(WidthText(value, width, decimals % 4).size() == static_cast<std::size_t>(width),
              "a width text fills its width");
    (void)FixedText(value, decimals % 4);
    (void)OverlayValueText(value, TOverlayFormat::WholeNumber);
    (void)OverlayValueText(value, TOverlayFormat::OneDecimal);
    (void)OverlayValueText(value, TOverlayFormat::Percent);
    for (const TFuelMapTab tab : FuelMapTabs) {
        (void)FuelCellText(tab, value);
        (void)FuelEditText(tab, value);
    }
    (void)IgnitionCellText(value);
    (void)AxisHeaderText(value);
    (void)AdjustmentPercentText(value);
}

void CheckParsers(std::string_view text) {
    (void)ParseNumber(text, TDecimalComma::Refused, 0.0);
    (void)ParseNumber(text, TDecimalComma::Accepted, 0.0);
    (void)ParseInteger(text, 0);
    (void)ParseBool(text, false);
    if (const auto size = ParseWindowSize(text)) {
        Check(ParseWindowSize(FormatWindowSize(*size)) == size, "a window size reads back as written");
        // Any stored placement is put on the screen without an overflow.
        const TWindowSize screen{0, 0, 1920, 1080};
        const TWindowSize kept = KeepOnScreen(*size, screen);
        Check(kept.Left >= 0 && kept.Left + kept.Width <= 1920, "a kept window is on the screen");
        (void)CentreWithin(*size, size->Width, size->Height, screen);
    }
    (void)MainWindowPlacement(text, 1000, 700, {0, 0, 1920, 1080});
    (void)ToolWindowPosition(text, 400, 300, {0, 0, 1920, 1080});
    if (const auto time = ParseDateTime(text)) {
        const std::string written = FormatDateTime(*time);
        const auto again = ParseDateTime(written);
        Check(again && FormatDateTime(*again) == written, "a date reads back as written");
    }
    for (const char separator : {'.', ','}) {
        (void)IsLogNumber(text.data(), text.data() + text.size(), separator);
        (void)ReadLogNumber(text.data(), text.data() + text.size(), separator);
        double value = 0;
        const char* end = ReadLogNumberField(text.data(), text.data() + text.size(), separator, value);
        Check(end >= text.data() && end <= text.data() + text.size(), "a log field ends inside the line");
    }
    (void)ReadLogInteger(text.data(), text.data() + text.size());
    std::int32_t integer = 0;
    const char* end = ReadLogIntegerField(text.data(), text.data() + text.size(), integer);
    Check(end >= text.data() && end <= text.data() + text.size(), "a log field ends inside the line");
    double mapValue = 0;
    (void)ParseMapNumber(text, TDecimalComma::Accepted, mapValue);
    (void)IsMapNumber(text);
    (void)IsMapInteger(text);
    (void)IsLHMapLine(text);
    (void)IsEZKMapLine(text);
    (void)IsPrimaryLoadMapLine(text);
}

void CheckTextUtilities(std::string_view text) {
    std::string rest(text);
    for (std::size_t guard = 0; !rest.empty(); ++guard) {
        Check(guard <= text.size(), "NextToken always takes something");
        (void)NextToken(rest, "\t,;");
    }
    const std::string trimmed = TrimText(text);
    Check(trimmed.size() <= text.size(), "trimming never adds");
    Check(IsValidFileName(CleanFileName(text)), "a cleaned name is a valid name");
    (void)ContainsText(text.substr(0, text.size() / 2), text.substr(text.size() / 2));
    (void)TrimMapText(text);
    std::size_t pos = 0;
    for (std::size_t guard = 0; pos < text.size(); ++guard) {
        Check(guard <= text.size() + 1, "map fields move forward");
        (void)NextMapField(text, pos, "\t");
    }
}

}  // namespace

int FuzzValueTexts(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    const double value = NumberOf(data, size);
    const int decimals = size > 8 ? data[8] % 21 : 1;
    CheckNumberTexts(value, decimals);
    CheckNumberTexts(ParseNumber(text, TDecimalComma::Accepted, 0.0), decimals);
    std::int64_t whole = 0;
    std::memcpy(&whole, data, std::min<std::size_t>(size, sizeof whole));
    const int width = size > 9 ? data[9] % 40 : 3;
    const std::string padded = ZeroPad(whole, width);
    if (whole >= 0) Check(padded.size() >= static_cast<std::size_t>(width), "ZeroPad fills its width");
    CheckParsers(text);
    CheckTextUtilities(text);
    return 0;
}

}  // namespace kelvane::fuzz
