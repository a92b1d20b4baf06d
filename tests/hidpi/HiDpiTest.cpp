#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "../app/FakePrompts.h"
#include "../app/TestFormOptions.h"
#include "app/mapwindows/FuelMapUnit.h"
#include "app/mapwindows/MapGridView.h"
#include "app/mapwindows/MapViewerUnit.h"
#include "app/plot/DataGraph.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

std::string DriveLog(int count) {
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\n";
    for (int i = 0; i < count; ++i)
        text += std::to_string(i / 10) + "." + std::to_string(i % 10) + "\t" +
                std::to_string(1500 + (i * 37) % 3500) + "\t" + std::to_string(150 + (i * 13) % 250) +
                "\t14." + std::to_string(i % 10) + "\n";
    return text;
}

struct THiDpiFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

    THiDpiFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Form->resize(1000, 700);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        const fs::path log = Folder.Path() / "Run1.txt";
        WriteText(log, DriveLog(300));
        EXPECT_TRUE(Form->LoadLogFile(QString::fromStdString(log.string())));
    }
    static void Settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
};

bool Dark(QRgb pixel) {
    return qGray(pixel) < 96;
}

// The widths of the runs of dark pixels along one row of an image.
std::vector<int> DarkRunsInRow(const QImage& image, int y) {
    std::vector<int> runs;
    for (int x = 0; x < image.width();) {
        if (!Dark(image.pixel(x, y))) {
            ++x;
            continue;
        }
        const int start = x;
        while (x < image.width() && Dark(image.pixel(x, y))) ++x;
        runs.push_back(x - start);
    }
    return runs;
}

TEST(HiDpiTest, TheScreenReallyHasTwoDevicePixelsToAPixel) {
    THiDpiFixture f;
    EXPECT_DOUBLE_EQ(f.Form->devicePixelRatioF(), 2.0);
}

TEST(HiDpiTest, PlotLayersHoldDevicePixelsAndItsFrameIsOneDevicePixelWide) {
    THiDpiFixture f;
    THiDpiFixture::Settle();
    const TPlotLayers& layers = f.Form->Layers();
    ASSERT_FALSE(layers.ImageSize.isEmpty());
    EXPECT_DOUBLE_EQ(layers.Scale, 2.0);
    for (const QImage* layer :
         {&layers.Points, &layers.Knock, &layers.Grid, &layers.Selection, &layers.Cursor}) {
        EXPECT_DOUBLE_EQ(layer->devicePixelRatio(), 2.0);
        EXPECT_GE(layer->width(), 2 * f.Form->PlotGeometry()->PlotWidth());
    }

    const QImage plot = f.Form->PlotImage();
    ASSERT_EQ(plot.size(), layers.ImageSize * 2);
    // A row through the lower plot, below the samples: the frame's left and
    // right edges each one device pixel wide.
    const int y = (layers.PlotOrigin.y() + f.Form->PlotGeometry()->PlotHeight() - 20) * 2;
    for (const int edge :
         {layers.PlotOrigin.x(), layers.PlotOrigin.x() + f.Form->PlotGeometry()->PlotWidth()}) {
        EXPECT_TRUE(Dark(plot.pixel(edge * 2, y))) << "edge at " << edge;
        EXPECT_FALSE(Dark(plot.pixel(edge * 2 - 1, y))) << "edge at " << edge;
        EXPECT_FALSE(Dark(plot.pixel(edge * 2 + 1, y))) << "edge at " << edge;
    }
}

// A change of the colour scale colours the device-pixel points layer again
// from its kept means: the same picture as drawing everything again.
TEST(HiDpiTest, RecolouredPlotIsTheWholeRefreshInDevicePixels) {
    THiDpiFixture f;
    f.Form->Document().Apply(EverythingChanged);
    THiDpiFixture::Settle();
    const QImage before = f.Form->PlotImage();
    TColorScale& scale = f.Form->ColorScale();
    for (TColorTableEntry& entry : scale.Table) entry.Color = MakeColor32(255, 20, 40, 200);
    f.Form->Document().Apply(TChange::Colors);
    const QImage recoloured = f.Form->PlotImage();
    EXPECT_EQ(recoloured.size(), f.Form->Layers().ImageSize * 2);
    EXPECT_NE(recoloured, before);
    f.Form->Document().Apply(TChange::Display);
    EXPECT_EQ(f.Form->PlotImage(), recoloured);
}

TEST(HiDpiTest, AClickedCellIsTheCellClearedInTheDevicePixelFog) {
    THiDpiFixture f;
    THiDpiFixture::Settle();
    const TPlotGeometry& g = *f.Form->PlotGeometry();
    const TPixelRect cell = g.CellRect(5, 5);
    const QPoint centre(g.PlotLeft() + (cell.Left + cell.Right) / 2,
                        g.PlotTop() + (cell.Top + cell.Bottom) / 2);
    QTest::mouseClick(f.Form->MainImage(), Qt::LeftButton, Qt::NoModifier, centre);
    ASSERT_EQ(f.Form->State().Selection.Items.size(), 1u);
    EXPECT_EQ(f.Form->State().Selection.Items[0].Row, 5);
    EXPECT_EQ(f.Form->State().Selection.Items[0].Column, 5);

    const QImage& fog = f.Form->Layers().Selection;
    const QPoint inside = (centre - f.Form->Layers().PlotOrigin) * 2;
    EXPECT_EQ(qAlpha(fog.pixel(inside)), 0);
    const QPoint outside = QPoint(cell.Right + 10, (cell.Top + cell.Bottom) / 2) * 2;
    EXPECT_GT(qAlpha(fog.pixel(outside)), 0);
}

TEST(HiDpiTest, DataGraphLayersHoldDevicePixelsAndItsFrameIsOneDevicePixelWide) {
    THiDpiFixture f;
    if (!f.Form->GraphPanelShown()) f.Form->DataGraph1()->trigger();
    THiDpiFixture::Settle();
    TDataGraph* graph = f.Form->DataGraph();
    const TDataGraphLayers& layers = graph->CurrentLayers();
    ASSERT_TRUE(layers.Area.Usable());
    EXPECT_EQ(layers.Grid.size(), graph->GraphRect().size() * 2);
    EXPECT_DOUBLE_EQ(layers.Grid.devicePixelRatio(), 2.0);
    EXPECT_EQ(layers.Traces.width(), (layers.Area.Width + 1) * 2);

    // The frame's left edge, in the grid layer and in the grabbed widget.
    const int frameX = layers.Area.Left * 2;
    const int rowY = (layers.Area.Top + layers.Area.Height / 3) * 2;
    EXPECT_TRUE(Dark(layers.Grid.pixel(frameX, rowY)));
    EXPECT_FALSE(Dark(layers.Grid.pixel(frameX + 1, rowY)));
    EXPECT_FALSE(Dark(layers.Grid.pixel(frameX - 1, rowY)));

    const QImage grabbed = graph->grab().toImage();
    ASSERT_EQ(grabbed.width(), graph->width() * 2);
    const std::vector<int> runs = DarkRunsInRow(grabbed, rowY);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front(), 1) << "the frame is one device pixel wide";
}

TEST(HiDpiTest, MapGridLinesAreOneDevicePixelWide) {
    THiDpiFixture f;
    f.Form->MapsWindow1()->trigger();
    THiDpiFixture::Settle();
    TFuelMapForm* window = f.Form->FuelMapForm();
    ASSERT_NE(window, nullptr);
    window->resize(900, 600);
    THiDpiFixture::Settle();
    TMapGridView* grid = window->findChild<TMapGridView*>();
    ASSERT_NE(grid, nullptr);
    const QImage image = grid->grab().toImage();
    ASSERT_EQ(image.width(), grid->width() * 2);

    // From the middle of one cell to the middle of the next, across the line
    // between them: one device pixel of the line's grey.
    const QRgb lineGrey = qRgb(192, 192, 192);
    for (const int row : {0, 3}) {
        const QRect left = grid->CellRect(4, row);
        const QRect right = grid->CellRect(5, row);
        const int y = (left.top() + left.height() / 2) * 2;
        int lineWidth = 0;
        for (int x = left.center().x() * 2; x < right.center().x() * 2; ++x)
            if (image.pixel(x, y) == lineGrey) ++lineWidth;
        EXPECT_EQ(lineWidth, 1) << "row " << row;
    }
}

TEST(HiDpiTest, MapViewerLayersHoldDevicePixels) {
    THiDpiFixture f;
    f.Form->Map3DView1()->trigger();
    THiDpiFixture::Settle();
    TMapViewerForm* viewer = f.Form->MapViewerForm();
    ASSERT_NE(viewer, nullptr);
    const QImage& back = viewer->Render().BackLayer();
    EXPECT_EQ(back.size(), viewer->ViewArea()->size() * 2);
    EXPECT_DOUBLE_EQ(back.devicePixelRatio(), 2.0);

    // Every outline the viewer draws is a hairline: where a dark pixel lies
    // on a line, the shorter of its dark runs across and down is typically
    // one device pixel (a line drawn two pixels wide makes it two).
    const QImage composed = viewer->Render().Composed();
    const auto run = [&](int x, int y, int dx, int dy) {
        int length = 1;
        for (int step = 1; Dark(composed.pixel(x + step * dx, y + step * dy)) && step < 50; ++step) ++length;
        for (int step = 1; Dark(composed.pixel(x - step * dx, y - step * dy)) && step < 50; ++step) ++length;
        return length;
    };
    std::vector<int> thickness;
    for (int y = 60; y < composed.height() - 60; y += 5)
        for (int x = 60; x < composed.width() - 60; ++x)
            if (Dark(composed.pixel(x, y))) thickness.push_back(std::min(run(x, y, 1, 0), run(x, y, 0, 1)));
    ASSERT_GT(thickness.size(), 100u) << "the viewer drew nothing";
    std::nth_element(thickness.begin(), thickness.begin() + thickness.size() / 2, thickness.end());
    EXPECT_EQ(thickness[thickness.size() / 2], 1);
}

}  // namespace
}  // namespace kelvane
