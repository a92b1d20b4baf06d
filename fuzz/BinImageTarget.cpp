#include "FuzzSupport.h"
#include "core/maps/BinFileUtils.h"
#include "core/shell/MapLoading.h"

namespace kelvane::fuzz {

namespace {

// A read that fails leaves the caller's data as it was.
template <typename TValue, typename TRead>
void CheckRead(TRead read, std::string_view what) {
    TValue value{};
    const TValue before = value;
    if (!read(value)) Check(SameBytes(value, before), what);
}

void ReadEveryLHPart(const TLHbinFile& image) {
    (void)image.IsValid();
    (void)image.IsLH22Image();
    for (const TLHMapSource source :
         {TLHbinFile::CatMap, TLHbinFile::NoCatMap, TLHbinFile::PrimaryLoadMap, TLHMapSource::Text}) {
        CheckRead<TMapGrid>([&](TMapGrid& grid) { return image.ReadMap(source, grid); },
                            "a refused LH map read leaves the grid");
    }
    CheckRead<TWotMap>([&](TWotMap& values) { return image.ReadCatWotMap(values); }, "a refused WOT read");
    CheckRead<TWotMap>([&](TWotMap& values) { return image.ReadNoCatWotMap(values); }, "a refused WOT read");
    TWotMap wot{};
    if (image.ReadCatWotMap(wot)) (void)TLHbinFile::WotMapZeroed(wot);
    (void)image.RpmAxis();
    (void)image.LoadAxis();
    (void)image.AdaptationDisabled();
    (void)image.CatMapInUse();
    (void)image.NoCatMapInUse();
    (void)image.PrimaryLoadMapInUse();
    (void)image.LoadSensor();
    Check(image.IsValid() ==
              (TLHbinFile::IsDeviceImage(image.Data()) || TLHbinFile::IsLH22ImageData(image.Data())),
          "an LH image is valid as a device image or as LH 2.2 data");
}

void ReadEveryEZKPart(const TEZKbinFile& image) {
    Check(image.IsValid() == TEZKbinFile::IsValidData(image.Data()), "the EZK size tests agree");
    Check(image.HasSignature() == TEZKbinFile::HasSignatureData(image.Data()),
          "the EZK signature tests agree");
    for (const TEZKMapSource source :
         {TEZKbinFile::Cat98Map, TEZKbinFile::NoCat98Map, TEZKbinFile::Octane91Map, TEZKMapSource::Text}) {
        CheckRead<TMapGrid>([&](TMapGrid& grid) { return image.ReadMap(source, grid); },
                            "a refused EZK map read leaves the grid");
        CheckRead<TMapGrid>([&](TMapGrid& grid) { return image.ReadWotCurve(source, grid); },
                            "a refused EZK curve read leaves the grid");
    }
    Check(image.RpmAxis().has_value() == image.IsValid(), "an EZK image has its RPM axis when valid");
    (void)image.GtRpmGrid();
    (void)image.WotMapDisabled();
    (void)image.LoadSensor();
}

constexpr TBinMapChoice Answers[] = {TBinMapChoice::Cancel,      TBinMapChoice::NoChoice,
                                     TBinMapChoice::Cat,         TBinMapChoice::NoCat,
                                     TBinMapChoice::PrimaryLoad, TBinMapChoice::Octane91};

}  // namespace

int FuzzBinImage(const std::uint8_t* data, std::size_t size) {
    const TBinBytes bytes(data, data + size);
    ReadEveryLHPart(TLHbinFile(bytes));
    ReadEveryEZKPart(TEZKbinFile(bytes));
    const TBinImageKind kind = ClassifyBinImage(bytes);
    (void)BinImageKindText(kind);

    const std::filesystem::path path = WriteScratchFile("image.bin", AsText(data, size));
    Check(ClassifyBinFile(path) == kind, "a file is classified as its bytes are");
    Check(TLHbinFile::IsLHbinFile(path) == TLHbinFile(bytes).IsValid(),
          "the LH file test agrees with the image");
    Check(TEZKbinFile::IsEZKbinFile(path) == TEZKbinFile(bytes).HasSignature(),
          "the EZK file test agrees with the image");

    // Map loading through every answer of the bin options dialogs.
    for (const TBinMapChoice answer : Answers) {
        for (auto load : {LoadMapFile, CompareMapFile}) {
            TKelvaneState state;
            const TKelvaneState before = state;
            TFixedChooser chooser(answer);
            const TMapLoadResult result = load(state, path, chooser);
            if (!result.Ok)
                Check(SameMapState(state, before), "a refused or cancelled bin load changes nothing");
            if (chooser.Asked && answer == TBinMapChoice::Cancel)
                Check(!result.Ok, "a cancelled dialog loads nothing");
        }
    }
    for (const TLHMapSource source : {TLHMapSource::Cat, TLHMapSource::NoCat, TLHMapSource::PrimaryLoad}) {
        TKelvaneState state;
        (void)LoadLHReference(state, path, source);
    }
    for (const TEZKMapSource source :
         {TEZKMapSource::Cat98, TEZKMapSource::NoCat98, TEZKMapSource::Octane91}) {
        TKelvaneState state;
        (void)LoadEZKReference(state, path, source);
    }
    return 0;
}

}  // namespace kelvane::fuzz
