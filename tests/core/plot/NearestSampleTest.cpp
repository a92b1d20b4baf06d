#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "core/plot/NearestSample.h"
#include "support/PlotFixture.h"

namespace kelvane {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

// The scan and the index must give one answer; each query is asked of both.
struct NearestSampleTest : ::testing::Test {
    TLogData data;
    TPlotView view = TPlotView::LH;
    TNearestSampleIndex index;

    std::size_t Add(double rpm, double load, bool included = true) {
        TLogDataEntry e = TPlotFixture::Sample(rpm, load, load, 14.0);
        e.Included = included ? 1 : 0;
        data.Entries.push_back(e);
        return data.Count() - 1;
    }
    int Nearest(double rpm, double load) {
        const int scanned = NearestSample(data, view, rpm, load);
        index.Build(data, view);
        EXPECT_EQ(index.Find(rpm, load), scanned) << "at " << rpm << ", " << load;
        return scanned;
    }
};

TEST_F(NearestSampleTest, FirstOfTheNearestWithinReach) {
    EXPECT_EQ(Nearest(2000, 300), -1);  // nothing loaded
    Add(2100, 300);                     // 0: 100 away
    Add(1950, 300);                     // 1: 50 away
    Add(2050, 300);                     // 2: 50 away too, later
    Add(2000, 303);                     // 3: 30 away
    EXPECT_EQ(Nearest(2000, 300), 3);
    data[3].Included = 0;
    EXPECT_EQ(Nearest(2000, 300), 1);  // the earlier of two at the same distance
    data[1].Included = 0;
    EXPECT_EQ(Nearest(2000, 300), 2);
}

TEST_F(NearestSampleTest, ReachEndsJustBelow200) {
    Add(2020, 318);  // 20 rpm and 18 load units away: 200
    EXPECT_EQ(Nearest(2000, 300), -1);
    EXPECT_EQ(Nearest(2000.5, 300), 0);  // 199.5
    EXPECT_EQ(Nearest(2199, 318), 0);
    EXPECT_EQ(Nearest(2220, 318), -1);
    EXPECT_EQ(Nearest(2020, 338), -1);
}

TEST_F(NearestSampleTest, LoadOfTheViewAndOnlyPlaceableSamples) {
    TLogDataEntry e = TPlotFixture::Sample(3000, 500, 40, 14.0);
    data.Entries.push_back(e);
    EXPECT_EQ(Nearest(3000, 500), 0);
    EXPECT_EQ(Nearest(3000, 40), -1);
    view = TPlotView::EZK;
    EXPECT_EQ(Nearest(3000, 40), 0);
    EXPECT_EQ(Nearest(3000, 500), -1);

    // A sample without engine speed or load is nowhere, even for a query
    // made of the same placeholder.
    data[0].Rpm = MissingValue;
    EXPECT_EQ(Nearest(MissingValue, 40), -1);
    data[0].Rpm = 3000;
    data[0].Load = MissingValue;
    EXPECT_EQ(Nearest(3000, MissingValue), -1);
    view = TPlotView::LH;
    EXPECT_EQ(Nearest(3000, 500), 0);
}

TEST_F(NearestSampleTest, WildValuesNeverAnswerWrongly) {
    for (double wild : {NaN, Infinity, -Infinity, 1e300, -1e300, std::numeric_limits<double>::max()}) {
        Add(wild, 300);
        Add(2000, wild);
    }
    Add(2000, 300);
    const std::size_t plain = data.Count() - 1;
    EXPECT_EQ(Nearest(2000, 300), static_cast<int>(plain));
    EXPECT_EQ(Nearest(1e300, 300), 6);  // the sample at 1e300 is exactly there
    for (double query : {NaN, Infinity, -Infinity}) {
        EXPECT_EQ(Nearest(query, 300), -1);
        EXPECT_EQ(Nearest(2000, query), -1);
    }
    EXPECT_EQ(Nearest(-1e300, 300), 8);
    EXPECT_EQ(Nearest(-5000, -300), -1);
}

TEST_F(NearestSampleTest, SamplesAtOnePlaceAnswerWithTheFirstIncluded) {
    Add(900, 120, false);
    for (int i = 0; i < 1000; ++i) Add(900, 120);
    Add(905, 120);
    EXPECT_EQ(Nearest(900, 120), 1);
    EXPECT_EQ(Nearest(910, 120), 1001);
    data[1].Included = 0;
    EXPECT_EQ(Nearest(900, 120), 2);
}

TEST_F(NearestSampleTest, IndexStateAndReset) {
    EXPECT_FALSE(index.Built());
    EXPECT_EQ(index.Find(2000, 300), -1);
    Add(2000, 300);
    index.Build(data, view);
    EXPECT_TRUE(index.Built());
    EXPECT_EQ(index.Find(2000, 300), 0);
    index.Reset();
    EXPECT_FALSE(index.Built());
    EXPECT_EQ(index.Find(2000, 300), -1);
    data.Entries.clear();
    index.Build(data, view);
    EXPECT_TRUE(index.Built());
    EXPECT_EQ(index.Find(2000, 300), -1);
}

// Logs on a coarse lattice (many equal distances, many repeats), with
// excluded and missing values, some wild ones, and spreads from one spot to
// a range far wider than any engine; queries on the lattice, between its
// points, anywhere and far off.
TEST_F(NearestSampleTest, IndexAgreesWithTheScanOnRandomLogs) {
    std::mt19937 random(20240611);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto chance = [&](double p) { return uniform(0, 1) < p; };
    const double spreads[] = {0, 50, 7000, 2e6};
    int checked = 0, found = 0;
    for (int round = 0; round < 32; ++round) {
        const double spread = spreads[round % 4];
        const double step = round % 3 == 0 ? 10 : 0.5;
        const int count =
            round % 8 == 0 ? static_cast<int>(uniform(1, 5)) : static_cast<int>(uniform(50, 6000));
        const auto lattice = [&](double low, double high, double unit) {
            return std::round(uniform(low, high) / unit) * unit;
        };
        data.Entries.clear();
        for (int i = 0; i < count; ++i) {
            const double rpm = lattice(500, 500 + spread, step * 4);
            const double load = lattice(-3, -3 + spread / 10, step);
            TLogDataEntry e = TPlotFixture::Sample(rpm, load, load * 0.1, 14.0);
            if (chance(0.1)) e.Included = 0;
            if (chance(0.02)) e.Rpm = MissingValue;
            if (chance(0.02)) e.PlotMaf = MissingValue;
            if (chance(0.02)) e.Load = MissingValue;
            if (round % 5 == 1 && chance(0.01)) e.Rpm = chance(0.5) ? 1e300 : -Infinity;
            if (round % 5 == 1 && chance(0.01)) e.PlotMaf = chance(0.5) ? NaN : -1e250;
            data.Entries.push_back(e);
            if (chance(0.2)) data.Entries.push_back(data.Entries[static_cast<std::size_t>(uniform(0, i))]);
        }
        for (TPlotView v : {TPlotView::LH, TPlotView::EZK}) {
            index.Build(data, v);
            for (int q = 0; q < 200; ++q) {
                double rpm, load;
                if (q % 3 == 0) {
                    const TLogDataEntry& e = data[static_cast<std::size_t>(uniform(0, data.Count() - 1))];
                    rpm = e.Rpm + step * 2 * static_cast<int>(uniform(-3, 3));
                    load = (v == TPlotView::LH ? e.PlotMaf : e.Load) +
                           step / 2 * static_cast<int>(uniform(-3, 3));
                } else {
                    rpm = uniform(0, 1000 + spread);
                    load = uniform(-10, 100 + spread / 10);
                    if (q % 3 == 1) rpm = std::round(rpm / step) * step + step;
                }
                const int scanned = NearestSample(data, v, rpm, load);
                ASSERT_EQ(index.Find(rpm, load), scanned)
                    << "round " << round << " at " << rpm << ", " << load << " of " << data.Count();
                ++checked;
                found += scanned >= 0;
            }
        }
    }
    // The queries were not all too far away to mean anything.
    EXPECT_GT(found, checked / 4);
}

}  // namespace
}  // namespace kelvane
