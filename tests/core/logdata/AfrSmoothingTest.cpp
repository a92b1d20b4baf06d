#include <gtest/gtest.h>

#include <vector>

#include "core/logdata/AfrSmoothing.h"

namespace kelvane {
namespace {

TLogData WithAfr(const std::vector<double>& afr) {
    TLogData data;
    for (double a : afr) {
        TLogDataEntry e;
        e.Afr = a;
        data.Entries.push_back(e);
    }
    return data;
}

TEST(AfrSmoothingTest, SettingOneCopiesAfr) {
    TLogData data = WithAfr({14, 12.5, MissingValue, 15});
    SmoothAfr(data, 1);
    for (const auto& e : data.Entries) EXPECT_EQ(e.SmoothedAfr, e.Afr);
}

TEST(AfrSmoothingTest, EndsUseOnlyTheNeighboursThatExist) {
    TLogData data = WithAfr({10, 20, 30, 40, 50, 60});
    SmoothAfr(data, 3);
    EXPECT_DOUBLE_EQ(data[0].SmoothedAfr, (10 + 0.538 * 20 + 0.076 * 30) / (1 + 0.538 + 0.076));
    EXPECT_DOUBLE_EQ(data[1].SmoothedAfr,
                     (0.538 * 10 + 20 + 0.538 * 30 + 0.076 * 40) / (1 + 2 * 0.538 + 0.076));
    EXPECT_DOUBLE_EQ(data[2].SmoothedAfr, 30);  // symmetric weights over a straight line
    EXPECT_DOUBLE_EQ(data[5].SmoothedAfr, (60 + 0.538 * 50 + 0.076 * 40) / (1 + 0.538 + 0.076));

    SmoothAfr(data, 6);
    EXPECT_DOUBLE_EQ(data[0].SmoothedAfr,
                     (10 + 0.911 * 20 + 0.681 * 30 + 0.395 * 40) / (1 + 0.911 + 0.681 + 0.395));
}

TEST(AfrSmoothingTest, SamplesWithoutAnAfrValueAreLeftOut) {
    // Missing, 0 (an empty field) and below 0 are no value: left out of both sums,
    // and a window holding none (over the weighted offsets) gives MissingValue.
    for (const double none : {MissingValue, 0.0, -1.5}) {
        SCOPED_TRACE(none);
        TLogData data = WithAfr({14, none, none, none, none, 16});
        SmoothAfr(data, 2);
        EXPECT_DOUBLE_EQ(data[0].SmoothedAfr, 14);
        EXPECT_DOUBLE_EQ(data[1].SmoothedAfr, 14);     // only the 14 at offset -1 counts
        EXPECT_EQ(data[2].SmoothedAfr, MissingValue);  // 14 is at offset -2, whose weight is 0
        EXPECT_EQ(data[3].SmoothedAfr, MissingValue);
        EXPECT_DOUBLE_EQ(data[4].SmoothedAfr, 16);
        EXPECT_DOUBLE_EQ(data[5].SmoothedAfr, 16);
    }
}

TEST(AfrSmoothingTest, SettingOutOfRangeLeavesTheList) {
    TLogData data = WithAfr({14, 15});
    data[0].SmoothedAfr = 1;
    for (int setting : {0, 7, -1}) {
        SmoothAfr(data, setting);
        EXPECT_EQ(data[0].SmoothedAfr, 1);
        EXPECT_EQ(data[1].SmoothedAfr, MissingValue);
    }
}

TEST(AfrSmoothingTest, EmptyList) {
    TLogData data;
    SmoothAfr(data, 3);
    EXPECT_TRUE(data.Empty());
}

}  // namespace
}  // namespace kelvane
