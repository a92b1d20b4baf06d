// The 3D map viewer at 800 x 600: one rotate-and-render of a 16 x 16 map
// with the gradient texture (cage rebuilt, every shape rotated, painter's
// order, back lines, the 225 textured faces and their outlines, front lines),
// and the rebuild that makes the 1024 x 1024 texture, which runs only when
// the map or the style changes. Beside them, in the same run, the plain
// pass every frame stands on: clearing the two layers and blending them over
// white, with nothing drawn.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <cmath>

#include "QtBenchMain.h"
#include "app/mapwindows/MapViewerRender.h"

namespace kelvane {
namespace {

const QSize ViewSize(800, 600);
constexpr TSurfaceStyle Gradient{false, true};

// A fuel map spanning the LH 2.3 range, with a ridge and a fold.
TMapGrid BenchMap() {
    TMapGrid map;
    for (int r = 0; r < MapSize; ++r)
        for (int l = 0; l < MapSize; ++l)
            map.At(r, l) = std::round(-110 + 14 * l + 6 * r * std::sin(l * 0.4) - 0.3 * (r - 8) * (r - 8));
    return map;
}

void BM_ViewerRotateAndRenderGradient(benchmark::State& bench) {
    TMapViewerRender render;
    render.Rebuild(BenchMap(), TPlotView::LH, TFuelLimits{127, -127}, Gradient);
    int h = 20;
    for (auto _ : bench) {
        render.RotateAndRender(ViewSize, h, 30);
        const QImage image = render.Composed();
        benchmark::DoNotOptimize(image.constBits());
        h = WrapAngle(h + 7);  // a drag turns the view between frames
    }
    bench.counters["texture builds"] = render.TextureBuilds();
}
BENCHMARK(BM_ViewerRotateAndRenderGradient)->Unit(benchmark::kMillisecond);

void BM_ViewerRotateAndRenderGrey(benchmark::State& bench) {
    TMapViewerRender render;
    render.Rebuild(BenchMap(), TPlotView::LH, TFuelLimits{127, -127}, TSurfaceStyle{});
    int h = 20;
    for (auto _ : bench) {
        render.RotateAndRender(ViewSize, h, 30);
        const QImage image = render.Composed();
        benchmark::DoNotOptimize(image.constBits());
        h = WrapAngle(h + 7);
    }
}
BENCHMARK(BM_ViewerRotateAndRenderGrey)->Unit(benchmark::kMillisecond);

void BM_ViewerRebuildWithTexture(benchmark::State& bench) {
    TMapViewerRender render;
    const TMapGrid map = BenchMap();
    for (auto _ : bench) {
        render.Rebuild(map, TPlotView::LH, TFuelLimits{127, -127}, Gradient);
        benchmark::DoNotOptimize(render.Texture().data());
    }
}
BENCHMARK(BM_ViewerRebuildWithTexture)->Unit(benchmark::kMillisecond);

// The floor: two layers cleared and blended over white, nothing drawn.
void BM_PlainLayersClearAndCompose(benchmark::State& bench) {
    QImage back(ViewSize, QImage::Format_ARGB32_Premultiplied);
    QImage front(ViewSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : bench) {
        back.fill(Qt::transparent);
        front.fill(Qt::transparent);
        QImage image(ViewSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.drawImage(0, 0, back);
        painter.drawImage(0, 0, front);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PlainLayersClearAndCompose)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvane

int main(int argc, char** argv) {
    return kelvane::RunQtBenchmarks<QGuiApplication>(argc, argv);
}
