#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/logdata/PointFilters.h"

namespace kelvane {
namespace {

// Steady cruise samples at the given times: every one passes on its own.
TLogData Steady(const std::vector<double>& times) {
    TLogData data;
    for (double t : times) {
        TLogDataEntry e;
        e.TimeSec = t;
        e.Rpm = 2500;
        e.PlotMaf = 300;
        e.SmoothedAfr = 14.2;
        e.ThrottleSwitch = 2;
        data.Entries.push_back(e);
    }
    return data;
}

std::vector<double> Spaced(int count, double step, double start = 0) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) times.push_back(start + i * step);
    return times;
}

std::string Mask(const TLogData& data) {
    std::string mask;
    for (const TLogDataEntry& e : data.Entries) mask += e.Included ? '1' : '0';
    return mask;
}

TEST(PointFiltersTest, EmptyListIsLeftAloneAndDirtyFlagCleared) {
    TLogData data;
    bool dirty = true;
    ApplyFilters(data, TFilterSettings{}, dirty);
    EXPECT_TRUE(data.Empty());
    EXPECT_FALSE(dirty);
}

TEST(PointFiltersTest, DisabledFiltersIncludeEverySampleEvenStaleOnes) {
    TLogData data = Steady({0, 0, 0.05, 0.02, 0.1});
    data[2].SmoothedAfr = MissingValue;
    data[3].ThrottleSwitch = 1;
    for (TLogDataEntry& e : data.Entries) e.Included = 0;
    TFilterSettings settings;
    settings.FiltersEnabled = false;
    bool dirty = true;
    ApplyFilters(data, settings, dirty);
    EXPECT_EQ(Mask(data), "11111");
    EXPECT_FALSE(dirty);
}

TEST(PointFiltersTest, FirstAndLastExcludedWithTheirInhibitWindows) {
    // Defaults: 0.3 s after the first sample, 0.2 s before the last one.
    TLogData data = Steady(Spaced(12, 0.125));
    ApplyFilters(data, TFilterSettings{});
    EXPECT_EQ(Mask(data), "000111111100");
}

TEST(PointFiltersTest, RejectedSampleInhibitsItsTimeNeighbours) {
    // 0.125 s apart with defaults: one sample before (inside 0.2 s) and two
    // after (inside 0.3 s) go with the rejected one.
    TLogData data = Steady(Spaced(17, 0.125));
    data[8].SmoothedAfr = 18.0;
    ApplyFilters(data, TFilterSettings{});
    EXPECT_EQ(Mask(data), "00011110000111100");
}

TEST(PointFiltersTest, InhibitBeforeZeroStillTakesTheDirectNeighbour) {
    TFilterSettings settings;
    settings.InhibitBefore = 0;
    settings.InhibitAfter = 0;
    // A sample 0.05 s before the rejected one goes with it, one 0.125 s before stays.
    TLogData data = Steady({0, 1, 2, 2.875, 3, 4, 5, 5.95, 6, 7, 8});
    data[4].SmoothedAfr = 18;
    data[8].SmoothedAfr = 18;
    ApplyFilters(data, settings);
    EXPECT_EQ(Mask(data), "01110110010");
}

TEST(PointFiltersTest, EqualConsecutiveTimesExcludeTheSecondAndItsNeighbours) {
    TLogData data = Steady({0, 1, 2, 3, 3, 3.15, 4, 5});
    ApplyFilters(data, TFilterSettings{});
    // Sample 4 fails; the sample with the same time before it and the one
    // 0.15 s after it fall inside the windows.
    EXPECT_EQ(Mask(data), "01100010");
}

TEST(PointFiltersTest, BackwardTimeStepBetweenFilesExcludesBothSides) {
    TLogData data = Steady({0, 1, 2, 3, 4, 0.5, 1.5, 2.5, 3.5, 4.5});
    ApplyFilters(data, TFilterSettings{});
    // Sample 4 has a later sample at an earlier time, sample 5 steps back.
    // The walks stop at the time step: they never cross into the other file.
    EXPECT_EQ(Mask(data), "0111001110");
}

struct TSingleTest {
    const char* Name;
    std::function<void(TLogDataEntry&, TFilterSettings&)> Change;
    const char* Expected;
};

TEST(PointFiltersTest, EachTestJudgesOnlyWhatItIsMeantTo) {
    // 1 s apart: the inhibit windows never reach a neighbour.
    const char* Kept = "011111110";
    const char* Dropped = "011101110";
    const char* Jumped = "011100110";
    const std::vector<TSingleTest> cases = {
        {"steady", [](TLogDataEntry&, TFilterSettings&) {}, Kept},
        {"missing AFR", [](TLogDataEntry& e, TFilterSettings&) { e.SmoothedAfr = MissingValue; }, Dropped},
        {"missing AFR, limits off",
         [](TLogDataEntry& e, TFilterSettings& s) {
             e.SmoothedAfr = MissingValue;
             s.MaxAfrEnabled = false;
         },
         Dropped},
        {"AFR on limit", [](TLogDataEntry& e, TFilterSettings&) { e.SmoothedAfr = 17.5; }, Kept},
        {"AFR above limit", [](TLogDataEntry& e, TFilterSettings&) { e.SmoothedAfr = 17.51; }, Dropped},
        {"AFR above disabled limit",
         [](TLogDataEntry& e, TFilterSettings& s) {
             e.SmoothedAfr = 25;
             s.MaxAfrEnabled = false;
         },
         Kept},
        // Neighbours are 1 s apart with PlotMaf 300: +1000 per second is allowed.
        {"MAF slope on limit", [](TLogDataEntry& e, TFilterSettings&) { e.PlotMaf = 1300; }, Kept},
        // A jump fails the sample and, stepping back, its successor.
        {"MAF slope too steep", [](TLogDataEntry& e, TFilterSettings&) { e.PlotMaf = 1301; }, Jumped},
        {"MAF slope downward", [](TLogDataEntry& e, TFilterSettings&) { e.PlotMaf = -701; }, Jumped},
        {"MAF slope disabled",
         [](TLogDataEntry& e, TFilterSettings& s) {
             e.PlotMaf = 5000;
             s.MaxMafSlopeEnabled = false;
         },
         Kept},
        {"RPM slope too steep", [](TLogDataEntry& e, TFilterSettings&) { e.Rpm = 12501; }, Jumped},
        {"RPM slope disabled",
         [](TLogDataEntry& e, TFilterSettings& s) {
             e.Rpm = 20000;
             s.MaxRpmSlopeEnabled = false;
         },
         Kept},
        {"idle excluded by default", [](TLogDataEntry& e, TFilterSettings&) { e.ThrottleSwitch = 1; },
         Dropped},
        {"idle wanted",
         [](TLogDataEntry& e, TFilterSettings& s) {
             e.ThrottleSwitch = 1;
             s.IncludeIdle = true;
         },
         Kept},
        {"cruise unwanted",
         [](TLogDataEntry& e, TFilterSettings& s) {
             e.ThrottleSwitch = 2;
             s.IncludeCruise = false;
         },
         Dropped},
        {"WOT unwanted",
         [](TLogDataEntry& e, TFilterSettings& s) {
             e.ThrottleSwitch = 3;
             s.IncludeWot = false;
         },
         Dropped},
        {"switch missing with every position unwanted",
         [](TLogDataEntry& e, TFilterSettings& s) {
             e.ThrottleSwitch = MissingInteger;
             s.IncludeCruise = s.IncludeWot = s.IncludeIdle = false;
         },
         Kept},
        {"unknown switch position",
         [](TLogDataEntry& e, TFilterSettings& s) {
             e.ThrottleSwitch = 0;
             s.IncludeCruise = s.IncludeWot = s.IncludeIdle = false;
         },
         Kept},
    };
    for (const TSingleTest& c : cases) {
        SCOPED_TRACE(c.Name);
        TLogData data = Steady(Spaced(9, 1.0));
        for (TLogDataEntry& e : data.Entries) e.ThrottleSwitch = MissingInteger;
        TFilterSettings settings;
        c.Change(data[4], settings);
        ApplyFilters(data, settings);
        EXPECT_EQ(Mask(data), c.Expected);
    }
}

// The filters exactly as written, walks and all, to check the fast version.
void ReferenceFilters(TLogData& data, const TFilterSettings& s) {
    auto& e = data.Entries;
    const std::size_t n = e.size();
    if (n == 0) return;
    for (auto& x : e) x.Included = 1;
    if (!s.FiltersEnabled) return;
    e[0].Included = 0;
    for (std::size_t i = 0; i < n; ++i) {
        bool pass = i != 0 && i != n - 1;
        auto T = [&](std::size_t k) { return e[k].TimeSec; };
        if (pass) pass = T(i - 1) != T(i);
        if (pass) pass = e[i].SmoothedAfr != MissingValue;
        if (pass && s.MaxAfrEnabled) pass = e[i].SmoothedAfr <= s.MaxAfr;
        if (pass && s.MaxMafSlopeEnabled)
            pass = std::fabs((e[i].PlotMaf - e[i - 1].PlotMaf) / (T(i) - T(i - 1))) <= s.MaxMafSlope;
        if (pass && s.MaxRpmSlopeEnabled)
            pass = std::fabs((e[i].Rpm - e[i - 1].Rpm) / (T(i) - T(i - 1))) <= s.MaxRpmSlope;
        if (pass) pass = T(i - 1) <= T(i) && T(i) <= T(i + 1);
        if (pass) {
            const int sw = e[i].ThrottleSwitch;
            pass =
                !(sw == 1 && !s.IncludeIdle) && !(sw == 2 && !s.IncludeCruise) && !(sw == 3 && !s.IncludeWot);
        }
        if (pass) continue;
        e[i].Included = 0;
        for (std::ptrdiff_t j = static_cast<std::ptrdiff_t>(i) - 1;
             j >= 0 && T(j) <= T(i) && T(j) > T(i) - (0.1 + s.InhibitBefore); --j)
            e[j].Included = 0;
        for (std::size_t j = i + 1; j < n && T(j) >= T(i) && T(j) < T(i) + (0.1 + s.InhibitAfter); ++j)
            e[j].Included = 0;
    }
}

TEST(PointFiltersTest, StuckClocksAndFileBordersMatchTheWalksSampleBySample) {
    std::mt19937 random(1234);
    for (int round = 0; round < 1000; ++round) {
        TLogData data;
        double t = 0;
        const int count = 5 + static_cast<int>(random() % 200);
        for (int i = 0; i < count; ++i) {
            switch (random() % 8) {
                case 0:
                    break;  // same time again
                case 1:
                    t -= 0.05 * (random() % 40);
                    break;
                case 2:
                    t += 0.5;
                    break;
                default:
                    t += 0.05;
                    break;
            }
            TLogDataEntry e;
            e.TimeSec = t;
            e.Rpm = 2000 + random() % 400;
            e.PlotMaf = 300 + random() % 50;
            e.SmoothedAfr = random() % 25 == 0 ? 18.0 : 14.0;
            e.ThrottleSwitch = static_cast<int>(random() % 5) - 1;
            data.Entries.push_back(e);
        }
        TFilterSettings settings;
        settings.IncludeIdle = random() % 2;
        settings.InhibitBefore = 0.05 * (random() % 8);
        settings.InhibitAfter = 0.05 * (random() % 8);
        TLogData expected = data;
        ReferenceFilters(expected, settings);
        // Every sample is reported once, in order, with its final flag.
        std::string settled;
        ApplyFilters(data, settings, [&](std::size_t i) {
            ASSERT_EQ(i, settled.size());
            settled += data[i].Included ? '1' : '0';
        });
        ASSERT_EQ(Mask(data), Mask(expected)) << "round " << round;
        ASSERT_EQ(settled, Mask(expected)) << "round " << round;
    }
}

TEST(PointFiltersTest, SharingTheListAmongThreadsGivesTheFlagsOfOnePass) {
    // Short lists cut into up to five parts: stuck clocks, backward steps and
    // inhibit windows reach across the cuts in every way.
    std::vector<std::unique_ptr<TWorkerPool>> pools;
    for (int threads : {1, 2, 3, 5}) pools.push_back(std::make_unique<TWorkerPool>(threads));
    std::mt19937 random(77);
    for (int round = 0; round < 1500; ++round) {
        TLogData data;
        double t = 0;
        const int count = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            const unsigned step = random() % 10;
            t += step < 2 ? 0.0 : step == 2 ? -0.05 * (random() % 40) : step == 3 ? 0.5 : 0.05;
            TLogDataEntry e;
            e.TimeSec = t;
            e.Rpm = 2000 + random() % 400;
            e.PlotMaf = 300 + random() % 50;
            e.SmoothedAfr = random() % 12 == 0 ? MissingValue : random() % 20 == 0 ? 18.0 : 14.0;
            e.ThrottleSwitch = static_cast<int>(random() % 5) - 1;
            e.Included = random() % 2;  // every flag must be written
            data.Entries.push_back(e);
        }
        TFilterSettings settings;
        settings.FiltersEnabled = random() % 8 != 0;
        settings.IncludeIdle = random() % 2;
        settings.InhibitBefore = 0.05 * (random() % 12);
        settings.InhibitAfter = 0.05 * (random() % 12);
        TLogData serial = data;
        ApplyFiltersInRuns(serial, settings, nullptr);
        for (const auto& pool : pools) {
            TLogData shared = data;
            ApplyFilters(shared, settings, *pool);
            ASSERT_EQ(Mask(shared), Mask(serial)) << "round " << round << ", threads " << pool->Threads();
        }
    }
}

TEST(PointFiltersTest, ClockStuckForAMillionSamplesFinishesQuickly) {
    // Every sample has the same time: the walks must not turn quadratic.
    TLogData data = Steady(std::vector<double>(1'000'000, 12.5));
    ApplyFilters(data, TFilterSettings{});
    for (const TLogDataEntry& e : data.Entries) ASSERT_EQ(e.Included, 0);
}

}  // namespace
}  // namespace kelvane
