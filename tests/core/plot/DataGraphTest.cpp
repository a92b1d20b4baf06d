#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/plot/DataGraph.h"

namespace kelvane {
namespace {

constexpr double SecondsToDays = 1.0 / 86400;

// A log of files with the given sample counts, a sample every 1.001 s (so
// that no sample falls exactly on a mark time), the files 0.1 s apart on the
// time line as the reader places them.
TLogData TimedLog(std::vector<int> fileSizes) {
    TLogData data;
    double base = 0;
    for (std::size_t file = 0; file < fileSizes.size(); ++file) {
        data.Files.emplace_back();
        for (int i = 0; i < fileSizes[file]; ++i) {
            TLogDataEntry e;
            e.TimeSec = i * 1.001;
            e.TimeStamp = base + e.TimeSec * SecondsToDays;
            e.File = static_cast<std::uint32_t>(file);
            e.FirstOfFile = i == 0;
            e.Rpm = 3000;
            e.PlotMaf = 200;
            e.SmoothedAfr = 14.5;
            data.Entries.push_back(e);
        }
        base = data.Entries.back().TimeStamp + 0.1 * SecondsToDays;
    }
    return data;
}

TEST(DataGraphTest, AreaIsWhatTheMarginsLeave) {
    const TGraphArea area = TGraphArea::ForImage(1200, 200);
    EXPECT_EQ(area, (TGraphArea{10, 10, 1180, 165}));
    EXPECT_EQ(area.Right(), 1190);
    EXPECT_EQ(area.Bottom(), 175);
    EXPECT_FALSE(area.InLabelArea(175));
    EXPECT_TRUE(area.InLabelArea(176));
    EXPECT_FALSE(TGraphArea::ForImage(15, 30).Usable());
}

TEST(DataGraphTest, ShownRangeIsTheWholeListUntilOneIsSet) {
    EXPECT_EQ(ShownGraphRange({0, 0}, 50), (TGraphRange{0, 49}));
    EXPECT_EQ(ShownGraphRange({10, 20}, 50), (TGraphRange{10, 20}));
    EXPECT_EQ(ShownGraphRange({10, 90}, 50), (TGraphRange{10, 49}));
    EXPECT_EQ(ShownGraphRange({0, 0}, 0), (TGraphRange{0, 0}));
}

TEST(DataGraphTest, StepIsTheFirstOfTheTableReachingAMarkPer30Pixels) {
    struct TCase {
        double SpanSeconds;
        int Width;
        int Step;
    };
    for (const TCase& c : {TCase{9, 300, 1}, TCase{15, 300, 2}, TCase{19.9, 300, 2}, TCase{21, 300, 5},
                           TCase{999, 300, 100}, TCase{1001, 300, 200}, TCase{600, 1200, 20},
                           TCase{1e9, 300, 200000}, TCase{0, 300, 1}, TCase{100, 0, 200000}})
        EXPECT_EQ(TimeMarkStep(c.SpanSeconds * SecondsToDays, c.Width), c.Step)
            << c.SpanSeconds << " s over " << c.Width;
}

TEST(DataGraphTest, TenSamplesOrFewerHaveNoTimeMarks) {
    const TGraphArea area = TGraphArea::ForImage(320, 100);
    EXPECT_TRUE(TimeMarks(TimedLog({10}), {0, 9}, area).empty());
    EXPECT_FALSE(TimeMarks(TimedLog({11}), {0, 10}, area).empty());
}

TEST(DataGraphTest, MarksFollowTheStepAndEveryFileStartsWithABlackLine) {
    // 300 pixels: ten marks wanted; 2 x 30 samples span 58.2 s: a 10 s step.
    const TLogData data = TimedLog({30, 30});
    const TGraphArea area = TGraphArea::ForImage(320, 100);
    const std::vector<TTimeMark> marks = TimeMarks(data, {0, 59}, area);
    std::vector<int> indexes;
    for (const TTimeMark& mark : marks) indexes.push_back(mark.Index);
    EXPECT_EQ(indexes, (std::vector<int>{0, 10, 20, 30, 40, 50}));

    const TTimeMark& first = marks.front();
    EXPECT_EQ(first.X, area.Left);
    EXPECT_FALSE(first.Line) << "on the frame: a label but no line";
    EXPECT_EQ(first.Label, "0");
    const TTimeMark& secondFile = marks[3];
    EXPECT_TRUE(secondFile.FileStart);
    EXPECT_TRUE(secondFile.Line);
    EXPECT_EQ(secondFile.X, area.Left + 153);  // round(30 / 59 * 300)
    EXPECT_EQ(secondFile.Label, "0");
    EXPECT_FALSE(marks[1].FileStart);
    EXPECT_EQ(marks[4].Label, "10");
}

TEST(DataGraphTest, AFileWhoseFirstLineWasDroppedStillStartsWithABlackLine) {
    TLogData data = TimedLog({30, 30});
    data[30].FirstOfFile = 0;
    const std::vector<TTimeMark> marks = TimeMarks(data, {0, 59}, TGraphArea::ForImage(320, 100));
    ASSERT_TRUE(std::any_of(marks.begin(), marks.end(), [](const TTimeMark& m) { return m.Index == 30; }));
    EXPECT_TRUE(std::find_if(marks.begin(), marks.end(), [](const TTimeMark& m) {
                    return m.Index == 30;
                })->FileStart);
}

TEST(DataGraphTest, MarksStayOnTheirSamplesWhenTheRangeMoves) {
    // Two ranges of the same length, hence the same step: the later range
    // shows the marks the walk from the list's start puts there.
    const TLogData data = TimedLog({200});
    const TGraphArea area = TGraphArea::ForImage(320, 100);
    const std::vector<TTimeMark> early = TimeMarks(data, {0, 99}, area);
    const std::vector<TTimeMark> late = TimeMarks(data, {93, 192}, area);
    ASSERT_FALSE(late.empty());
    for (const TTimeMark& mark : late) EXPECT_EQ(mark.Index % 10, 0) << mark.Index;
    EXPECT_EQ(early.size(), 10u);
    EXPECT_EQ(late.front().Index, 100);
    EXPECT_EQ(late.front().X, area.Left + 21);  // round(7 / 99 * 300)
}

TEST(DataGraphTest, KeptWalksGiveTheMarksOfAFreshWalk) {
    const TLogData data = TimedLog({700, 20, 900});
    const TGraphArea area = TGraphArea::ForImage(320, 100);
    TTimeMarkCache cache;
    // Whole, zoomed in, across the files, and ranges of three and more
    // samples a pixel, where samples before the range round onto its start.
    for (const TGraphRange range :
         {TGraphRange{0, 1619}, TGraphRange{100, 160}, TGraphRange{650, 760}, TGraphRange{700, 1619},
          TGraphRange{201, 1500}, TGraphRange{5, 1619}, TGraphRange{100, 160}, TGraphRange{1618, 1619}})
        EXPECT_EQ(cache.Marks(data, range, area), TimeMarks(data, range, area))
            << range.First << ".." << range.Last;
    const std::vector<TTimeMark> rounded = cache.Marks(data, {201, 1500}, area);
    ASSERT_FALSE(rounded.empty());
    EXPECT_EQ(rounded.front().Index, 200) << "a quarter pixel before the range: on its first column";
    // Another list is walked again.
    const TLogData other = TimedLog({50});
    EXPECT_EQ(cache.Marks(other, {0, 49}, area), TimeMarks(other, {0, 49}, area));
    EXPECT_TRUE(cache.Marks(TimedLog({10}), {0, 9}, area).empty());
}

TEST(DataGraphTest, QuarterLinesDivideTheHeight) {
    EXPECT_EQ(QuarterLines(TGraphArea{10, 10, 100, 160}), (std::vector<int>{50, 90, 130}));
}

TEST(DataGraphTest, TraceRowsRunFromTheTopDownToTheBottomOfTheArea) {
    const TPlotRanges ranges{0, 8000, 0, 400};
    TLogDataEntry e;
    e.Rpm = 2000;
    e.PlotMaf = 100;
    e.SmoothedAfr = 13;
    EXPECT_EQ(TraceY(TTrace::Rpm, e, ranges, 100), 75);
    EXPECT_EQ(TraceY(TTrace::Load, e, ranges, 100), 75);
    EXPECT_EQ(TraceY(TTrace::Afr, e, ranges, 100), 80);
    e.SmoothedAfr = 17;
    EXPECT_EQ(TraceY(TTrace::Afr, e, ranges, 100), 0);
    // A value far off the area stays a finite row below it.
    e.SmoothedAfr = -1e300;
    EXPECT_GT(TraceY(TTrace::Afr, e, ranges, 100), 100);
    EXPECT_LT(TraceY(TTrace::Afr, e, ranges, 100), 1 << 21);
    EXPECT_EQ(TraceY(TTrace::Rpm, e, TPlotRanges{0, 0, 0, 0}, 100), 100 - 2000 * 100);
}

TEST(DataGraphTest, SegmentRunsJoinWithoutHoles) {
    // Flat: one pixel per column.
    for (int c = 0; c <= 10; ++c) {
        const TRowRun run = SegmentRun({0, 5}, {10, 7}, c);
        EXPECT_EQ(run.Top, run.Bottom) << c;
    }
    // Steep: every row from one end to the other belongs to exactly one column.
    const TTracePoint a{3, 2}, b{6, 40};
    int nextRow = a.Y;
    for (int c = a.X; c <= b.X; ++c) {
        const TRowRun run = SegmentRun(a, b, c);
        EXPECT_EQ(run.Top, nextRow) << c;
        nextRow = run.Bottom + 1;
    }
    EXPECT_EQ(nextRow, b.Y + 1);
    // Within one column: the rows between the ends.
    const TRowRun vertical = SegmentRun({4, 9}, {4, 3}, 4);
    EXPECT_EQ(vertical.Top, 3);
    EXPECT_EQ(vertical.Bottom, 9);
}

// The reference: every segment of every trace drawn with SegmentRun into a
// layer of colour codes (-1 empty), later segments over earlier ones.
std::vector<int> DrawnLineByLine(const TLogData& data, TGraphRange range, int width, int height,
                                 const TPlotRanges& ranges) {
    std::vector<int> image(static_cast<std::size_t>((width + 1) * (height + 1)), -1);
    const TGraphScale scale(range, width);
    for (const TTrace trace : Traces) {
        for (int i = range.First + 1; i <= range.Last; ++i) {
            const TLogDataEntry& from = data[static_cast<std::size_t>(i - 1)];
            const TLogDataEntry& to = data[static_cast<std::size_t>(i)];
            const TTracePoint a{scale.X(i - 1), TraceY(trace, from, ranges, height)};
            const TTracePoint b{scale.X(i), TraceY(trace, to, ranges, height)};
            const int colour = static_cast<int>(SegmentColour(trace, from, to));
            for (int x = a.X; x <= b.X; ++x) {
                const TRowRun run = SegmentRun(a, b, x);
                for (int y = std::max(run.Top, 0); y <= std::min(run.Bottom, height); ++y)
                    if (x >= 0 && x <= width) image[static_cast<std::size_t>(y * (width + 1) + x)] = colour;
            }
        }
    }
    return image;
}

std::vector<int> DrawnBySpans(const std::vector<TTraceSpan>& spans, int width, int height) {
    std::vector<int> image(static_cast<std::size_t>((width + 1) * (height + 1)), -1);
    for (const TTraceSpan& span : spans)
        for (int y = span.Top; y <= span.Bottom; ++y)
            image[static_cast<std::size_t>(y * (width + 1) + span.X)] = static_cast<int>(span.Colour);
    return image;
}

// A wandering log with values off the area at both ends, excluded samples
// alone and in blocks, and AFR missing now and then.
TLogData RandomLog(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> step(-1, 1);
    TLogData data = TimedLog({static_cast<int>(count)});
    double rpm = 3000, maf = 200, afr = 14.5;
    int excludedRun = 0;
    for (TLogDataEntry& e : data.Entries) {
        rpm = std::clamp(rpm + 900 * step(random), -500.0, 9000.0);
        maf = std::clamp(maf + 60 * step(random), 0.0, 500.0);
        afr = std::clamp(afr + 0.8 * step(random), 10.0, 19.0);
        e.Rpm = rpm;
        e.PlotMaf = maf;
        e.SmoothedAfr = random() % 17 == 0 ? MissingValue : afr;
        if (excludedRun == 0 && random() % 9 == 0) excludedRun = 1 + static_cast<int>(random() % 6);
        e.Included = excludedRun > 0 ? 0 : 1;
        if (excludedRun > 0) --excludedRun;
    }
    return data;
}

TEST(DataGraphTest, SpansGiveExactlyThePixelsOfTheLines) {
    const TPlotRanges ranges{0, 7000, 0, 400};
    struct TCase {
        std::size_t Count;
        TGraphRange Range;
        int Width;
        int Height;
    };
    // Many samples to a column, about one, and few (long segments); a range
    // inside the list; tiny layers.
    const std::vector<TCase> cases{
        {3000, {0, 2999}, 60, 40}, {3000, {0, 2999}, 300, 80}, {400, {0, 399}, 399, 50},
        {400, {17, 41}, 300, 60},  {50, {0, 49}, 300, 100},    {5, {0, 4}, 300, 100},
        {2, {0, 1}, 120, 30},      {3000, {100, 2500}, 7, 5},  {200, {0, 199}, 0, 0},
    };
    std::vector<TTraceSpan> spans;
    for (unsigned seed = 1; seed <= 5; ++seed) {
        for (const TCase& c : cases) {
            const TLogData data = RandomLog(c.Count, seed);
            TraceSpans(data, c.Range, c.Width, c.Height, ranges, spans);
            const std::vector<int> lines = DrawnLineByLine(data, c.Range, c.Width, c.Height, ranges);
            // Not an empty comparison: the lines are there, grey ones among them in the longer logs.
            EXPECT_LT(std::count(lines.begin(), lines.end(), -1), static_cast<long>(lines.size()));
            if (c.Range.Length() >= 49 && c.Width >= 60) {
                EXPECT_GT(std::count(lines.begin(), lines.end(), static_cast<int>(TTraceColour::Excluded)),
                          0);
            }
            EXPECT_EQ(DrawnBySpans(spans, c.Width, c.Height), lines)
                << "seed " << seed << ", " << c.Count << " samples " << c.Range.First << ".." << c.Range.Last
                << " at " << c.Width << " x " << c.Height;
        }
    }
}

TEST(DataGraphTest, AColumnOfManySamplesTakesAFewSpansPerTrace) {
    TLogData data = RandomLog(20000, 7);
    for (TLogDataEntry& e : data.Entries) e.Included = 1;
    std::vector<TTraceSpan> spans;
    TraceSpans(data, {0, 19999}, 100, 50, TPlotRanges{0, 7000, 0, 400}, spans);
    EXPECT_LE(spans.size(), 3u * 101u);
}

TEST(DataGraphTest, AnExcludedSampleTurnsTheSegmentsOnBothSidesGrey) {
    TLogData data = TimedLog({3});
    data[0].Rpm = 1000;
    data[2].Rpm = 5000;
    data[1].Included = 0;
    const TPlotRanges ranges{0, 7000, 0, 400};
    EXPECT_EQ(SegmentColour(TTrace::Rpm, data[0], data[1]), TTraceColour::Excluded);
    EXPECT_EQ(SegmentColour(TTrace::Rpm, data[1], data[2]), TTraceColour::Excluded);
    std::vector<TTraceSpan> spans;
    TraceSpans(data, {0, 2}, 100, 70, ranges, spans);
    ASSERT_FALSE(spans.empty());
    for (const TTraceSpan& span : spans) EXPECT_EQ(span.Colour, TTraceColour::Excluded);
    data[1].Included = 1;
    EXPECT_EQ(SegmentColour(TTrace::Afr, data[0], data[1]), TTraceColour::Afr);
}

TEST(DataGraphTest, ASingleSampleDrawsNoTraceAndDividesByNothing) {
    const TLogData data = TimedLog({1});
    std::vector<TTraceSpan> spans;
    TraceSpans(data, {0, 0}, 100, 50, TPlotRanges{0, 7000, 0, 400}, spans);
    EXPECT_TRUE(spans.empty());
    EXPECT_EQ(TGraphScale({0, 0}, 100).X(0), 0);
    EXPECT_EQ(SelectionBand({0, 0}, 100, 0), (TColumnSpan{0, 100}));
    EXPECT_EQ(GraphIndexAt(TGraphArea::ForImage(120, 60), {0, 0}, 50), 0);
}

TEST(DataGraphTest, ClicksNeverLeaveTheShownRange) {
    const TGraphArea area = TGraphArea::ForImage(120, 60);  // 100 pixels wide from x = 10
    const TGraphRange range{200, 300};
    struct TCase {
        int X;
        int Index;
    };
    for (const TCase& c :
         {TCase{0, 200}, TCase{9, 200}, TCase{10, 200}, TCase{11, 201}, TCase{60, 250}, TCase{110, 300},
          TCase{111, 300}, TCase{119, 300}, TCase{-5000, 200}, TCase{1 << 30, 300}})
        EXPECT_EQ(GraphIndexAt(area, range, c.X), c.Index) << c.X;
}

TEST(DataGraphTest, PositionsFarOffTheAreaStayNumbers) {
    // Two samples over 2000 pixels, and a sample ten million further on.
    EXPECT_GT(TGraphScale({0, 1}, 2000).X(10000000), 2000);
    EXPECT_LT(TGraphScale({10000000, 10000001}, 2000).X(0), 0);
    EXPECT_EQ(HoverBar({0, 1}, 2000, 10000000).First, TGraphScale({0, 1}, 2000).X(10000000) - 1);
    EXPECT_EQ(TGraphScale({0, 3}, 300).X(1), 100);
    EXPECT_EQ(TGraphScale({0, 4}, 2).X(1), 0) << "half a pixel rounds to even";
    EXPECT_EQ(TGraphScale({0, 4}, 6).X(1), 2) << "one and a half pixels round to even";
}

TEST(DataGraphTest, BandsAreThePixelsOfOneSampleCentredOnIt) {
    EXPECT_EQ(SelectionBandWidth({0, 1000}, 300), 1);
    EXPECT_EQ(SelectionBandWidth({0, 100}, 300), 3);
    EXPECT_EQ(SelectionBandWidth({0, 7}, 300), 43);
    EXPECT_EQ(SelectionBand({0, 100}, 300, 50), (TColumnSpan{149, 151}));
    EXPECT_EQ(SelectionBand({0, 1000}, 300, 0), (TColumnSpan{0, 0}));
    EXPECT_EQ(SelectionBand({10, 14}, 300, 14), (TColumnSpan{263, 337}));
    EXPECT_EQ(HoverBar({0, 100}, 300, 10), (TColumnSpan{29, 31}));
}

TEST(DataGraphTest, LabelDragMovesTheFarEndSoThePressedSampleFollowsTheMouse) {
    // 100 pixels from x = 10, samples 0 .. 1000 shown, 2001 in the list.
    const TGraphArea area = TGraphArea::ForImage(120, 60);
    const TGraphRange range{0, 1000};
    struct TCase {
        const char* Name;
        TGraphRange Press;
        int PressX, X;
        std::size_t Count;
        std::optional<TGraphRange> Result;
    };
    const std::vector<TCase> cases{
        {"right: the last sample comes closer", range, 60, 109, 2001, TGraphRange{0, 505}},
        {"right, double the distance", range, 35, 60, 2001, TGraphRange{0, 500}},
        {"right from near the left edge", {1500, 2000}, 20, 90, 2001, TGraphRange{1500, 1562}},
        {"left: the first sample comes closer", {1000, 2000}, 60, 30, 2001, TGraphRange{1375, 2000}},
        {"left, a little", {1000, 2000}, 60, 50, 2001, TGraphRange{1167, 2000}},
        {"no movement", range, 60, 60, 2001, std::nullopt},
        {"onto the left edge", range, 60, 10, 2001, std::nullopt},
        {"past the right edge", range, 30, 200, 2001, std::nullopt},
        {"pressed in the margin", range, 5, 50, 2001, std::nullopt},
        {"pressed on the right edge", range, 110, 50, 2001, std::nullopt},
        {"a one-sample press range", {3, 3}, 30, 60, 2001, std::nullopt},
        {"one sample in the list", {0, 0}, 30, 60, 1, std::nullopt},
        {"never narrower than two samples", {0, 3}, 11, 109, 4, TGraphRange{0, 1}},
        {"never narrower than two samples, leftwards", {0, 3}, 109, 11, 4, TGraphRange{2, 3}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(LabelDragRange(area, c.Press, c.PressX, c.X, c.Count), c.Result) << c.Name;
}

TEST(DataGraphTest, CentringMovesTheRangeOnlyForASampleOutsideIt) {
    struct TCase {
        TGraphRange Range;
        int Index;
        std::size_t Count;
        TGraphRange Result;
    };
    for (const TCase& c : {TCase{{100, 200}, 150, 1000, {100, 200}}, TCase{{100, 200}, 500, 1000, {450, 550}},
                           TCase{{100, 200}, 10, 1000, {0, 100}}, TCase{{100, 200}, 990, 1000, {899, 999}},
                           TCase{{100, 200}, 1000, 1000, {100, 200}}, TCase{{100, 200}, -1, 1000, {100, 200}},
                           TCase{{0, 9}, 15, 20, {10, 19}}})
        EXPECT_EQ(CentredGraphRange(c.Range, c.Index, c.Count), c.Result) << c.Index;
}

TEST(DataGraphTest, SliderShowsTheRangeAndItsDragGivesOneBack) {
    EXPECT_EQ(SliderPlace({0, 999}, 1000, 200), (TSliderPlace{0, 200}));
    EXPECT_EQ(SliderPlace({250, 499}, 1000, 200), (TSliderPlace{50, 50}));
    EXPECT_EQ(SliderPlace({999000, 999001}, 1000000, 200), (TSliderPlace{199, 1})) << "at least a pixel";
    EXPECT_EQ(SliderPlace({0, 0}, 0, 200), (TSliderPlace{0, 200}));
    EXPECT_EQ(SliderPlace({0, 5}, 10, 0), (TSliderPlace{0, 0}));

    EXPECT_EQ(SliderDragLeft({50, 50}, 30, 200), 80);
    EXPECT_EQ(SliderDragLeft({50, 50}, 500, 200), 150);
    EXPECT_EQ(SliderDragLeft({50, 50}, -500, 200), 0);

    EXPECT_EQ(SliderRange(80, 50, 1000, 200), (TGraphRange{400, 649}));
    EXPECT_EQ(SliderRange(199, 1, 1000000, 200), (TGraphRange{995000, 999999}));
    EXPECT_EQ(SliderRange(0, 1, 1000, 2000), (TGraphRange{0, 1})) << "a range of two samples at least";
    EXPECT_EQ(SliderRange(0, 0, 0, 200), (TGraphRange{}));
}

}  // namespace
}  // namespace kelvane
