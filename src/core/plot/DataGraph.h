#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/MapAxes.h"
#include "core/plot/GraphRange.h"

namespace kelvane {

// The data graph: engine speed, load and AFR over sample number, with a time
// scale below. Everything here is in pixels of the graph image.

inline constexpr int GraphMarginLeft = 10;
inline constexpr int GraphMarginTop = 10;
inline constexpr int GraphMarginRight = 10;
inline constexpr int GraphMarginBottom = 25;

// The area the traces are drawn in. It is closed: its frame lies on the
// columns Left and Right() and the rows Top and Bottom(), so the layers that
// cover it are Width + 1 by Height + 1 pixels.
struct TGraphArea {
    int Left = GraphMarginLeft;
    int Top = GraphMarginTop;
    int Width = 0;
    int Height = 0;

    static TGraphArea ForImage(int imageWidth, int imageHeight);
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool Usable() const { return Width > 0 && Height > 0; }
    // Below the area, where the time labels are: a drag there changes the range.
    bool InLabelArea(int y) const { return y > Bottom(); }
    bool operator==(const TGraphArea&) const = default;
};

// The range the graph shows for the one stored in the state: the whole list
// when nothing was set yet, otherwise the stored range kept on the list.
TGraphRange ShownGraphRange(TGraphRange stored, std::size_t sampleCount);

// Where samples lie across the area: x = round((index - First) / Length *
// Width), relative to the area's left edge. A range of one sample puts it at 0
// without dividing.
class TGraphScale {
  public:
    TGraphScale(TGraphRange range, int width);
    int X(long long index) const;

  private:
    long long FFirst;
    double FPixelsPerSample;
};

// The sample under an image x, never outside the range shown: clicks in the
// margins take its first or last sample.
int GraphIndexAt(const TGraphArea& area, TGraphRange range, int x);

// Time marks: a step of whole seconds from 1 to 200000 so that marks come
// about every 30 pixels.
int TimeMarkStep(double spanDays, int graphWidth);

struct TTimeMark {
    int Index = 0;
    int X = 0;               // image x
    bool FileStart = false;  // the first sample of a file: a black line
    bool Line = false;       // strictly inside the area: a vertical line
    std::string Label;       // the sample's time in whole seconds
    bool operator==(const TTimeMark&) const = default;
};

// The marks that fall within the area (ends included); none with ten samples
// or fewer. A sample is marked when its time has reached the next mark time,
// or when it starts a file; the walk runs from the list's start, so the marks
// stay put when the range moves.
std::vector<TTimeMark> TimeMarks(const TLogData& data, TGraphRange range, const TGraphArea& area);

// A sample a time mark falls on.
struct TMarkedSample {
    int Index = 0;
    bool FileStart = false;
};

// The same marks, with the walk kept between drawings: the walk reads every
// sample's time, but what it finds depends only on the list and the step, so
// it runs once for each step a range asks for. Forget when the list changes.
class TTimeMarkCache {
  public:
    std::vector<TTimeMark> Marks(const TLogData& data, TGraphRange range, const TGraphArea& area);
    void Forget();

  private:
    struct TWalk {
        double StepDays = 0;
        std::vector<TMarkedSample> Marked;  // over the whole list
    };
    std::vector<TWalk> FWalks;
    // The list walked; another one (or one of another length) drops the walks.
    const TLogDataEntry* FEntries = nullptr;
    std::size_t FCount = 0;
};

// The rows of the three quarter lines, in image y.
std::vector<int> QuarterLines(const TGraphArea& area);

// ---- Traces ------------------------------------------------------------

enum class TTrace : std::uint8_t { Rpm, Load, Afr };
inline constexpr TTrace Traces[] = {TTrace::Rpm, TTrace::Load, TTrace::Afr};

// A segment's colour: its trace's own, or grey when it touches an excluded sample.
enum class TTraceColour : std::uint8_t { Rpm, Load, Afr, Excluded };
TTraceColour SegmentColour(TTrace trace, const TLogDataEntry& from, const TLogDataEntry& to);

// A sample's y in a trace, 0 at the top of the area and height at its
// bottom: engine speed and load from 0 up to the plot's maxima, AFR from 12
// up to 17. Values far off the area are held at a distance that keeps the
// arithmetic in range.
int TraceY(TTrace trace, const TLogDataEntry& entry, const TPlotRanges& ranges, int height);

struct TTracePoint {
    int X = 0;
    int Y = 0;
};

// The rows a line from a to b (a.X <= b.X) covers in one column between
// them, ends included. Each column takes the row of the line at its centre
// and half of the gap to its neighbours' rows, so the columns join without
// holes and with one pixel per column where the line is flat; a segment
// within one column covers the rows between its ends.
struct TRowRun {
    int Top = 0;
    int Bottom = 0;
};
TRowRun SegmentRun(TTracePoint a, TTracePoint b, int column);

// One vertical piece of a trace, rows Top .. Bottom of column X of the
// trace layer.
struct TTraceSpan {
    std::int32_t X = 0;
    std::int32_t Top = 0;
    std::int32_t Bottom = 0;
    TTraceColour Colour = TTraceColour::Rpm;
};

// The traces of the range as vertical spans per pixel column, for a layer of
// (width + 1) x (height + 1) pixels. Painting the spans gives exactly the
// pixels of drawing, trace after trace (engine speed, load, AFR, so AFR
// stays on top), each segment with SegmentRun, later ones over earlier
// ones, clipped to the layer; but it costs one pass over the samples and at
// most a few spans per column, however many samples share a column.
void TraceSpans(const TLogData& data, TGraphRange range, int width, int height, const TPlotRanges& ranges,
                std::vector<TTraceSpan>& spans);

// ---- Selection and hover -----------------------------------------------

// Columns First .. Last of the layer, inclusive.
struct TColumnSpan {
    int First = 0;
    int Last = -1;
    bool operator==(const TColumnSpan&) const = default;
};

// The width of the band a selected sample clears in the fog: the pixels one
// sample takes, at least one; the whole area for a range of one sample.
int SelectionBandWidth(TGraphRange range, int width);
// The band of a sample, centred on its x.
TColumnSpan SelectionBand(TGraphRange range, int width, int index);
// The hover bar: three pixels wide at the sample's x.
TColumnSpan HoverBar(TGraphRange range, int width, int index);

// ---- Range changes -----------------------------------------------------

// A drag in the time-label area from pressX to x (image x), over the range
// the press found: moving right stretches the range's start over to the
// mouse (the last sample changes), moving left the other way (the first
// changes). Nothing when the move does not count: no samples, a range of
// one sample, no movement, or a move at or past the edge it divides by.
std::optional<TGraphRange> LabelDragRange(const TGraphArea& area, TGraphRange pressRange, int pressX, int x,
                                          std::size_t sampleCount);

// The range moved (keeping its length) so that the index is in its middle,
// when the index lies outside it; otherwise the range as it is.
TGraphRange CentredGraphRange(TGraphRange range, int index, std::size_t sampleCount);

// The slider in its strip shows the range as a fraction of the list.
struct TSliderPlace {
    int Left = 0;
    int Width = 0;
    bool operator==(const TSliderPlace&) const = default;
};
// At least one pixel wide, kept inside the strip; the whole strip without samples.
TSliderPlace SliderPlace(TGraphRange range, std::size_t sampleCount, int stripWidth);
// The slider pressed at its place and moved by dx: its new left edge, kept inside the strip.
int SliderDragLeft(TSliderPlace pressed, int dx, int stripWidth);
// The range a slider at left with the given width stands for.
TGraphRange SliderRange(int left, int width, std::size_t sampleCount, int stripWidth);

}  // namespace kelvane
