#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/maps/MapSets.h"
#include "core/maps/MapText.h"
#include "core/projects/MapBoxes.h"
#include "support/BinTestImages.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using testing::MakeEZKImage;
using testing::MakeLHDeviceImage;
using testing::WriteBytes;

std::string LHMapText() {
    return MapFileText(FilledGrid(100), 0);
}
std::string EZKMapText() {
    return MapFileText(FilledGrid(25.5), 1);
}

using TBox = std::vector<std::string>;

TEST(MapBoxesTest, SessionMapFilesGoIntoTheBoxOfTheirKindAndRole) {
    TTempFolder session;
    const fs::path s = session.Path();
    WriteText(s / "Base fuel map.txt", LHMapText());
    WriteText(s / "Initial LH map.txt", LHMapText());
    WriteText(s / "Base EZK map.txt", EZKMapText());
    WriteText(s / "Updated (Base fuel map) fuel map.txt", LHMapText());
    WriteText(s / "Updated (Base EZK map) Ign map.txt", EZKMapText());
    WriteText(s / "Adjusted ignition map.txt", EZKMapText());
    WriteText(s / "Starting fuel map.txt", EZKMapText());  // not a valid LH map: left out
    WriteText(s / "Base EZK Map broken.txt", "1\t2\n");
    WriteText(s / "Run1 fuel map base.txt", LHMapText());  // a log's name
    WriteText(s / "fuel map.txt", LHMapText());            // neither starting nor updated
    WriteText(s / "Base map.txt", LHMapText());            // neither fuel nor ignition
    WriteBytes(s / "Stock.bin", MakeLHDeviceImage());
    WriteBytes(s / "Ezk.bin", MakeEZKImage());
    WriteBytes(s / "Odd.bin", {1, 2, 3});  // every other bin file is offered as fuel

    const TMapBoxChoices boxes = ClassifySessionMaps(s, {"", "", "/maps/Project fuel.txt", ""});
    EXPECT_EQ(boxes[MapBoxIndex(TMapBox::LHStarting)],
              (TBox{"Base fuel map.txt", "Initial LH map.txt", "Odd.bin", "Stock.bin"}));
    EXPECT_EQ(boxes[MapBoxIndex(TMapBox::EZKStarting)], (TBox{"Base EZK map.txt", "Ezk.bin"}));
    EXPECT_EQ(boxes[MapBoxIndex(TMapBox::LHUpdated)],
              (TBox{"Updated (Base fuel map) fuel map.txt", "/maps/Project fuel.txt"}));
    EXPECT_EQ(boxes[MapBoxIndex(TMapBox::EZKUpdated)],
              (TBox{"Adjusted ignition map.txt", "Updated (Base EZK map) Ign map.txt"}));
}

TEST(MapBoxesTest, ABoxTextNamesAFileInTheSessionUnlessItIsAFullPath) {
    EXPECT_EQ(MapBoxPath("/p/s", "Base fuel map.txt"), fs::path("/p/s/Base fuel map.txt"));
    EXPECT_EQ(MapBoxPath("/p/s", "/maps/Stock.bin"), fs::path("/maps/Stock.bin"));
    EXPECT_TRUE(MapBoxPath("/p/s", "").empty());
    EXPECT_EQ(MapBoxKey(TMapBox::EZKUpdated), "EZK Updated Map File");
}

}  // namespace
}  // namespace kelvane
