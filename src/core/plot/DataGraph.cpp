#include "core/plot/DataGraph.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

#include "core/ground/SettingsValues.h"

namespace kelvane {

namespace {

// Pixel positions round halves to even, as the plot's do: adding and taking
// away 1.5 * 2^52 rounds so (as std::nearbyint does in the default rounding
// mode) without the library call the trace pass would make four times a
// sample. Positions far off the image are held within an int.
int RoundToInt(double value) {
    constexpr double Shift = 6755399441055744.0;
    return static_cast<int>((std::clamp(value, -2e9, 2e9) + Shift) - Shift);
}

// num / den rounded half away from zero, den > 0.
long long RoundDiv(long long num, long long den) {
    return num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den));
}

constexpr std::array<int, 17> TimeMarkSteps{1,    2,    5,    10,    20,    50,    100,    200,   500,
                                            1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000};

// Rows this far off the area are all the same to the drawing; holding them
// there keeps the products in SegmentRun well inside 64 bits.
constexpr double FarRows = 1 << 20;

constexpr double SecondsPerDay = 86400;

// The passes over a million samples wait on memory more than they compute:
// each asks for the cache line it will read a few samples ahead.
constexpr std::size_t PrefetchDistance = 16;

void Prefetch(const TLogData& data, std::size_t i, std::size_t last, const double TLogDataEntry::*field) {
    if (i <= last) __builtin_prefetch(&(data[i].*field));
}

}  // namespace

TGraphArea TGraphArea::ForImage(int imageWidth, int imageHeight) {
    TGraphArea area;
    area.Width = std::max(0, imageWidth - GraphMarginLeft - GraphMarginRight);
    area.Height = std::max(0, imageHeight - GraphMarginTop - GraphMarginBottom);
    return area;
}

TGraphRange ShownGraphRange(TGraphRange stored, std::size_t sampleCount) {
    if (stored.First == 0 && stored.Last == 0) return WholeGraphRange(sampleCount);
    return ClampedGraphRange(stored, sampleCount);
}

TGraphScale::TGraphScale(TGraphRange range, int width)
    : FFirst(range.First),
      FPixelsPerSample(range.Length() > 0 ? static_cast<double>(width) / range.Length() : 0.0) {}

int TGraphScale::X(long long index) const {
    return RoundToInt(static_cast<double>(index - FFirst) * FPixelsPerSample);
}

int GraphIndexAt(const TGraphArea& area, TGraphRange range, int x) {
    if (range.Length() <= 0 || area.Width <= 0) return range.First;
    const double index =
        static_cast<double>(x - area.Left) / area.Width * range.Length() + static_cast<double>(range.First);
    return std::clamp(RoundToInt(index), range.First, range.Last);
}

int TimeMarkStep(double spanDays, int graphWidth) {
    const double marks = graphWidth / 30.0;
    if (marks <= 0) return TimeMarkSteps.back();
    const double wanted = spanDays / marks * SecondsPerDay;
    for (const int step : TimeMarkSteps)
        if (step >= wanted) return step;
    return TimeMarkSteps.back();
}

namespace {

// The step for the range, in days.
double StepDays(const TLogData& data, TGraphRange range, const TGraphArea& area) {
    const double spanDays = data[static_cast<std::size_t>(range.Last)].TimeStamp -
                            data[static_cast<std::size_t>(range.First)].TimeStamp;
    return TimeMarkStep(spanDays, area.Width) / SecondsPerDay;
}

// The walk from the list's start up to last: the samples the marks fall on.
void WalkMarks(const TLogData& data, std::size_t last, double stepDays, std::vector<TMarkedSample>& marked) {
    marked.clear();
    double nextMark = 0;
    for (std::size_t i = 0; i <= last; ++i) {
        Prefetch(data, i + PrefetchDistance, last, &TLogDataEntry::TimeStamp);
        const TLogDataEntry& entry = data[i];
        // By the file index rather than the flag of the file's first line:
        // that line may have been dropped by the reader.
        const bool fileStart = i == 0 || entry.File != data[i - 1].File;
        if (entry.TimeStamp < nextMark && !fileStart) continue;
        nextMark = entry.TimeStamp + stepDays;
        marked.push_back({static_cast<int>(i), fileStart});
    }
}

// The marks of the walked samples that fall within the area.
std::vector<TTimeMark> PlaceMarks(const TLogData& data, const TMarkedSample* begin, const TMarkedSample* end,
                                  TGraphRange range, const TGraphArea& area) {
    std::vector<TTimeMark> marks;
    const TGraphScale scale(range, area.Width);
    for (const TMarkedSample* sample = begin; sample != end; ++sample) {
        const int x = area.Left + scale.X(sample->Index);
        if (x < area.Left || x > area.Right()) continue;
        marks.push_back(TTimeMark{sample->Index, x, sample->FileStart, x > area.Left && x < area.Right(),
                                  FormatNumber(data[static_cast<std::size_t>(sample->Index)].TimeSec, 0)});
    }
    return marks;
}

bool MarksWanted(const TLogData& data, TGraphRange range) {
    return data.Count() > 10 && range.Length() > 0 && static_cast<std::size_t>(range.Last) < data.Count();
}

}  // namespace

std::vector<TTimeMark> TimeMarks(const TLogData& data, TGraphRange range, const TGraphArea& area) {
    if (!MarksWanted(data, range)) return {};
    std::vector<TMarkedSample> marked;
    WalkMarks(data, static_cast<std::size_t>(range.Last), StepDays(data, range, area), marked);
    return PlaceMarks(data, marked.data(), marked.data() + marked.size(), range, area);
}

std::vector<TTimeMark> TTimeMarkCache::Marks(const TLogData& data, TGraphRange range,
                                             const TGraphArea& area) {
    if (!MarksWanted(data, range)) return {};
    if (FEntries != data.Entries.data() || FCount != data.Count()) {
        Forget();
        FEntries = data.Entries.data();
        FCount = data.Count();
    }
    const double stepDays = StepDays(data, range, area);
    auto walk =
        std::find_if(FWalks.begin(), FWalks.end(), [&](const TWalk& w) { return w.StepDays == stepDays; });
    if (walk == FWalks.end()) {
        // The walk up to a range's last sample is the start of the walk over the whole list.
        walk = FWalks.insert(FWalks.end(), TWalk{stepDays, {}});
        WalkMarks(data, data.Count() - 1, stepDays, walk->Marked);
    }
    const std::vector<TMarkedSample>& marked = walk->Marked;
    const auto byIndex = [](const TMarkedSample& sample, int index) { return sample.Index < index; };
    auto begin = std::lower_bound(marked.begin(), marked.end(), range.First, byIndex);
    // Samples just before the range may still round onto its first column.
    const TGraphScale scale(range, area.Width);
    while (begin != marked.begin() && scale.X(std::prev(begin)->Index) >= 0) --begin;
    const auto end = std::lower_bound(begin, marked.end(), range.Last + 1, byIndex);
    return PlaceMarks(data, marked.data() + (begin - marked.begin()), marked.data() + (end - marked.begin()),
                      range, area);
}

void TTimeMarkCache::Forget() {
    FWalks.clear();
    FEntries = nullptr;
    FCount = 0;
}

std::vector<int> QuarterLines(const TGraphArea& area) {
    return {area.Top + area.Height / 4, area.Top + area.Height / 2, area.Top + area.Height * 3 / 4};
}

// ---- Traces ------------------------------------------------------------

TTraceColour SegmentColour(TTrace trace, const TLogDataEntry& from, const TLogDataEntry& to) {
    if (!from.Included || !to.Included) return TTraceColour::Excluded;
    return static_cast<TTraceColour>(trace);
}

namespace {

// Rows per unit of each trace: y = height - value * rows (AFR from 12 on).
// A maximum of 0 or less counts as 1, so nothing divides by zero.
struct TTraceScales {
    double Height;
    double Rpm;
    double Load;
    double Afr;

    TTraceScales(const TPlotRanges& ranges, int height)
        : Height(height),
          Rpm(height / (ranges.MaxRpm > 0 ? ranges.MaxRpm : 1.0)),
          Load(height / (ranges.MaxLoad > 0 ? ranges.MaxLoad : 1.0)),
          Afr(height / 5.0) {}
};

int HeldY(double y, double height) {
    if (std::isnan(y)) return static_cast<int>(height);
    return RoundToInt(std::clamp(y, -FarRows, height + FarRows));
}

int ScaledTraceY(TTrace trace, const TLogDataEntry& entry, const TTraceScales& scales) {
    switch (trace) {
        case TTrace::Rpm:
            return HeldY(scales.Height - entry.Rpm * scales.Rpm, scales.Height);
        case TTrace::Load:
            return HeldY(scales.Height - entry.PlotMaf * scales.Load, scales.Height);
        case TTrace::Afr:
            break;
    }
    return HeldY(scales.Height - (entry.SmoothedAfr - 12) * scales.Afr, scales.Height);
}

}  // namespace

int TraceY(TTrace trace, const TLogDataEntry& entry, const TPlotRanges& ranges, int height) {
    return ScaledTraceY(trace, entry, TTraceScales(ranges, height));
}

namespace {

// The line's row at a column between its ends (a.X < b.X).
int LineRowAt(TTracePoint a, TTracePoint b, int column) {
    if (column <= a.X) return a.Y;
    if (column >= b.X) return b.Y;
    return a.Y + static_cast<int>(RoundDiv(static_cast<long long>(b.Y - a.Y) * (column - a.X), b.X - a.X));
}

}  // namespace

TRowRun SegmentRun(TTracePoint a, TTracePoint b, int column) {
    if (a.X == b.X) return {std::min(a.Y, b.Y), std::max(a.Y, b.Y)};
    const int y = LineRowAt(a, b, column);
    TRowRun run{y, y};
    // Half of the gap to each neighbour's row; the neighbour takes the rest.
    if (column > a.X) {
        const int gap = y - LineRowAt(a, b, column - 1);
        if (gap > 0) run.Top = y - gap / 2;
        if (gap < 0) run.Bottom = y + (-gap) / 2;
    }
    if (column < b.X) {
        const int gap = LineRowAt(a, b, column + 1) - y;
        if (gap > 0) run.Bottom = std::max(run.Bottom, y + (gap - 1) / 2);
        if (gap < 0) run.Top = std::min(run.Top, y - (-gap - 1) / 2);
    }
    return run;
}

namespace {

// One trace turned into spans column by column, as its segments arrive in
// order. The segments that touch a column are consecutive and join there,
// so the union of any run of them in that column is one stretch of rows.
// Segments of one colour in a row are merged into a group; the groups are
// then laid down last first, each adding only the rows above and below what
// later groups already cover: what a later segment painted over stays as
// the later segment left it.
class TTraceColumns {
  public:
    TTraceColumns(int width, int height, std::vector<TTraceSpan>& spans)
        : FWidth(width), FHeight(height), FSpans(spans) {}

    void Start(TTracePoint point) {
        FColumn = point.X;
        FGroups.clear();
    }

    void Segment(TTracePoint a, TTracePoint b, TTraceColour colour) {
        if (a.X == b.X) {
            Add({std::min(a.Y, b.Y), std::max(a.Y, b.Y)}, colour);
            return;
        }
        Add(SegmentRun(a, b, a.X), colour);
        Flush();
        // The columns strictly between the ends belong to this segment alone.
        const int first = std::max(a.X + 1, 0);
        const int last = std::min(b.X - 1, FWidth);
        for (int column = first; column <= last; ++column) Emit(column, SegmentRun(a, b, column), colour);
        FColumn = b.X;
        Add(SegmentRun(a, b, b.X), colour);
    }

    void Finish() { Flush(); }

    // Rows covered by segments within the current column, of one colour.
    void Add(TRowRun rows, TTraceColour colour) {
        if (!FGroups.empty() && FGroups.back().Colour == colour) {
            TRowRun& last = FGroups.back().Rows;
            last.Top = std::min(last.Top, rows.Top);
            last.Bottom = std::max(last.Bottom, rows.Bottom);
            return;
        }
        FGroups.push_back({rows, colour});
    }

  private:
    struct TGroup {
        TRowRun Rows;
        TTraceColour Colour;
    };

    void Flush() {
        if (FGroups.empty()) return;
        TRowRun covered = FGroups.back().Rows;
        Emit(FColumn, covered, FGroups.back().Colour);
        for (auto group = FGroups.rbegin() + 1; group != FGroups.rend(); ++group) {
            if (group->Rows.Top < covered.Top)
                Emit(FColumn, {group->Rows.Top, covered.Top - 1}, group->Colour);
            if (group->Rows.Bottom > covered.Bottom)
                Emit(FColumn, {covered.Bottom + 1, group->Rows.Bottom}, group->Colour);
            covered.Top = std::min(covered.Top, group->Rows.Top);
            covered.Bottom = std::max(covered.Bottom, group->Rows.Bottom);
        }
        FGroups.clear();
    }

    void Emit(int column, TRowRun rows, TTraceColour colour) {
        if (column < 0 || column > FWidth) return;
        const int top = std::max(rows.Top, 0);
        const int bottom = std::min(rows.Bottom, FHeight);
        if (top <= bottom) FSpans.push_back({column, top, bottom, colour});
    }

    int FWidth;
    int FHeight;
    std::vector<TTraceSpan>& FSpans;
    int FColumn = 0;
    std::vector<TGroup> FGroups;
};

}  // namespace

void TraceSpans(const TLogData& data, TGraphRange range, int width, int height, const TPlotRanges& ranges,
                std::vector<TTraceSpan>& spans) {
    spans.clear();
    if (range.Length() <= 0 || width < 0 || height < 0 ||
        static_cast<std::size_t>(range.Last) >= data.Count())
        return;
    const TTraceScales scales(ranges, height);
    const TGraphScale scale(range, width);
    const auto rows = [&](const TLogDataEntry& entry) {
        return std::array<int, 3>{ScaledTraceY(TTrace::Rpm, entry, scales),
                                  ScaledTraceY(TTrace::Load, entry, scales),
                                  ScaledTraceY(TTrace::Afr, entry, scales)};
    };
    const auto colour = [](std::size_t trace, bool grey) {
        return grey ? TTraceColour::Excluded : static_cast<TTraceColour>(trace);
    };

    // One pass over the samples feeds all three traces; their spans are
    // joined afterwards in drawing order.
    std::array<std::vector<TTraceSpan>, 3> traceSpans;
    traceSpans[0].swap(spans);
    std::array<TTraceColumns, 3> columns{TTraceColumns(width, height, traceSpans[0]),
                                         TTraceColumns(width, height, traceSpans[1]),
                                         TTraceColumns(width, height, traceSpans[2])};
    const auto first = static_cast<std::size_t>(range.First);
    const auto last = static_cast<std::size_t>(range.Last);
    std::array<int, 3> previous = rows(data[first]);
    for (std::size_t t = 0; t < 3; ++t) columns[t].Start({0, previous[t]});

    // Most segments stay within one column, and a segment's colour is the
    // same kind (own or grey) in all three traces: such a run of segments is
    // gathered here as the rows it spans before the columns hear of it.
    int column = 0;
    int runGrey = -1;  // the kind of the run's segments; -1 before the first
    std::array<TRowRun, 3> run{};
    const auto endRun = [&] {
        if (runGrey < 0) return;
        for (std::size_t t = 0; t < 3; ++t) columns[t].Add(run[t], colour(t, runGrey != 0));
    };
    for (std::size_t i = first + 1; i <= last; ++i) {
        const TLogDataEntry& to = data[i];
        Prefetch(data, i + PrefetchDistance, last, &TLogDataEntry::Rpm);
        const bool grey = !data[i - 1].Included || !to.Included;
        const int x = scale.X(static_cast<long long>(i));
        const std::array<int, 3> y = rows(to);
        if (x == column && static_cast<int>(grey) == runGrey) {
            for (std::size_t t = 0; t < 3; ++t) {
                run[t].Top = std::min(run[t].Top, y[t]);
                run[t].Bottom = std::max(run[t].Bottom, y[t]);
            }
        } else {
            endRun();
            for (std::size_t t = 0; t < 3; ++t) {
                columns[t].Segment({column, previous[t]}, {x, y[t]}, colour(t, grey));
                run[t] = {y[t], y[t]};
            }
            column = x;
            runGrey = grey ? 1 : 0;
        }
        previous = y;
    }
    endRun();
    for (TTraceColumns& trace : columns) trace.Finish();
    spans.swap(traceSpans[0]);
    spans.insert(spans.end(), traceSpans[1].begin(), traceSpans[1].end());
    spans.insert(spans.end(), traceSpans[2].begin(), traceSpans[2].end());
}

// ---- Selection and hover -----------------------------------------------

int SelectionBandWidth(TGraphRange range, int width) {
    if (range.Length() <= 0) return width + 1;
    return std::max(1, (width + range.Length() - 1) / range.Length());
}

TColumnSpan SelectionBand(TGraphRange range, int width, int index) {
    if (range.Length() <= 0) return {0, width};
    const int bandWidth = SelectionBandWidth(range, width);
    const int first = TGraphScale(range, width).X(index) - bandWidth / 2;
    return {first, first + bandWidth - 1};
}

TColumnSpan HoverBar(TGraphRange range, int width, int index) {
    const int x = TGraphScale(range, width).X(index);
    return {x - 1, x + 1};
}

// ---- Range changes -----------------------------------------------------

std::optional<TGraphRange> LabelDragRange(const TGraphArea& area, TGraphRange pressRange, int pressX, int x,
                                          std::size_t sampleCount) {
    if (sampleCount < 2 || pressRange.Length() <= 0 || area.Width <= 0) return std::nullopt;
    const int d0 = pressX - area.Left;
    const int d1 = x - area.Left;
    // Both ends of the move inside the area: at its edges the formulas divide by zero.
    if (d0 == d1 || d0 <= 0 || d0 >= area.Width || d1 <= 0 || d1 >= area.Width) return std::nullopt;
    const double first0 = pressRange.First;
    const double last0 = pressRange.Last;
    const double width = area.Width;
    const int lastIndex = static_cast<int>(sampleCount) - 1;
    TGraphRange range = pressRange;
    if (d1 > d0) {
        range.Last = std::min(lastIndex, RoundToInt(((last0 - first0) * d0 + d1 * first0) / d1));
        range.Last = std::max(range.Last, range.First + 1);
    } else {
        range.First =
            std::max(0, RoundToInt(((last0 - first0) * d0 + first0 * width - last0 * d1) / (width - d1)));
        range.First = std::min(range.First, range.Last - 1);
    }
    return ClampedGraphRange(range, sampleCount);
}

TGraphRange CentredGraphRange(TGraphRange range, int index, std::size_t sampleCount) {
    if (index < 0 || static_cast<std::size_t>(index) >= sampleCount) return range;
    if (index >= range.First && index <= range.Last) return range;
    const int lastIndex = static_cast<int>(sampleCount) - 1;
    const int length = std::clamp(range.Length(), 0, lastIndex);
    TGraphRange centred;
    centred.First = std::max(0, index - length / 2);
    centred.Last = centred.First + length;
    if (centred.Last > lastIndex) {
        centred.Last = lastIndex;
        centred.First = lastIndex - length;
    }
    return centred;
}

TSliderPlace SliderPlace(TGraphRange range, std::size_t sampleCount, int stripWidth) {
    if (stripWidth <= 0) return {0, 0};
    if (sampleCount == 0) return {0, stripWidth};
    const double count = static_cast<double>(sampleCount);
    const int width = std::clamp(RoundToInt(stripWidth * (range.Length() + 1) / count), 1, stripWidth);
    const int left = std::clamp(RoundToInt(stripWidth * range.First / count), 0, stripWidth - width);
    return {left, width};
}

int SliderDragLeft(TSliderPlace pressed, int dx, int stripWidth) {
    return std::clamp(pressed.Left + dx, 0, std::max(0, stripWidth - pressed.Width));
}

TGraphRange SliderRange(int left, int width, std::size_t sampleCount, int stripWidth) {
    if (sampleCount == 0 || stripWidth <= 0) return {};
    const double count = static_cast<double>(sampleCount);
    TGraphRange range;
    range.First = RoundToInt(count * left / stripWidth);
    range.Last = RoundToInt((left + width) * count / stripWidth) - 1;
    return ClampedGraphRange(range, sampleCount);
}

}  // namespace kelvane
