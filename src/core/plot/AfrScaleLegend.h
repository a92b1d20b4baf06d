#pragma once

#include <string>
#include <vector>

#include "core/display/ColorTable.h"
#include "core/plot/PlotDisplay.h"
#include "core/plot/PlotGeometry.h"

namespace kelvane {

// AFR scale legend: an AfrScaleWidth x AfrScaleHeight box with a 201-pixel colour bar.
constexpr int AfrScaleBarLeft = 15;
constexpr int AfrScaleBarRight = 215;
constexpr int AfrScaleBarTop = 1;
constexpr int AfrScaleBarBottom = 20;
constexpr int AfrScaleBarSteps = 200;

// The value whose colour fills bar line i (0 .. 200).
double AfrScaleBarValue(const TColorTable& table, int i);
struct TAfrScaleTick {
    int X = 0;  // box coordinates
    std::string Text;
    bool operator==(const TAfrScaleTick&) const = default;
};
std::vector<TAfrScaleTick> AfrScaleTicks(const TColorTable& table);

// Top-left of the box for a stored position (negative: from the right or
// bottom edge), kept inside the image.
TPixelPoint AfrScaleBoxOrigin(int storedX, int storedY, int imageWidth, int imageHeight);
// A dragged box's top-left kept inside the image.
TPixelPoint ClampAfrScaleBox(int left, int top, int imageWidth, int imageHeight);
// The position stored when a drag ends: in the right (bottom) half of the
// image as a negative distance from the right (bottom) edge.
TPixelPoint StoredAfrScalePosition(int left, int top, int imageWidth, int imageHeight);

}  // namespace kelvane
