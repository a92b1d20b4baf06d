#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/projects/BinWarnings.h"
#include "support/BinTestImages.h"

namespace kelvane {
namespace {

using testing::MakeEZKImage;
using testing::MakeLHDeviceImage;
using testing::PutText;
using testing::PutWord;

enum class TLoad { Maf, HexaMaf, Alpha, Map };

// An LH device image with adaptation off and both WOT maps zeroed, so only
// what a case sets gives a warning.
TBinBytes LHImage(TLoad load, bool catWot = false, bool noCatWot = false, bool adaptation = false) {
    TBinBytes image = MakeLHDeviceImage();
    image.at(0x308D) = adaptation ? 0x00 : 0x80;
    switch (load) {
        case TLoad::Maf:
            break;
        case TLoad::HexaMaf:
            PutWord(image, 0x331E, 0);
            break;
        case TLoad::Alpha:
            image.at(0x3FF6) = 0x7F;
            break;
        case TLoad::Map:
            image.at(0x3FF6) = 0x1F;
            break;
    }
    if (catWot) image.at(0x378B) = 5;
    if (noCatWot) image.at(0x37AF) = 5;
    return image;
}

TBinBytes EZKImage(TLoad load, bool wotDisabled = true) {
    TBinBytes image = MakeEZKImage();
    image.at(0x3FEB) = load == TLoad::Alpha ? 2 : load == TLoad::HexaMaf ? 1 : 0;
    if (wotDisabled) image.at(0x0BF2) = '?';
    return image;
}

const std::string Tail = "\nThis may prevent sensible map adjustments.";

TEST(BinWarningsTest, KindsThatDoNotBelongTogetherConflict) {
    struct TCase {
        TLoad Lh, Ezk;
        std::string Expected;
    };
    for (const TCase& c :
         {TCase{TLoad::Map, TLoad::Alpha, ""}, TCase{TLoad::Alpha, TLoad::Alpha, ""},
          TCase{TLoad::Maf, TLoad::Maf, ""},
          TCase{TLoad::Maf, TLoad::HexaMaf, "Conflicting Bin-Files: LH is MAF,\nwhile EZK is HexaMAF" + Tail},
          TCase{TLoad::Alpha, TLoad::Maf, "Conflicting Bin-Files: LH is VX-Alpha,\nwhile EZK is MAF" + Tail},
          TCase{TLoad::Map, TLoad::HexaMaf,
                "Conflicting Bin-Files: LH is VX-MAP,\nwhile EZK is HexaMAF" + Tail}}) {
        const TLHbinFile lh(LHImage(c.Lh));
        const TEZKbinFile ezk(EZKImage(c.Ezk));
        EXPECT_EQ(BinWarningText(&lh, TLHMapSource::Cat, &ezk), c.Expected)
            << BinKindName(lh) << " / " << BinKindName(ezk);
    }
}

TEST(BinWarningsTest, TheMapInUseDecidesWhichWotMapMustBeZero) {
    struct TCase {
        bool CatWot, NoCatWot;
        TLHMapSource InUse;
        std::string Expected;
    };
    for (const TCase& c :
         {TCase{true, false, TLHMapSource::Cat, "Cat WOT map was not zero'ed." + Tail},
          TCase{false, true, TLHMapSource::Cat, ""},
          TCase{false, true, TLHMapSource::NoCat, "No-cat WOT map was not zero'ed." + Tail},
          TCase{false, true, TLHMapSource::PrimaryLoad, "No-cat WOT map was not zero'ed." + Tail},
          TCase{true, false, TLHMapSource::PrimaryLoad, "Cat WOT map was not zero'ed." + Tail},
          TCase{true, true, TLHMapSource::PrimaryLoad, "Neither WOT map was zero'ed." + Tail},
          TCase{true, true, TLHMapSource::Text, ""}}) {
        const TLHbinFile lh(LHImage(TLoad::Maf, c.CatWot, c.NoCatWot));
        EXPECT_EQ(BinWarningText(&lh, c.InUse, nullptr), c.Expected);
    }
}

TEST(BinWarningsTest, AdaptationAndTheEZKWotMapAddLines) {
    const TLHbinFile lh(LHImage(TLoad::Maf, true, false, true));
    const TEZKbinFile ezk(EZKImage(TLoad::Maf, false));
    EXPECT_EQ(
        BinWarningText(&lh, TLHMapSource::Cat, &ezk),
        "O2 Adaptation was enabled!\nCat WOT map was not zero'ed.\nEZK's WOT map was not disabled." + Tail);
    EXPECT_EQ(BinWarningText(nullptr, TLHMapSource::Text, &ezk), "EZK's WOT map was not disabled." + Tail);
    EXPECT_EQ(BinWarningText(nullptr, TLHMapSource::Text, nullptr), "");
}

}  // namespace
}  // namespace kelvane
