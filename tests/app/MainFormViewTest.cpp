#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <memory>
#include <string>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainImage.h"
#include "app/plot/MainUnit.h"
#include "core/plot/AfrScaleLegend.h"
#include "core/shell/Settings.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

const QRgb ExcludedGrey = qRgb(191, 191, 191);

// Ten cruise samples at 3000 RPM / MAF 200 and ten idle samples at
// 900 RPM / MAF 120, all at AFR 13.0, so smoothing leaves the AFR alone.
std::string TwoClusterLog() {
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\tThrottle pos (1=idle, 2=cruise, 3=WOT)\n";
    for (int i = 0; i < 20; ++i) {
        const bool cruise = i < 10;
        text += std::to_string(i) + ".0\t" + (cruise ? "3000\t200" : "900\t120") + "\t13.0\t" +
                (cruise ? "2" : "1") + "\n";
    }
    return text;
}

// A shown main window on a temporary data folder, LH 2.3 with a standard
// MAF and the GT ignition, idle samples filtered out.
struct TViewFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

    TViewFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Form->resize(1000, 700);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        State().Setup() = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT};
        TFilterSettings& filters = State().Settings.ActiveFilters;
        filters = TFilterSettings{};
        filters.MaxAfrEnabled = filters.MaxRpmSlopeEnabled = filters.MaxMafSlopeEnabled = false;
        filters.IncludeIdle = false;
    }

    TKelvaneState& State() { return Form->State(); }

    void LoadTwoClusters() {
        const fs::path log = Folder.Path() / "Run1.txt";
        WriteText(log, TwoClusterLog());
        ASSERT_TRUE(Form->LoadLogFile(QString::fromStdString(log.string())));
        Form->RefreshMainWindow();
    }

    // Image position of the centre of a dot at (rpm, maf) in the LH view.
    QPoint DotCentre(double rpm, double maf) const {
        const TPlotGeometry& g = *Form->PlotGeometry();
        TLogDataEntry e;
        e.Rpm = rpm;
        e.PlotMaf = maf;
        const TPixelPoint p = g.SamplePixel(e);
        return {g.PlotLeft() + p.X, g.PlotTop() + p.Y};
    }

    QRgb PixelAt(QPoint p) const { return Form->PlotImage().pixel(p); }
};

TEST(MainFormViewTest, DotsTakeTheScaleColourOfTheirAfrAndExcludedSamplesAreGrey) {
    TViewFixture f;
    f.LoadTwoClusters();
    ASSERT_TRUE(f.Form->PlotGeometry());
    const QRgb expected = ColorLookup(f.Form->ColorTable(), 255, 13.0);
    EXPECT_EQ(f.PixelAt(f.DotCentre(3000, 200)), expected);
    EXPECT_EQ(f.PixelAt(f.DotCentre(900, 120)), ExcludedGrey);
    // With the filters off the idle samples are coloured too.
    f.State().Settings.ActiveFilters.FiltersEnabled = false;
    f.Form->Document().Apply(TChange::Filters);
    EXPECT_EQ(f.PixelAt(f.DotCentre(900, 120)), expected);
}

TEST(MainFormViewTest, AfrScaleShowsTheTableEndsAndHidesOnRequest) {
    TViewFixture f;
    f.Form->RefreshMainWindow();
    const TPlotLayers& layers = f.Form->Layers();
    ASSERT_FALSE(layers.AfrScale.isNull());
    const QPoint box = layers.AfrScaleOrigin;
    const TColorTable& table = f.Form->ColorTable();
    // The frame covers the bar's outermost lines; the next ones in are the ends.
    EXPECT_EQ(f.PixelAt(box + QPoint(AfrScaleBarLeft + 1, 10)),
              ColorLookup(table, 255, AfrScaleBarValue(table, 1)));
    EXPECT_EQ(f.PixelAt(box + QPoint(AfrScaleBarRight - 1, 10)),
              ColorLookup(table, 255, AfrScaleBarValue(table, AfrScaleBarSteps - 1)));

    f.Form->AFRScale1()->trigger();
    EXPECT_FALSE(f.Form->PlotDisplay().ShowAfrScale);
    EXPECT_EQ(f.PixelAt(box + QPoint(AfrScaleBarLeft + 1, 10)), qRgb(255, 255, 255));
}

// On the first run the legend sits in the plot's bottom right corner, inside
// the frame, where it covers no label.
TEST(MainFormViewTest, AfrScaleStartsInsideThePlotOnTheFirstRun) {
    TViewFixture f;
    f.Form->RefreshMainWindow();
    const QSize image = f.Form->MainImage()->size();
    EXPECT_EQ(f.Form->Layers().AfrScaleOrigin,
              QPoint(image.width() + DefaultAfrScaleX, image.height() + DefaultAfrScaleY));
    const TPlotGeometry& g = *f.Form->PlotGeometry();
    const QRect box(f.Form->Layers().AfrScaleOrigin, QSize(AfrScaleWidth, AfrScaleHeight));
    EXPECT_TRUE(
        QRect(g.PlotLeft() + 1, g.PlotTop() + 1, g.PlotWidth() - 2, g.PlotHeight() - 2).contains(box));
}

TEST(MainFormViewTest, ViewCommandsSetTheViewAndTheGridFormat) {
    TViewFixture f;
    struct TCase {
        QAction* Command;
        TPlotView View;
        bool GridFormat;
    };
    const TCase cases[] = {
        {f.Form->GridFormat1(), TPlotView::LH, true}, {f.Form->EZKFormat1(), TPlotView::EZK, false},
        {f.Form->GridFormat1(), TPlotView::LH, true}, {f.Form->CellFormat1(), TPlotView::LH, false},
        {f.Form->EZKButton(), TPlotView::EZK, false}, {f.Form->LHButton(), TPlotView::LH, false},
        {f.Form->GridFormat1(), TPlotView::LH, true}, {f.Form->LHFormat1(), TPlotView::LH, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Command->objectName().toStdString());
        c.Command->trigger();
        EXPECT_EQ(f.State().Display.View, c.View);
        EXPECT_EQ(f.Form->PlotDisplay().GridFormat, c.GridFormat);
        EXPECT_EQ(f.Form->PlotGeometry()->View(), c.View);
        EXPECT_EQ(f.Form->LHButton()->isChecked(), c.View == TPlotView::LH);
        EXPECT_EQ(f.Form->EZKButton()->isChecked(), c.View == TPlotView::EZK);
        emit f.Form->ViewMenu()->aboutToShow();
        EXPECT_EQ(f.Form->GridFormat1()->isChecked(), c.GridFormat);
        EXPECT_EQ(f.Form->EZKFormat1()->isChecked(), c.View == TPlotView::EZK);
    }
}

TEST(MainFormViewTest, AnLH22SetupKeepsTheFuelView) {
    TViewFixture f;
    f.Form->EZKButton()->trigger();
    ASSERT_EQ(f.State().Display.View, TPlotView::EZK);

    f.State().Setup().LHVersion = TLHVersion::LH22;
    f.Form->RefreshMainWindow();
    EXPECT_EQ(f.State().Display.View, TPlotView::LH);
    EXPECT_FALSE(f.Form->EZKButton()->isEnabled());
    f.Form->EZKButtonClick();
    EXPECT_EQ(f.State().Display.View, TPlotView::LH);
    EXPECT_FALSE(f.Form->EZKButton()->isChecked());
}

// A map never loaded prints nothing; the status bar says which one is missing,
// whether the whole window or only the overlay was redrawn.
TEST(MainFormViewTest, OverlayOfAMapNotLoadedNamesItInTheStatusBar) {
    TViewFixture f;
    auto status = [&f] { return f.Form->StatusPanel(2)->text(); };
    f.Form->ShowRefButton()->trigger();
    EXPECT_EQ(status(), QStringLiteral("LH reference map not loaded"));
    EXPECT_TRUE(f.Form->Layers().OverlayContent.Labels.empty());

    f.State().Fuel.Reference = FilledGrid(250);
    f.State().Fuel.ReferenceLoaded = true;
    f.Form->Document().Apply(TChange::FuelMaps);
    EXPECT_EQ(status(), QString());
    EXPECT_FALSE(f.Form->Layers().OverlayContent.Labels.empty());

    f.Form->EZKButtonClick();
    EXPECT_EQ(status(), QStringLiteral("EZK reference map not loaded"));
    f.Form->OverlayMenu()->actions().at(4)->trigger();
    EXPECT_EQ(status(), QStringLiteral("No mean AFR in the EZK view"));
    f.Form->OverlayMenu()->actions().at(0)->trigger();
    EXPECT_EQ(status(), QString());
}

TEST(MainFormViewTest, OverlayButtonsMenuItemsAndDropDownShareOneChoice) {
    TViewFixture f;
    auto overlay = [&f] { return f.Form->PlotDisplay().Overlay; };
    auto buttons = [&f] {
        return std::array<bool, 3>{f.Form->ShowRefButton()->isChecked(), f.Form->ShowAdjButton()->isChecked(),
                                   f.Form->ShowUpdButton()->isChecked()};
    };

    f.Form->ShowRefButton()->trigger();
    EXPECT_EQ(overlay(), TMapOverlay::Reference);
    EXPECT_EQ(buttons(), (std::array<bool, 3>{true, false, false}));
    f.Form->ShowAdjButton()->trigger();  // switching one on switches the others off
    EXPECT_EQ(overlay(), TMapOverlay::Adjustments);
    EXPECT_EQ(buttons(), (std::array<bool, 3>{false, true, false}));
    f.Form->ShowAdjButton()->trigger();  // and a second click switches it off
    EXPECT_EQ(overlay(), TMapOverlay::None);
    EXPECT_EQ(buttons(), (std::array<bool, 3>{false, false, false}));

    f.Form->ShowUpdatedMap1()->trigger();
    EXPECT_EQ(overlay(), TMapOverlay::Updated);
    EXPECT_TRUE(f.Form->ShowUpdButton()->isChecked());
    emit f.Form->ViewMenu()->aboutToShow();
    EXPECT_TRUE(f.Form->ShowUpdatedMap1()->isChecked());
    EXPECT_FALSE(f.Form->ShowReferenceMap1()->isChecked());

    // The drop-down's own click walks through every choice and back to none.
    const TMapOverlay cycle[] = {TMapOverlay::MeanAfr, TMapOverlay::None, TMapOverlay::Reference,
                                 TMapOverlay::Adjustments, TMapOverlay::Updated};
    for (TMapOverlay next : cycle) {
        f.Form->OverlayDropDown()->click();
        EXPECT_EQ(overlay(), next);
    }
    // Its menu names them.
    QStringList captions;
    for (QAction* item : f.Form->OverlayMenu()->actions()) captions << item->text();
    EXPECT_EQ(captions, (QStringList{"No numbers", "Initial map", "Adjustments", "Updated map", "afr"}));
    f.Form->OverlayMenu()->actions().at(4)->trigger();
    EXPECT_EQ(overlay(), TMapOverlay::MeanAfr);
    f.Form->OverlayMenu()->actions().at(0)->trigger();
    EXPECT_EQ(overlay(), TMapOverlay::None);
}

TEST(MainFormViewTest, PrintedValuesAppearAndGoWithTheButton) {
    TViewFixture f;
    f.State().Fuel.Reference = FilledGrid(888);
    f.State().Fuel.ReferenceLoaded = true;
    f.Form->Document().Apply(TChange::FuelMaps);
    const QImage without = f.Form->PlotImage();

    f.Form->ShowRefButton()->trigger();
    const QImage with = f.Form->PlotImage();
    // Values are printed in black centred on a cell's label position.
    const TPlotGeometry& g = *f.Form->PlotGeometry();
    const QRect around(g.CellLabelX(8) - 12, g.CellLabelY(8) - 6, 24, 12);
    int darkWith = 0, darkWithout = 0;
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x) {
            darkWith += qGray(with.pixel(x, y)) < 80;
            darkWithout += qGray(without.pixel(x, y)) < 80;
        }
    EXPECT_GT(darkWith, 5);
    EXPECT_EQ(darkWithout, 0);

    f.Form->ShowRefButton()->trigger();
    EXPECT_EQ(f.Form->PlotImage(), without);
}

TEST(MainFormViewTest, DraggedAfrScaleKeepsItsDistanceToTheNearerEdgesAfterARestart) {
    TTempFolder common;
    TFakePrompts prompts;
    const TMainFormOptions options = TestFormOptions(prompts, common.Path());
    QSize imageSize;
    {
        TMainForm form(options);
        form.resize(1000, 700);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        TMainImage* image = form.MainImage();
        imageSize = image->size();
        const QPoint grip = form.Layers().AfrScaleOrigin + QPoint(100, 10);
        // Dragged towards the bottom right corner, 20 pixels short of each edge.
        const QPoint target(imageSize.width() - AfrScaleWidth - 20 + 100,
                            imageSize.height() - AfrScaleHeight - 20 + 10);
        QTest::mousePress(image, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(target), image->mapToGlobal(QPointF(target)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image, &move);
        QTest::mouseRelease(image, Qt::LeftButton, {}, target);
        EXPECT_EQ(form.Layers().AfrScaleOrigin,
                  QPoint(imageSize.width() - AfrScaleWidth - 20, imageSize.height() - AfrScaleHeight - 20));
        EXPECT_EQ(form.PlotDisplay().AfrScaleX, -(AfrScaleWidth + 20));
        EXPECT_EQ(form.PlotDisplay().AfrScaleY, -(AfrScaleHeight + 20));
        form.close();
    }
    TMainForm again(options);
    EXPECT_EQ(again.Store().Main().ReadInteger("Settings", "AFR Scale X-Position", 0), -(AfrScaleWidth + 20));
    again.resize(1000, 700);
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    again.RefreshMainWindow();
    const QSize size = again.MainImage()->size();
    EXPECT_EQ(again.Layers().AfrScaleOrigin,
              QPoint(size.width() - AfrScaleWidth - 20, size.height() - AfrScaleHeight - 20));
}

TEST(MainFormViewTest, OpeningLogsFitsThePlotInTheAutomaticScaleModeAndClosingRestoresIt) {
    TViewFixture f;
    // Opening logs loads the settings again, so the mode is taken from there.
    ASSERT_TRUE(f.Form->Store().Main().WriteBool("Settings", "AutoScale", true));
    const fs::path log = f.Folder.Path() / "Run1.txt";
    WriteText(log, TwoClusterLog());
    f.State().Settings.RecentFiles = {log};
    f.Form->RecentFileClick(1);
    ASSERT_EQ(f.State().Logs.Data.Count(), 20u);

    const TPlotRanges fitted = f.Form->PlotRanges();
    EXPECT_EQ(fitted.MinRpm, 0);
    EXPECT_EQ(fitted.MinLoad, 28);
    EXPECT_GT(fitted.MaxRpm, 3000);
    EXPECT_LT(fitted.MaxRpm, 6000);
    EXPECT_GT(fitted.MaxLoad, 200);
    EXPECT_LT(fitted.MaxLoad, 387);
    EXPECT_EQ(f.Form->PlotGeometry()->Ranges(), fitted);

    // An empty plot shows the axes' whole extent again.
    f.Form->NewPlot1Click();
    EXPECT_EQ(f.Form->PlotRanges().MaxRpm, 6600);
    EXPECT_GT(f.Form->PlotRanges().MaxLoad, fitted.MaxLoad);
}

TEST(MainFormViewTest, EngineSetupChangedMessageSetsUpTheAxesAgain) {
    TViewFixture f;
    const TMapAxis mafAxis = f.State().Axes.LHLoad;
    f.State().Setup().LHConfig = TLHConfig::Map;
    QCoreApplication::postEvent(
        f.Form.get(), new QEvent(static_cast<QEvent::Type>(QEvent::User + EngineSetupChangedMessage)));
    QCoreApplication::processEvents();
    EXPECT_NE(f.State().Axes.LHLoad, mafAxis);
    EXPECT_EQ(f.Form->PlotGeometry()->Axes().LHLoad, f.State().Axes.LHLoad);
}

TEST(MainFormViewTest, KnockMarkersFollowTheStoredKnockLimits) {
    TTempFolder folder;
    const fs::path common = folder.Path() / "common";
    fs::create_directories(common);
    WriteText(common / "Kelvane.ini",
              "[Filter]\r\nMax Knock Retard 1=1.0\r\nMax Knock Cylinders 1=1\r\n"
              "Max Knock Retard 2=2.0\r\nMax Knock Cylinders 2=2\r\n");
    // A knock of 4 degrees on 4 cylinders: above both stored limits, though
    // within the second pair of the defaults (6.0 / 6).
    const fs::path log = folder.Path() / "Run1.txt";
    WriteText(log,
              "Time [s]\tRPM\tMAF signal\tA/F ratio\tKR1\tKR2\tKR3\tKR4\n"
              "0.0\t3000\t200\t13.0\t0\t0\t0\t0\n"
              "0.1\t3000\t200\t13.0\t4\t4\t4\t4\n");

    TFakePrompts prompts;
    TMainFormOptions options = TestFormOptions(prompts, common);
    options.Program = MakeProgramValues(folder.Path() / "Kelvane", {});
    TMainForm form(options);
    form.resize(1000, 700);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_EQ(form.Program().BaseName, "Kelvane");
    ASSERT_EQ(form.State().Settings.KnockLimits[1], (TKnockLimit{2.0, 2}));
    form.State().Settings.ActiveFilters.FiltersEnabled = false;
    ASSERT_TRUE(form.LoadLogFile(QString::fromStdString(log.string())));
    form.RefreshMainWindow();

    const TPlotLayers& layers = form.Layers();
    ASSERT_EQ(layers.KnockMarks.size(), 1u);
    EXPECT_EQ(layers.KnockMarks[0].Marker, TKnockMarker::Large);
    // The large marker's thick rays reach past the medium one's end.
    const TPixelPoint centre = layers.KnockMarks[0].Centre;
    const int beyondMedium = KnockMarkerReach(TKnockMarker::Medium, form.State().Settings.PlotPointSize) + 2;
    EXPECT_NE(qAlpha(layers.Knock.pixel(centre.X + beyondMedium, centre.Y + beyondMedium)), 0);
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

// A live resize never leaves an unpainted strip: the last image is shown
// stretched until one new image, for the last size, has been made.
TEST(MainImageTest, AResizeShowsTheLastImageScaledUntilTheNewOneIsMade) {
    TMainImage image;
    int renders = 0;
    image.SetRender([&renders](QSize size) {
        ++renders;
        QImage made(size, QImage::Format_ARGB32_Premultiplied);
        made.fill(Qt::red);
        return made;
    });
    image.resize(300, 200);
    image.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&image));
    QCoreApplication::processEvents();
    ASSERT_EQ(image.Image().size(), QSize(300, 200));
    const int before = renders;

    image.resize(400, 260);
    image.resize(420, 280);
    EXPECT_TRUE(image.RedrawPending());
    EXPECT_EQ(renders, before);
    const QImage shown = image.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(420, 280));
    for (const QPoint at : {QPoint(0, 0), QPoint(350, 100), QPoint(100, 250), QPoint(419, 279)})
        EXPECT_EQ(shown.pixel(at), qRgb(255, 0, 0)) << at.x() << ", " << at.y();

    QCoreApplication::processEvents();
    EXPECT_FALSE(image.RedrawPending());
    EXPECT_EQ(renders, before + 1);
    EXPECT_EQ(image.Image().size(), QSize(420, 280));
}

}  // namespace
}  // namespace kelvane
