#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <vector>

#include "core/mapwindows/MapScene.h"

namespace kelvane {

// The 3D viewer's software renderer: the core scene drawn onto two
// transparent layers (back lines; faces and front lines) blended over white.
class TMapViewerRender {
  public:
    // The surface from the map, its z range and, for "Gradient", the texture.
    void Rebuild(const TMapGrid& map, TPlotView view, const TFuelLimits& limits, TSurfaceStyle style);

    // Called after every line and face while "Slow refresh" is ticked.
    using TAfterPrimitive = std::function<void()>;
    // The cage rebuilt, every shape rotated, the faces put in painter's order
    // and everything drawn onto layers of the given size (in widget pixels)
    // with ratio device pixels for each, so lines stay one device pixel wide.
    void RotateAndRender(QSize size, double hDegrees, double vDegrees,
                         const TAfterPrimitive& afterPrimitive = {}, qreal ratio = 1);

    const QImage& BackLayer() const { return FBackLayer; }
    const QImage& FrontLayer() const { return FFrontLayer; }
    // The layers over opaque white.
    QImage Composed() const;

    const TMapScene& Scene() const { return FScene; }
    const std::vector<TColor32>& Texture() const { return FTexture; }
    int TextureBuilds() const { return FTextureBuilds; }

  private:
    TMapScene FScene;
    std::vector<TColor32> FTexture;
    int FTextureBuilds = 0;
    QImage FBackLayer;
    QImage FFrontLayer;
};

}  // namespace kelvane
