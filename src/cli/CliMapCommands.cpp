#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cli/CliCommands.h"
#include "cli/CliLoading.h"
#include "cli/CliOutput.h"
#include "core/ground/PathText.h"
#include "core/maps/BinFileUtils.h"
#include "core/maps/MapText.h"

namespace kelvane::cli {

namespace {

std::string_view LHLoadSensorText(TLHLoadSensor sensor) {
    switch (sensor) {
        case TLHLoadSensor::Maf:
            break;
        case TLHLoadSensor::HexaMaf:
            return "HexaMAF";
        case TLHLoadSensor::Alpha:
            return "VX-Alpha (TPS)";
        case TLHLoadSensor::Map:
            return "VX MAP";
    }
    return "MAF";
}

std::string_view EZKLoadSensorText(TEZKLoadSensor sensor) {
    switch (sensor) {
        case TEZKLoadSensor::Maf:
            break;
        case TEZKLoadSensor::HexaMaf:
            return "HexaMAF";
        case TEZKLoadSensor::Alpha:
            return "VX-Alpha";
    }
    return "MAF";
}

void YesNo(TOutput& out, std::string_view name, bool value) {
    out.Text(name).Text(": ").Text(value ? "yes" : "no").Line();
}

// "name:" and the 16 breakpoints; nothing after the colon when the image
// holds no such axis (an LH 2.2 chip image), so no default table is passed
// off as the image's own.
void AxisLine(TOutput& out, std::string_view name, const std::optional<TMapAxis>& axis) {
    out.Text(name).Char(':');
    if (axis) out.Tab().Values(*axis);
    out.Line();
}

void PrintLHImage(TOutput& out, const TLHbinFile& image, bool lh22) {
    TWotMap catWot{}, noCatWot{};
    const bool haveCatWot = image.ReadCatWotMap(catWot);
    const bool haveNoCatWot = image.ReadNoCatWotMap(noCatWot);
    YesNo(out, "adaptation disabled", image.AdaptationDisabled());
    YesNo(out, "cat map in use", image.CatMapInUse());
    YesNo(out, "no-cat map in use", image.NoCatMapInUse());
    YesNo(out, "primary load map in use", image.PrimaryLoadMapInUse());
    out.Text("load sensor: ").Text(LHLoadSensorText(image.LoadSensor())).Line();
    YesNo(out, "cat wot zeroed", haveCatWot && TLHbinFile::WotMapZeroed(catWot));
    YesNo(out, "no-cat wot zeroed", haveNoCatWot && TLHbinFile::WotMapZeroed(noCatWot));
    AxisLine(out, "rpm axis", image.RpmAxis());
    AxisLine(out, "load axis", image.LoadAxis());

    struct TMapChoice {
        TLHMapSource Which;
        std::string_view Name;
    };
    for (const TMapChoice map :
         {TMapChoice{TLHbinFile::CatMap, "cat"}, TMapChoice{TLHbinFile::NoCatMap, "no-cat"},
          TMapChoice{TLHbinFile::PrimaryLoadMap, "primary load map"}}) {
        if (lh22 && map.Which == TLHbinFile::PrimaryLoadMap) continue;
        TMapGrid grid{};
        if (image.ReadMap(map.Which, grid)) out.GridBlock(map.Name, grid);
    }
    if (haveCatWot) out.RowBlock("cat wot", catWot);
    if (haveNoCatWot) out.RowBlock("no-cat wot", noCatWot);
}

void PrintEZKImage(TOutput& out, const TEZKbinFile& image) {
    YesNo(out, "gt rpm grid", image.GtRpmGrid());
    YesNo(out, "wot map disabled", image.WotMapDisabled());
    out.Text("load sensor: ").Text(EZKLoadSensorText(image.LoadSensor())).Line();
    AxisLine(out, "rpm axis", image.RpmAxis());

    struct TMapChoice {
        TEZKMapSource Which;
        std::string_view Name;
    };
    constexpr TMapChoice Maps[] = {{TEZKbinFile::Cat98Map, "98 cat"},
                                   {TEZKbinFile::NoCat98Map, "98 no-cat"},
                                   {TEZKbinFile::Octane91Map, "91"}};
    for (const TMapChoice map : Maps) {
        TMapGrid grid{};
        if (image.ReadMap(map.Which, grid)) out.GridBlock(map.Name, grid);
    }
    for (const TMapChoice map : Maps) {
        TMapGrid grid{};
        if (!image.ReadWotCurve(map.Which, grid)) continue;
        TMapAxis curve{};  // the curve sits in load row 0
        for (int rpm = 0; rpm < MapSize; ++rpm) curve[static_cast<std::size_t>(rpm)] = grid.At(rpm, 0);
        out.RowBlock(std::string(map.Name) + " wot", curve);
    }
}

}  // namespace

int RunBin(const TCliOptions& options) {
    const std::filesystem::path file = PathOfText(options.Files.front());
    TBinBytes data;
    if (!ReadBinImageFile(file, data)) {
        std::fprintf(stderr, "Cannot read %s\n", options.Files.front().c_str());
        return 1;
    }
    const TBinImageKind kind = ClassifyBinImage(data);
    TOutput out(stdout);
    out.Text("kind: ").Text(BinImageKindText(kind)).Line();
    switch (kind) {
        case TBinImageKind::LHDevice:
        case TBinImageKind::LH22:
            PrintLHImage(out, TLHbinFile(std::move(data), file), kind == TBinImageKind::LH22);
            break;
        case TBinImageKind::EZKSignature:
        case TBinImageKind::EZKSizeOnly:
            PrintEZKImage(out, TEZKbinFile(std::move(data), file));
            break;
        case TBinImageKind::NotBinImage:
            out.Flush();
            return 1;
    }
    return out.Flush() ? 0 : 1;
}

int RunMap(const TCliOptions& options) {
    const std::filesystem::path file = PathOfText(options.Files.front());
    if (!IsReadableFile(file)) {
        std::fprintf(stderr, "Cannot read %s\n", options.Files.front().c_str());
        return 1;
    }
    const bool lh = IsLHMapText(file);
    const bool ezk = !lh && IsEZKMapText(file);
    TOutput out(stdout);
    out.Text("kind: ").Text(lh ? "LH" : ezk ? "EZK" : "none").Line();
    // The kind goes out before any complaint about the file.
    out.Flush();
    if (!lh && !ezk) return 1;
    TMapGrid grid{};
    if (!ReadMapTextFile(file, lh ? TMapTextKind::LH : TMapTextKind::EZK, grid)) return 1;
    out.GridBlock("map", grid);
    return out.Flush() ? 0 : 1;
}

}  // namespace kelvane::cli
