#include <gtest/gtest.h>

#include <algorithm>

#include "core/mapwindows/MapScene.h"

namespace kelvane {
namespace {

// Every cell different: r * 3 - l * 5.
TMapGrid SlopedMap() {
    TMapGrid map;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l) map.At(r, l) = r * 3 - l * 5;
    return map;
}

TMapScene SceneOf(const TMapGrid& map, TSurfaceStyle style = {}, TZRange z = {-127, 127}) {
    TMapScene scene;
    BuildSurface(scene, map, style);
    scene.Z = z;
    return scene;
}

TEST(MapSceneTest, SurfaceIs225FacesOverTheGridPoints) {
    const TMapScene scene = SceneOf(SlopedMap());
    ASSERT_EQ(scene.Faces.size(), 225u);
    const TShape& face = scene.Faces[16];  // r = 1, l = 1
    ASSERT_EQ(face.Vertices.size(), 4u);
    EXPECT_TRUE(face.Closed);
    EXPECT_EQ(face.Outline, FaceOutlineColor);
    EXPECT_EQ(face.Fill, SurfaceColor);
    EXPECT_EQ(face.Vertices[0].X, -416);
    EXPECT_EQ(face.Vertices[0].Y, 416);
    EXPECT_EQ(face.Vertices[0].Z, 3 - 5);
    EXPECT_EQ(face.Vertices[2].X, -352);
    EXPECT_EQ(face.Vertices[2].Y, 352);
    EXPECT_EQ(face.Vertices[2].Z, 6 - 10);
    EXPECT_EQ(SceneOf(SlopedMap(), {true, true}).Faces[0].Fill, NoFill);
    EXPECT_EQ(SceneOf(SlopedMap(), {false, true}).Faces[0].Fill, TextureFill);
}

TEST(MapSceneTest, ViewerShowsTheMapThePlotPrints) {
    TKelvaneState state;
    state.Fuel.Reference.Fill(1);
    state.Fuel.Updated.Fill(2);
    state.Ignition.Reference.Fill(3);
    state.Ignition.Updated.Fill(4);
    EXPECT_EQ(&ViewerMap(state), &state.Fuel.Updated);
    state.PlotDisplay.Overlay = TMapOverlay::Reference;
    EXPECT_EQ(&ViewerMap(state), &state.Fuel.Reference);
    state.Display.View = TPlotView::EZK;
    EXPECT_EQ(&ViewerMap(state), &state.Ignition.Reference);
    state.PlotDisplay.Overlay = TMapOverlay::MeanAfr;
    EXPECT_EQ(&ViewerMap(state), &state.Ignition.Updated);
}

// h = 0, v = 90 looks straight down: RPM from left to right, load index 0
// along the top edge, whatever the values.
TEST(MapSceneTest, FlatTopViewAtZeroAndNinety) {
    TMapScene scene = SceneOf(SlopedMap());
    RotateScene(scene, 0);
    const TProjection projection(1024, 1024, 90, scene.Z);
    for (const TShape& face : scene.Faces) {
        const std::vector<TScreenPoint> points = ProjectShape(face, projection);
        for (std::size_t k = 0; k < 4; ++k) {
            const TSceneVertex& v = face.Vertices[k];
            const double r = v.X / 64 + 7.5;
            const double l = 7.5 - v.Y / 64;
            EXPECT_NEAR(points[k].X, 32 + 64 * r, 1e-3);
            EXPECT_NEAR(points[k].Y, 32 + 64 * l, 1e-3);
        }
        EXPECT_LT(SignedArea(points), 0);  // seen from above
    }
}

TEST(MapSceneTest, ProjectionScalesTheZRangeTo256Units) {
    const TProjection side(800, 600, 0, {-128, 128});
    EXPECT_DOUBLE_EQ(side.Scale, 600.0 / 1024);
    EXPECT_DOUBLE_EQ(side(0, 0, 128).Y, (512 - 128) * side.Scale);
    EXPECT_DOUBLE_EQ(side(0, 0, -128).Y, (512 + 128) * side.Scale);
    EXPECT_DOUBLE_EQ(side(100, 0, 0).X, 100 * side.Scale + 400);
}

TEST(MapSceneTest, ZRangeByViewAndMap) {
    TMapGrid primary;
    primary.Fill(20000);
    primary.At(7, 9) = 41000;
    const TZRange top = SurfaceZRange(SceneOf(primary), TPlotView::LH, {65535, 0});
    EXPECT_EQ(top.Min, 0);
    EXPECT_EQ(top.Max, 45000);
    EXPECT_EQ(CageSpacing(top), 5000);
    primary.At(7, 9) = 40000;
    EXPECT_EQ(SurfaceZRange(SceneOf(primary), TPlotView::LH, {65535, 0}).Max, 45000);

    const TZRange lh23 = SurfaceZRange(SceneOf(SlopedMap()), TPlotView::LH, {127, -127});
    EXPECT_EQ(lh23.Min, -127);
    EXPECT_EQ(lh23.Max, 127);
    const TZRange ezk = SurfaceZRange(SceneOf(SlopedMap()), TPlotView::EZK, {127, -127});
    EXPECT_EQ(ezk.Min, 0);
    EXPECT_EQ(ezk.Max, 30);
    EXPECT_EQ(CageSpacing(ezk), 10);
    const TZRange lh22 = SnappedZRange({-511.05, 510.95});
    EXPECT_EQ(lh22.Min, -511);
    EXPECT_EQ(lh22.Max, 511);
}

// An LH 2.3 map: the cage runs from -128 to 128 with a line every 32, dark
// at -128, 0 and 128.
TEST(MapSceneTest, LH23CageFromMinus128To128Every32) {
    TMapScene scene = SceneOf(SlopedMap());
    BuildCage(scene, 20, 30);
    EXPECT_EQ(scene.Z.Min, -128);
    EXPECT_EQ(scene.Z.Max, 128);
    // h = 20: both walls behind the surface, the floor too (v >= 1).
    EXPECT_TRUE(scene.FrontLines.empty());
    // The y wall comes first: its level lines run across x at one height.
    ASSERT_GE(scene.BackLines.size(), 10u);
    std::vector<std::pair<float, TColor32>> levels;
    for (std::size_t k = 0; k < 9; ++k) {
        const TShape& line = scene.BackLines[k];
        ASSERT_EQ(line.Vertices.size(), 2u);
        EXPECT_FALSE(line.Closed);
        const TSceneVertex& a = line.Vertices[0];
        const TSceneVertex& b = line.Vertices[1];
        EXPECT_EQ(a.Z, b.Z);
        EXPECT_GT(a.Y, 480);
        EXPECT_LT(a.X, b.X);
        levels.emplace_back(a.Z, line.Outline);
    }
    EXPECT_EQ(scene.BackLines[9].Vertices[0].Z, -128);
    EXPECT_EQ(scene.BackLines[9].Vertices[1].Z, 128);
    const std::vector<std::pair<float, TColor32>> expected{
        {-128, CageDarkColor}, {-96, CageLightColor}, {-64, CageLightColor},
        {-32, CageLightColor}, {0, CageDarkColor},    {32, CageLightColor},
        {64, CageLightColor},  {96, CageLightColor},  {128, CageDarkColor}};
    EXPECT_EQ(levels, expected);
}

TEST(MapSceneTest, CageWallsComeForwardAsTheViewTurns) {
    const auto counts = [](double h, double v) {
        TMapScene scene = SceneOf(SlopedMap());
        BuildCage(scene, h, v);
        return std::pair{scene.BackLines.size(), scene.FrontLines.size()};
    };
    // Wall y: 9 levels + 2 edges; wall x: 9 levels + 1 edge; floor: 32 lines.
    EXPECT_EQ(counts(20, 30), std::pair(std::size_t{53}, std::size_t{0}));
    EXPECT_EQ(counts(180, 30), std::pair(std::size_t{42}, std::size_t{11}));
    EXPECT_EQ(counts(-90, 30), std::pair(std::size_t{43}, std::size_t{10}));
    EXPECT_EQ(counts(20, 0), std::pair(std::size_t{21}, std::size_t{32}));
}

TEST(MapSceneTest, PaintersOrderTakesTheFarthestFirst) {
    TMapScene scene = SceneOf(SlopedMap());
    RotateScene(scene, 30);
    SortFacesBackToFront(scene.Faces);
    for (std::size_t i = 1; i < scene.Faces.size(); ++i)
        EXPECT_GE(scene.Faces[i - 1].MaxDepth(), scene.Faces[i].MaxDepth());

    // Equal depths keep their order.
    std::vector<TShape> faces(3);
    for (int k = 0; k < 3; ++k) {
        faces[k].AddVertex(0, 0, 0);
        faces[k].Vertices[0].RY = k == 1 ? 5.0f : 1.0f;
        faces[k].Outline = static_cast<TColor32>(k);
    }
    SortFacesBackToFront(faces);
    EXPECT_EQ(faces[0].Outline, 1u);
    EXPECT_EQ(faces[1].Outline, 0u);
    EXPECT_EQ(faces[2].Outline, 2u);
    EXPECT_EQ(TShape{}.MaxDepth(), -1000000);
}

// Seen from below a face turns grey, unless it is drawn as an outline or
// with the texture.
TEST(MapSceneTest, FacesSeenFromBelowAreGrey) {
    for (const TSurfaceStyle style :
         {TSurfaceStyle{}, TSurfaceStyle{true, false}, TSurfaceStyle{false, true}}) {
        TMapScene scene = SceneOf(SlopedMap(), style);
        RotateScene(scene, 0);
        const TProjection below(1024, 1024, -90, scene.Z);
        const TShape& face = scene.Faces[40];
        const double area = SignedArea(ProjectShape(face, below));
        EXPECT_GT(area, 0);
        const TColor32 expected = style.Color ? NoFill : style.Gradient ? TextureFill : BackFaceColor;
        EXPECT_EQ(DrawnFill(face, area), expected);
        EXPECT_EQ(DrawnFill(face, -area), face.Fill);
    }
}

TEST(MapSceneTest, TextureIsLinearAlongRpmAndConstantWithinALoadRow) {
    const TMapGrid map = SlopedMap();
    EXPECT_DOUBLE_EQ(TextureValue(map, 64 * 4 + 32, 992 - 64 * 6), map.At(4, 6));
    EXPECT_DOUBLE_EQ(TextureValue(map, 64 * 4 + 64, 992 - 64 * 6), (map.At(4, 6) + map.At(5, 6)) / 2);
    // Within a load row, down to the next one.
    EXPECT_DOUBLE_EQ(TextureValue(map, 64 * 4 + 32, 992 - 64 * 6 - 40), map.At(4, 6));
    // The edges are held inside the map.
    EXPECT_NEAR(TextureValue(map, 0, 1023), map.At(0, 0), 0.01);
    EXPECT_NEAR(TextureValue(map, 1023, 0), map.At(14, 14) + 0.999 * (map.At(15, 14) - map.At(14, 14)), 1e-9);

    const TColorTable scale = MapViewerColorTable();
    ASSERT_EQ(scale.size(), 6u);
    TMapGrid zero{};
    const std::vector<TColor32> texture = BuildTexture(zero, scale);
    ASSERT_EQ(texture.size(), 1024u * 1024u);
    EXPECT_EQ(texture[5 * 1024 + 7], 0xFF9DA3FBu);
    const std::vector<TColor32> sloped = BuildTexture(map, scale);
    for (const auto& [i, j] : {std::pair{10, 20}, {500, 700}, {1000, 3}, {288, 608}})
        EXPECT_EQ(sloped[static_cast<std::size_t>(j) * 1024 + i],
                  ColorLookup(scale, 255, TextureValue(map, i, j)));
}

TEST(MapSceneTest, FaceInterpolation) {
    TShape face;
    face.AddVertex(0, 64, 10);   // a
    face.AddVertex(64, 64, 20);  // b
    face.AddVertex(64, 0, 40);   // d
    face.AddVertex(0, 0, 30);    // c
    EXPECT_DOUBLE_EQ(InterpolateFaceZ(face, 0, 64), 10);
    EXPECT_DOUBLE_EQ(InterpolateFaceZ(face, 64, 0), 40);
    EXPECT_DOUBLE_EQ(InterpolateFaceZ(face, 32, 32), 25);
    EXPECT_DOUBLE_EQ(InterpolateFaceZ(face, 16, 64), 12.5);
}

TEST(MapSceneTest, TexturePaintedWhereThePointsProject) {
    const TMapGrid map = SlopedMap();
    TMapScene scene = SceneOf(map, {false, true});
    RotateScene(scene, 0);
    const std::vector<TColor32> texture = BuildTexture(map, MapViewerColorTable());
    std::vector<std::uint32_t> pixels(1024 * 1024, 0);
    const TPixelTarget target{pixels.data(), 1024, 1024, 1024};
    const TProjection top(1024, 1024, 90, scene.Z);
    PaintFaceTexture(scene.Faces[0], TRotation(0), top, texture, target);  // r = 0, l = 0
    // Straight down, screen (x, y) shows texture (x, 1024 - y).
    for (const auto& [x, y] : {std::pair{33, 33}, {64, 64}, {95, 95}})
        EXPECT_EQ(pixels[static_cast<std::size_t>(y) * 1024 + x],
                  texture[static_cast<std::size_t>(1024 - y) * 1024 + x]);
    EXPECT_EQ(pixels[200 * 1024 + 200], 0u);
    const auto painted = std::count_if(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p != 0; });
    EXPECT_EQ(painted, 64 * 64);

    // Points off the layer are left out.
    std::vector<std::uint32_t> small(10 * 10, 0);
    PaintFaceTexture(scene.Faces[0], TRotation(0), top, texture, TPixelTarget{small.data(), 10, 10, 10});
    EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](std::uint32_t p) { return p == 0; }));
}

TEST(MapSceneTest, DraggedAnglesWrapAndStop) {
    EXPECT_EQ(DraggedAngles({170, 30}, 400, 0), (TViewAngles{-90, 30}));
    EXPECT_EQ(DraggedAngles({0, 30}, -3, 7), (TViewAngles{0, 31}));
    EXPECT_EQ(DraggedAngles({0, 30}, 0, 1000), (TViewAngles{0, 90}));
    EXPECT_EQ(DraggedAngles({0, -30}, 0, -1000), (TViewAngles{0, -90}));
    EXPECT_EQ(DraggedAngles({-170, 0}, -4000, 0), (TViewAngles{-170 - 1000 + 1080, 0}));
    EXPECT_EQ(WrapAngle(180), 180);
    EXPECT_EQ(WrapAngle(-180), -180);
    EXPECT_EQ(WrapAngle(181), -179);
}

TEST(MapSceneTest, ViewAngleSetting) {
    EXPECT_EQ(ParseViewAngle(DefaultViewAngle), (TViewAngles{20, 30}));
    EXPECT_EQ(ParseViewAngle("-45,60"), (TViewAngles{-45, 60}));
    EXPECT_EQ(ParseViewAngle("x,60"), (TViewAngles{30, 60}));
    EXPECT_EQ(ParseViewAngle("10"), (TViewAngles{10, 30}));
    EXPECT_EQ(ParseViewAngle("400,-200"), (TViewAngles{180, -90}));
}

}  // namespace
}  // namespace kelvane
