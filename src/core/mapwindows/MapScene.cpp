#include "core/mapwindows/MapScene.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "core/ground/SettingsValues.h"
#include "core/plot/PlotDisplay.h"

namespace kelvane {

namespace {

constexpr double CellWorld = 64;
constexpr double CageEdge = 7.5 * 64.001;
constexpr double Near = 0.1;
constexpr double VirtualCanvas = 1024;
constexpr double ZSpan = 256;

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

bool Within(double value, double target) {
    return std::abs(value - target) <= Near;
}

TShape Line(double x0, double y0, double z0, double x1, double y1, double z1, TColor32 color) {
    TShape line;
    line.AddVertex(static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(z0));
    line.AddVertex(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(z1));
    line.Outline = color;
    line.Fill = NoFill;
    line.Closed = false;
    return line;
}

void Rotate(std::vector<TShape>& shapes, const TRotation& rotation) {
    for (TShape& shape : shapes)
        for (TSceneVertex& v : shape.Vertices) {
            v.RX = static_cast<float>(rotation.Cos * v.X - rotation.Sin * v.Y);
            v.RY = static_cast<float>(rotation.Sin * v.X + rotation.Cos * v.Y);
        }
}

int AngleOrDefault(std::string_view text) {
    text = TrimBlanks(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return 30;
    return value;
}

}  // namespace

int TShape::AddVertex(float x, float y, float z) {
    Vertices.push_back({x, y, z, 0, 0});
    return static_cast<int>(Vertices.size()) - 1;
}

float TShape::MaxDepth() const {
    float depth = -1000000;
    for (const TSceneVertex& v : Vertices) depth = std::max(depth, v.RY);
    return depth;
}

float WorldX(int rpmIndex) {
    return static_cast<float>((rpmIndex - 7.5) * CellWorld);
}

float WorldY(int loadIndex) {
    return static_cast<float>((7.5 - loadIndex) * CellWorld);
}

const TMapGrid& ViewerMap(const TKelvaneState& state) {
    const bool reference = state.PlotDisplay.Overlay == TMapOverlay::Reference;
    if (state.Display.View == TPlotView::EZK)
        return reference ? state.Ignition.Reference : state.Ignition.Updated;
    return reference ? state.Fuel.Reference : state.Fuel.Updated;
}

void BuildSurface(TMapScene& scene, const TMapGrid& map, TSurfaceStyle style) {
    scene.Map = map;
    scene.Faces.clear();
    scene.Faces.reserve((MapSize - 1) * (MapSize - 1));
    const TColor32 fill = style.Color ? NoFill : style.Gradient ? TextureFill : SurfaceColor;
    for (int r = 0; r < MapSize - 1; ++r)
        for (int l = 0; l < MapSize - 1; ++l) {
            TShape face;
            face.Closed = true;
            face.Outline = FaceOutlineColor;
            face.Fill = fill;
            for (const auto& [dr, dl] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}})
                face.AddVertex(WorldX(r + dr), WorldY(l + dl), static_cast<float>(map.At(r + dr, l + dl)));
            scene.Faces.push_back(std::move(face));
        }
}

TZRange SurfaceZRange(const TMapScene& scene, TPlotView view, const TFuelLimits& limits) {
    if (view == TPlotView::EZK) return {0, 30};
    if (limits.Max <= 513) return {limits.Min, limits.Max};
    // The Primary Load Map: up to the next 5000 above its largest value.
    float largest = -1000000;
    for (const TShape& face : scene.Faces)
        for (const TSceneVertex& v : face.Vertices) largest = std::max(largest, v.Z);
    return {limits.Min, (std::trunc(largest / 5000.0) + 1) * 5000};
}

TZRange SnappedZRange(TZRange range) {
    if (Within(range.Min, -127)) range.Min = -128;
    if (Within(range.Max, 127)) range.Max = 128;
    if (Within(range.Min, -511)) range.Min = -511;
    if (Within(range.Max, 511)) range.Max = 511;
    return range;
}

double CageSpacing(TZRange range) {
    const double span = range.Max - range.Min;
    if (span < 100) return 10;
    if (span < 257) return 32;
    if (span < 513) return 64;
    return 5000;
}

void BuildCage(TMapScene& scene, double hDegrees, double vDegrees) {
    scene.BackLines.clear();
    scene.FrontLines.clear();
    scene.Z = SnappedZRange(scene.Z);
    const double zMin = scene.Z.Min;
    const double zMax = scene.Z.Max;
    const double d = CageSpacing(scene.Z);
    const double e = CageEdge;
    const double h = Radians(hDegrees);
    const auto levelColor = [&](double z) {
        return Within(z, zMin) || Within(z, zMax) || Within(z, 0) ? CageDarkColor : CageLightColor;
    };

    // The wall at y = +e, in front when the view looks at its outside.
    std::vector<TShape>& yWall = std::cos(h) <= 0 ? scene.FrontLines : scene.BackLines;
    for (double z = zMin; z <= zMax + Near; z += d) yWall.push_back(Line(-e, e, z, e, e, z, levelColor(z)));
    yWall.push_back(Line(-e, e, zMin, -e, e, zMax, CageDarkColor));
    yWall.push_back(Line(e, e, zMin, e, e, zMax, CageDarkColor));

    std::vector<TShape>& xWall = std::sin(h) <= 0 ? scene.FrontLines : scene.BackLines;
    for (double z = zMin; z <= zMax + Near; z += d) xWall.push_back(Line(e, -e, z, e, e, z, levelColor(z)));
    xWall.push_back(Line(e, -e, zMin, e, -e, zMax, CageDarkColor));

    std::vector<TShape>& floor = vDegrees < 1 ? scene.FrontLines : scene.BackLines;
    for (int i = 0; i < MapSize; ++i) {
        const TColor32 color = i == 0 || i == MapSize - 1 ? CageDarkColor : CageLightColor;
        const double across = (7.5 - i) * e / 7.5;
        floor.push_back(Line(-e, across, zMin, e, across, zMin, color));
        const double along = (i - 7.5) * e / 7.5;
        floor.push_back(Line(along, e, zMin, along, -e, zMin, color));
    }
}

TRotation::TRotation(double hDegrees) : Cos(std::cos(Radians(hDegrees))), Sin(std::sin(Radians(hDegrees))) {}

void RotateScene(TMapScene& scene, double hDegrees) {
    const TRotation rotation(hDegrees);
    Rotate(scene.Faces, rotation);
    Rotate(scene.BackLines, rotation);
    Rotate(scene.FrontLines, rotation);
}

TProjection::TProjection(int width, int height, double vDegrees, TZRange z)
    : Scale(std::min(width, height) / VirtualCanvas),
      HalfWidth(width / 2.0),
      SinV(std::sin(Radians(vDegrees))),
      CosV(std::cos(Radians(vDegrees))),
      ZMid((z.Max + z.Min) / 2),
      ZFactor(z.Max > z.Min ? ZSpan / (z.Max - z.Min) : 0) {}

TScreenPoint TProjection::operator()(double rx, double ry, double z) const {
    return {Scale * rx + HalfWidth, (VirtualCanvas / 2 - SinV * ry - CosV * ((z - ZMid) * ZFactor)) * Scale};
}

std::vector<TScreenPoint> ProjectShape(const TShape& shape, const TProjection& projection) {
    std::vector<TScreenPoint> points;
    points.reserve(shape.Vertices.size());
    for (const TSceneVertex& v : shape.Vertices) points.push_back(projection(v.RX, v.RY, v.Z));
    return points;
}

void SortFacesBackToFront(std::vector<TShape>& faces) {
    std::stable_sort(faces.begin(), faces.end(),
                     [](const TShape& a, const TShape& b) { return a.MaxDepth() > b.MaxDepth(); });
}

double SignedArea(const std::vector<TScreenPoint>& points) {
    double area = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TScreenPoint& a = points[i];
        const TScreenPoint& b = points[(i + 1) % points.size()];
        area += (b.X - a.X) * (b.Y + a.Y);
    }
    return area;
}

TColor32 DrawnFill(const TShape& face, double signedArea) {
    if (face.Fill == NoFill || face.Fill == TextureFill) return face.Fill;
    return signedArea > 0 ? BackFaceColor : face.Fill;
}

TColorTable MapViewerColorTable() {
    return {{-128, 0x00FFFF00}, {-80, 0x00A2FF00}, {-32, 0x0000FFA6},
            {0, 0x009DA3FB},    {64, 0x00E75FE7},  {128, 0x00FF0000}};
}

double TextureValue(const TMapGrid& map, int i, int j) {
    const double u = std::clamp(i / 64.0 - 0.5, 0.001, 14.999);
    const double w = std::clamp(j / 64.0 - 0.5, 0.001, 14.999);
    const double load = 15 - w;
    const int r0 = static_cast<int>(std::floor(u));
    const int r1 = static_cast<int>(std::ceil(u));
    const int l0 = static_cast<int>(std::floor(load));
    if (r0 == r1) return map.At(r0, l0);
    return map.At(r0, l0) + (u - r0) * (map.At(r1, l0) - map.At(r0, l0));
}

std::vector<TColor32> BuildTexture(const TMapGrid& map, const TColorTable& scale) {
    std::vector<TColor32> texture(static_cast<std::size_t>(TextureSize) * TextureSize);
    // A row's colours depend only on its load row, so each is worked out once.
    std::vector<TColor32> rowColors[MapSize];
    for (int j = 0; j < TextureSize; ++j) {
        const double w = std::clamp(j / 64.0 - 0.5, 0.001, 14.999);
        const int l0 = static_cast<int>(std::floor(15 - w));
        std::vector<TColor32>& row = rowColors[l0];
        if (row.empty()) {
            row.resize(TextureSize);
            for (int i = 0; i < TextureSize; ++i)
                row[static_cast<std::size_t>(i)] = ColorLookup(scale, 255, TextureValue(map, i, j));
        }
        std::copy(row.begin(), row.end(), texture.begin() + static_cast<std::ptrdiff_t>(j) * TextureSize);
    }
    return texture;
}

double InterpolateFaceZ(const TShape& face, double x, double y) {
    const TSceneVertex& a = face.Vertices[0];
    const TSceneVertex& b = face.Vertices[1];
    const TSceneVertex& d = face.Vertices[2];
    const TSceneVertex& c = face.Vertices[3];
    const double top = b.X - a.X > Near ? ((b.X - x) * a.Z + (x - a.X) * b.Z) / (b.X - a.X) : a.Z;
    const double bottom = d.X - c.X > Near ? ((d.X - x) * c.Z + (x - c.X) * d.Z) / (d.X - c.X) : c.Z;
    if (a.Y - c.Y > Near) return ((y - c.Y) * top + (a.Y - y) * bottom) / (a.Y - c.Y);
    return top;
}

void PaintFaceTexture(const TShape& face, const TRotation& rotation, const TProjection& projection,
                      const std::vector<TColor32>& texture, const TPixelTarget& target) {
    if (face.Vertices.size() != 4 || texture.size() != static_cast<std::size_t>(TextureSize) * TextureSize)
        return;
    const TSceneVertex& a = face.Vertices[0];
    const TSceneVertex& b = face.Vertices[1];
    const TSceneVertex& d = face.Vertices[2];
    const TSceneVertex& c = face.Vertices[3];
    // InterpolateFaceZ taken apart: top and bottom depend on x alone, and the
    // blend between them is linear in y.
    const bool acrossTop = b.X - a.X > Near;
    const bool acrossBottom = d.X - c.X > Near;
    const bool down = a.Y - c.Y > Near;
    const double height = a.Y - c.Y;
    for (double x = a.X; x < b.X; x += 1) {
        const int i = static_cast<int>(std::lrint(x)) + TextureSize / 2;
        if (i < 0 || i >= TextureSize) continue;
        const double top = acrossTop ? ((b.X - x) * a.Z + (x - a.X) * b.Z) / (b.X - a.X) : a.Z;
        const double bottom = acrossBottom ? ((d.X - x) * c.Z + (x - c.X) * d.Z) / (d.X - c.X) : c.Z;
        const double rxOfX = rotation.Cos * x;
        const double ryOfX = rotation.Sin * x;
        for (double y = a.Y; y > c.Y; y -= 1) {
            const int j = static_cast<int>(std::lrint(y)) + TextureSize / 2;
            if (j < 0 || j >= TextureSize) continue;
            const double z = down ? ((y - c.Y) * top + (a.Y - y) * bottom) / height : top;
            const TScreenPoint point = projection(rxOfX - rotation.Sin * y, ryOfX + rotation.Cos * y, z);
            const long px = std::lrint(point.X);
            const long py = std::lrint(point.Y);
            if (px < 0 || py < 0 || px >= target.Width || py >= target.Height) continue;
            target.Pixels[py * target.Stride + px] =
                texture[static_cast<std::size_t>(j) * TextureSize + static_cast<std::size_t>(i)];
        }
    }
}

int WrapAngle(int degrees) {
    degrees %= 360;
    if (degrees > 180) return degrees - 360;
    if (degrees < -180) return degrees + 360;
    return degrees;
}

TViewAngles DraggedAngles(TViewAngles recorded, int dx, int dy) {
    return {WrapAngle(recorded.H + dx / 4), std::clamp(recorded.V + dy / 4, -90, 90)};
}

TViewAngles ParseViewAngle(std::string_view text) {
    const std::size_t comma = text.find(',');
    const std::string_view first = text.substr(0, comma);
    const std::string_view second =
        comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    return {std::clamp(AngleOrDefault(first), -180, 180), std::clamp(AngleOrDefault(second), -90, 90)};
}

}  // namespace kelvane
