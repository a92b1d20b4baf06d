#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/display/ColorTable.h"
#include "core/maps/MapGrid.h"
#include "core/maps/MapSets.h"
#include "core/plot/DisplayOptions.h"
#include "core/state/KelvaneState.h"

namespace kelvane {

// The 3D map viewer's scene: the map as 225 four-cornered faces over the
// RPM by load plane inside a cage of grid lines, turned by a horizontal
// angle h, seen from a vertical angle v and drawn back to front.

struct TSceneVertex {
    float X = 0, Y = 0, Z = 0;  // world
    float RX = 0, RY = 0;       // x and y after rotation
};

// Fill of a shape: none (outline only), the texture, or a solid colour.
inline constexpr TColor32 NoFill = 0;
inline constexpr TColor32 TextureFill = 1;

inline constexpr TColor32 FaceOutlineColor = 0xFF000000;
inline constexpr TColor32 SurfaceColor = 0xFFDFDFDF;
inline constexpr TColor32 BackFaceColor = 0xFF7F7F7F;
inline constexpr TColor32 CageDarkColor = 0xFF7F7F7F;
inline constexpr TColor32 CageLightColor = 0xFFBFBFBF;

// One drawable primitive: a closed face or an open polyline.
struct TShape {
    std::vector<TSceneVertex> Vertices;
    TColor32 Outline = FaceOutlineColor;
    TColor32 Fill = NoFill;
    bool Closed = false;

    int AddVertex(float x, float y, float z);
    // The largest rotated depth; -1000000 without vertices.
    float MaxDepth() const;
};

struct TZRange {
    double Min = 0;
    double Max = 0;
};

struct TMapScene {
    std::vector<TShape> Faces;
    std::vector<TShape> BackLines;   // drawn before the surface
    std::vector<TShape> FrontLines;  // drawn after it
    TMapGrid Map{};                  // what the surface was built from
    TZRange Z;
};

// "Color" draws the faces as outlines, else "Gradient" fills them with the
// texture, else they are light grey.
struct TSurfaceStyle {
    bool Color = false;
    bool Gradient = false;
};

// World coordinates of a grid point.
float WorldX(int rpmIndex);
float WorldY(int loadIndex);

// What the viewer shows: the reference map of the plot's view when the plot
// prints reference values, its updated map otherwise.
const TMapGrid& ViewerMap(const TKelvaneState& state);

// The faces of a map and its z range: the fuel limits in the LH view (above
// 513, the Primary Load Map, the top is the largest value rounded up to the
// next 5000), 0 to 30 degrees in the EZK view.
void BuildSurface(TMapScene& scene, const TMapGrid& map, TSurfaceStyle style);
TZRange SurfaceZRange(const TMapScene& scene, TPlotView view, const TFuelLimits& limits);

// The cage's ends snap to the map limits they stand for (-127 / 127 to
// -128 / 128, and exactly -511 / 511); the line spacing follows the span.
TZRange SnappedZRange(TZRange range);
double CageSpacing(TZRange range);
// Rebuilds the cage lines for the angles (degrees); snaps the scene's z range.
void BuildCage(TMapScene& scene, double hDegrees, double vDegrees);
// Fills RX and RY of every vertex of every list.
void RotateScene(TMapScene& scene, double hDegrees);

// Rotated coordinates of a world point.
struct TRotation {
    double Cos = 1, Sin = 0;
    explicit TRotation(double hDegrees);
};

struct TScreenPoint {
    double X = 0, Y = 0;
};

// Projection onto a view: the z range always spans 256 units of the
// 1024-unit virtual canvas, scaled by s = min(width, height) / 1024.
struct TProjection {
    TProjection(int width, int height, double vDegrees, TZRange z);
    TScreenPoint operator()(double rx, double ry, double z) const;
    double Scale = 1;
    double HalfWidth = 0;
    double SinV = 1, CosV = 0;
    double ZMid = 0, ZFactor = 1;
};

std::vector<TScreenPoint> ProjectShape(const TShape& shape, const TProjection& projection);

// Painter's order: the face with the largest depth first, the first of equals first.
void SortFacesBackToFront(std::vector<TShape>& faces);

// Sum over the edges of (x[i+1] - x[i]) * (y[i+1] + y[i]); above 0 for a
// face seen from below.
double SignedArea(const std::vector<TScreenPoint>& points);
// The solid fill a face is drawn with: grey when seen from below. The
// texture and outline-only faces keep their own fill.
TColor32 DrawnFill(const TShape& face, double signedArea);

// The texture: 1024 x 1024 colours, row-major (index j * 1024 + i), of the
// map interpolated along RPM and constant within a load row, on the
// viewer's six-stop scale.
inline constexpr int TextureSize = 1024;
TColorTable MapViewerColorTable();
double TextureValue(const TMapGrid& map, int i, int j);
std::vector<TColor32> BuildTexture(const TMapGrid& map, const TColorTable& scale);

// z at (x, y) inside a face, from its corners P0, P1, P2, P3.
double InterpolateFaceZ(const TShape& face, double x, double y);

// A 32-bit pixel buffer to paint into.
struct TPixelTarget {
    std::uint32_t* Pixels = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;  // pixels from one row to the next
};
// Paints the texture into a four-cornered face, one world unit at a time,
// each point rotated and projected onto its nearest pixel.
void PaintFaceTexture(const TShape& face, const TRotation& rotation, const TProjection& projection,
                      const std::vector<TColor32>& texture, const TPixelTarget& target);

// The viewer's angles in degrees: h -180 .. 180, v -90 .. 90.
struct TViewAngles {
    int H = 0;
    int V = 90;
    bool operator==(const TViewAngles&) const = default;
};
// Into -180 .. 180 however far it went.
int WrapAngle(int degrees);
// A drag from the recorded angles: a degree per four pixels each way.
TViewAngles DraggedAngles(TViewAngles recorded, int dx, int dy);
// "View Angle": "h,v", each number 30 when it cannot be read.
TViewAngles ParseViewAngle(std::string_view text);
inline constexpr std::string_view DefaultViewAngle = "20,30";

}  // namespace kelvane
