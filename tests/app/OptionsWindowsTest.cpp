#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/display/ColorPanels.h"
#include "app/display/ColorUnit.h"
#include "app/display/OptionsUnit.h"
#include "app/plot/MainUnit.h"
#include "core/ground/IniKeys.h"
#include "core/logdata/AfrSmoothing.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// count samples ten a second over the map, AFR 12 .. 17; every seventh at
// idle throttle, which the filters leave out.
std::string SpreadLog(int count) {
    std::string text = "Time [s]\tRPM\tMAF signal\tA/F ratio\tThrottle pos (1=idle, 2=cruise, 3=WOT)\n";
    for (int i = 0; i < count; ++i) {
        const int rpm = 1000 + (i * 37) % 4500;
        const int maf = 60 + (i * 13) % 300;
        const double afr = 12.0 + (i % 50) / 10.0;
        text += std::to_string(i / 10) + "." + std::to_string(i % 10) + "\t" + std::to_string(rpm) + "\t" +
                std::to_string(maf) + "\t" + std::to_string(afr) + "\t" + (i % 7 == 3 ? "1" : "2") + "\n";
    }
    return text;
}

void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

struct TOptionsFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

    TOptionsFixture() {
        Form = std::make_unique<TMainForm>(TestFormOptions(Prompts, Folder.Path() / "common"));
        Form->resize(1000, 700);
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        State().Setup() = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT};
        TFilterSettings& filters = State().Settings.ActiveFilters;
        filters = TFilterSettings{};
        filters.MaxAfrEnabled = filters.MaxRpmSlopeEnabled = filters.MaxMafSlopeEnabled = false;
        filters.InhibitBefore = filters.InhibitAfter = 0;
        Form->Document().Apply(EverythingChanged);
    }

    TKelvaneState& State() { return Form->State(); }

    void Load(int count = 700) {
        const fs::path log = Folder.Path() / "Run1.txt";
        WriteText(log, SpreadLog(count));
        ASSERT_TRUE(Form->LoadLogFile(QString::fromStdString(log.string())));
        Form->Document().Apply(EverythingChanged);
        Settle();
    }

    TOptionsForm* Open() {
        Form->Options1()->trigger();
        Settle();
        return Form->OptionsForm();
    }

    std::size_t IncludedCount() const {
        std::size_t count = 0;
        for (const TLogDataEntry& e : Form->State().Logs.Data.Entries) count += e.Included ? 1 : 0;
        return count;
    }

    static void Type(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClicks(box, text);
    }
};

void Step(TOptionsForm* form, QLineEdit* box, int direction) {
    TUpDown* upDown = form->UpDownOf(box);
    ASSERT_NE(upDown, nullptr);
    (direction > 0 ? upDown->UpButton() : upDown->DownButton())->click();
}

TEST(OptionsWindowTest, OpensFromTheMenuAndTheButtonOnceAndIsDestroyedWhenClosed) {
    TOptionsFixture f;
    ASSERT_TRUE(f.Form->Options1()->isEnabled());
    ASSERT_TRUE(f.Form->DisplaySettingsButton()->isEnabled());
    const TKelvaneState before = f.State();
    TOptionsForm* form = f.Open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Options");
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // Filling the pages changes nothing.
    EXPECT_EQ(f.State().Settings, before.Settings);
    EXPECT_EQ(f.State().Display, before.Display);
    EXPECT_EQ(f.State().PlotDisplay, before.PlotDisplay);

    const QStringList pages{"Display", "Scale", "Filters", "Ignition"};
    for (int i = 0; i < pages.size(); ++i) EXPECT_EQ(form->Pages()->tabText(i), pages[i]);
    form->Pages()->setCurrentIndex(TOptionsForm::FiltersPage);
    f.Form->Options1()->trigger();
    EXPECT_EQ(f.Form->OptionsForm(), form) << "one window at most";
    EXPECT_EQ(form->Pages()->currentIndex(), TOptionsForm::FiltersPage);
    f.Form->DisplaySettingsButton()->trigger();
    EXPECT_EQ(form->Pages()->currentIndex(), TOptionsForm::DisplayPage)
        << "the button turns to the first page";

    form->Pages()->setCurrentIndex(TOptionsForm::ScalePage);
    form->SaveAsDefaultsButton()->setChecked(true);
    form->OkButton()->click();
    Settle();
    EXPECT_EQ(f.Form->OptionsForm(), nullptr);
    TIniFile2& main = f.Form->Store().Main();
    EXPECT_EQ(main.ReadInteger(OptionsWindowSection, ActiveTabIndexKey, -1), TOptionsForm::ScalePage);
    EXPECT_TRUE(main.ReadBool(OptionsWindowSection, SetDefaultFiltersKey, false));
    EXPECT_TRUE(main.ValueExists(OptionsWindowSection, WindowSizeKey));

    // Opened again: the remembered page and choice.
    form = f.Open();
    EXPECT_EQ(form->Pages()->currentIndex(), TOptionsForm::ScalePage);
    EXPECT_TRUE(form->SaveAsDefaultsButton()->isChecked());
}

TEST(OptionsWindowTest, UpDownsStepTheBoxesAndTheFilterFollows) {
    TOptionsFixture f;
    f.Load();
    TOptionsForm* form = f.Open();
    struct TCase {
        QLineEdit* Box;
        const char* Start;
        int Direction;
        const char* Expected;
    };
    const TCase cases[] = {
        {form->MaxAfrValue(), "14.3", +1, "14.8"},
        {form->MaxAfrValue(), "19.8", +1, "20.0"},
        {form->RpmChangeValue(), "5950", +1, "6000"},
        {form->IgnorePreviousValue(), "0.3", -1, "0.2"},
        {form->KnockRetardBox(0), "9.8", +1, "10.0"},
        {form->AfrSmoothingBox(), "6", +1, "6"},  // the smoothing up-downs hold 1 .. 6
        {form->AfrSmoothingBox(), "1", -1, "1"},
    };
    for (const TCase& c : cases) {
        c.Box->setText(QString::fromUtf8(c.Start));
        Step(form, c.Box, c.Direction);
        EXPECT_EQ(c.Box->text(), QString::fromUtf8(c.Expected)) << c.Start;
    }
    EXPECT_DOUBLE_EQ(f.State().Settings.ActiveFilters.MaxAfr, 20.0);
    EXPECT_DOUBLE_EQ(f.State().Settings.ActiveFilters.MaxRpmSlope, 6000);
    EXPECT_DOUBLE_EQ(f.State().Settings.ActiveFilters.InhibitBefore, 0.2);
    EXPECT_DOUBLE_EQ(f.State().Settings.KnockLimits[0].MaxRetard, 10.0);

    form->PointSizeBox()->setText(QStringLiteral("1"));
    form->PointSizeUpDown()->DownButton()->click();
    EXPECT_EQ(form->PointSizeBox()->text(), "1");
    form->PointSizeUpDown()->UpButton()->click();
    EXPECT_EQ(f.State().Settings.PlotPointSize, 2);
}

// Typed values beyond what the up-downs allow used to be taken as they were:
// an AFR smoothing of 0 or 7 left every sample without a smoothed AFR, and a
// huge ignore time made the filter pass quadratic.
TEST(OptionsWindowTest, TypedValuesAreHeldToTheUpDownLimits) {
    TOptionsFixture f;
    f.Load();
    TOptionsForm* form = f.Open();
    form->Pages()->setCurrentIndex(TOptionsForm::FiltersPage);
    struct TCase {
        const char* Typed;
        int Used;
    };
    for (const TCase& c : {TCase{"0", 1}, TCase{"7", 6}, TCase{"x", 1}, TCase{"4", 4}}) {
        TOptionsFixture::Type(form->AfrSmoothingBox(), QString::fromUtf8(c.Typed));
        EXPECT_EQ(f.State().Settings.AfrSmoothing, c.Used) << c.Typed;
        EXPECT_NE(f.State().Logs.Data.Entries[20].SmoothedAfr, MissingValue) << c.Typed;
    }
    TOptionsFixture::Type(form->AdjustSmoothingBox(), QStringLiteral("9"));
    EXPECT_EQ(f.State().Settings.AdjustSmoothing, 6);

    TOptionsFixture::Type(form->IgnorePreviousValue(), QStringLiteral("100000"));
    EXPECT_DOUBLE_EQ(f.State().Settings.ActiveFilters.InhibitBefore, 10);
    // Once the typing ends the box shows what is used.
    QTest::keyClick(form->IgnorePreviousValue(), Qt::Key_Return);
    EXPECT_EQ(form->IgnorePreviousValue()->text(), "10.0");
    TOptionsFixture::Type(form->IgnoreFollowingValue(), QStringLiteral("-3"));
    EXPECT_DOUBLE_EQ(f.State().Settings.ActiveFilters.InhibitAfter, 0);

    form->Pages()->setCurrentIndex(TOptionsForm::IgnitionPage);
    TOptionsFixture::Type(form->KnockCylindersBox(1), QStringLiteral("12"));
    TOptionsFixture::Type(form->KnockRetardBox(1), QStringLiteral("2,5"));
    EXPECT_EQ(f.State().Settings.KnockLimits[1], (TKnockLimit{2.5, 8}));

    form->Pages()->setCurrentIndex(TOptionsForm::DisplayPage);
    TOptionsFixture::Type(form->PointSizeBox(), QStringLiteral("40"));
    EXPECT_EQ(f.State().Settings.PlotPointSize, 25);
    QTest::keyClick(form->PointSizeBox(), Qt::Key_Return);
    EXPECT_EQ(form->PointSizeBox()->text(), "25");
}

TEST(OptionsWindowTest, CancelGivesBackLimitsPointSizeAndFilterValuesButNotTheFilterSwitch) {
    TOptionsFixture f;
    f.Load();
    const std::size_t filteredCount = f.IncludedCount();
    ASSERT_LT(filteredCount, f.State().Logs.Data.Count()) << "the idle samples are filtered out";
    const TSettings before = f.State().Settings;
    TOptionsForm* form = f.Open();

    form->Pages()->setCurrentIndex(TOptionsForm::FiltersPage);
    form->EnableFiltersBox()->click();
    EXPECT_FALSE(f.State().Settings.ActiveFilters.FiltersEnabled);
    EXPECT_EQ(f.IncludedCount(), f.State().Logs.Data.Count()) << "the plot shows every sample at once";
    form->IdleBox()->click();
    TOptionsFixture::Type(form->MaxAfrValue(), QStringLiteral("15"));
    form->Pages()->setCurrentIndex(TOptionsForm::DisplayPage);
    TOptionsFixture::Type(form->PointSizeBox(), QStringLiteral("12"));
    form->Pages()->setCurrentIndex(TOptionsForm::ScalePage);
    form->SelectScaleButton()->click();
    TOptionsFixture::Type(form->MaxRpmBox(), QStringLiteral("3000"));
    EXPECT_EQ(f.State().Settings.ScaleMode, TScaleMode::Manual);
    EXPECT_EQ(f.State().PlotRanges.MaxRpm, 3000);

    form->CancelButton()->click();
    Settle();
    EXPECT_EQ(f.Form->OptionsForm(), nullptr);
    const TSettings& after = f.State().Settings;
    EXPECT_EQ(after.PlotPointSize, before.PlotPointSize);
    EXPECT_EQ(after.PlotLimits, before.PlotLimits);
    EXPECT_EQ(f.State().PlotRanges.MaxRpm, before.PlotLimits.MaxRpm);
    EXPECT_EQ(after.ActiveFilters.IncludeIdle, before.ActiveFilters.IncludeIdle);
    EXPECT_EQ(after.ActiveFilters.MaxAfr, before.ActiveFilters.MaxAfr);
    // The switch stays as the user left it, and the plot shows what the filters now say.
    EXPECT_FALSE(after.ActiveFilters.FiltersEnabled);
    EXPECT_EQ(f.IncludedCount(), f.State().Logs.Data.Count());
    // What stays changed: the scale mode.
    EXPECT_EQ(after.ScaleMode, TScaleMode::Manual);
}

TEST(OptionsWindowTest, ConfigurationChoosesItsMafScaleAndTheVersionItsButtons) {
    TOptionsFixture f;
    f.State().Settings.ScaleMode = TScaleMode::Automatic;
    TOptionsForm* form = f.Open();
    form->Pages()->setCurrentIndex(TOptionsForm::ScalePage);
    EXPECT_FALSE(form->MinMafBox()->isEnabled());

    form->ConfigButton(TLHConfig::Alpha)->click();
    EXPECT_EQ(form->MinMafBox()->text(), "88");
    EXPECT_EQ(form->MaxMafBox()->text(), "2200");
    EXPECT_TRUE(form->SelectScaleButton()->isChecked());
    EXPECT_TRUE(form->MinMafBox()->isEnabled());
    EXPECT_EQ(f.State().Settings.ScaleMode, TScaleMode::Manual);
    EXPECT_EQ(f.State().Settings.PlotLimits.MinLoad, 88);
    EXPECT_EQ(f.State().Settings.PlotLimits.MaxLoad, 2200);
    EXPECT_EQ(f.State().Setup().LHConfig, TLHConfig::Alpha);

    form->LH22Button()->click();
    EXPECT_FALSE(form->S4Button()->isEnabled());
    EXPECT_FALSE(form->GTButton()->isEnabled());
    EXPECT_EQ(f.State().Setup(), (TEngineSetup{TLHVersion::LH22, TLHConfig::Maf, TEZKVersion::GT}))
        << "a chosen VX-Alpha counts as MAF";
    EXPECT_EQ(form->MaxMafBox()->text(), "1096");
    EXPECT_FALSE(form->EZKPlotButton()->isEnabled());
    form->ConfigButton(TLHConfig::HexaMaf)->click();
    EXPECT_EQ(f.State().Setup().LHConfig, TLHConfig::HexaMaf);
    EXPECT_EQ(form->MaxMafBox()->text(), "560");

    form->OkButton()->click();
    Settle();
    form = f.Open();
    EXPECT_FALSE(form->ConfigButton(TLHConfig::Alpha)->isEnabled());
    EXPECT_FALSE(form->ConfigButton(TLHConfig::Map)->isEnabled());
    EXPECT_TRUE(form->ConfigButton(TLHConfig::HexaMaf)->isChecked());
    EXPECT_TRUE(form->LH22Button()->isChecked());
}

TEST(OptionsWindowTest, DisplayChecksSetTheViewAndTheOverlayBoxesExcludeEachOther) {
    TOptionsFixture f;
    f.Load();
    TOptionsForm* form = f.Open();
    form->ShowReferenceMapBox()->click();
    EXPECT_EQ(f.State().PlotDisplay.Overlay, TMapOverlay::Reference);
    form->ShowUpdatedMapBox()->click();
    EXPECT_FALSE(form->ShowReferenceMapBox()->isChecked());
    EXPECT_EQ(f.State().PlotDisplay.Overlay, TMapOverlay::Updated);
    form->ShowUpdatedMapBox()->click();
    EXPECT_EQ(f.State().PlotDisplay.Overlay, TMapOverlay::None);

    form->EZKPlotButton()->click();
    EXPECT_EQ(f.State().Display.View, TPlotView::EZK);
    form->PlotAfrBox()->click();
    EXPECT_FALSE(f.State().Display.PlotAfr);
    form->ShowAfrScaleBox()->click();
    EXPECT_FALSE(f.State().PlotDisplay.ShowAfrScale);
    form->FogSlider()->setValue(40);
    EXPECT_EQ(f.State().PlotDisplay.FogAlpha, 40);
    EXPECT_EQ(form->FogLabel()->text(), "40");

    // The main window's own commands show in the window, and so does a
    // setup changed elsewhere.
    f.Form->SetView(TPlotView::LH, TPlotFormat::Cells);
    EXPECT_TRUE(form->LHPlotButton()->isChecked());
    f.State().Setup() = TEngineSetup{TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::GT};
    f.Form->Document().Apply(TChange::Axes);
    EXPECT_TRUE(form->LH22Button()->isChecked());
    EXPECT_TRUE(form->ConfigButton(TLHConfig::HexaMaf)->isChecked());
    EXPECT_FALSE(form->EZKPlotButton()->isEnabled());
}

TEST(OptionsWindowTest, OkWithSaveAsDefaultsStoresTheFilterSet) {
    TOptionsFixture f;
    TOptionsForm* form = f.Open();
    form->IdleBox()->click();
    const TFilterSettings chosen = f.State().Settings.ActiveFilters;
    EXPECT_NE(f.State().Settings.StoredFilters, chosen);
    form->SaveAsDefaultsButton()->setChecked(true);
    form->OkButton()->click();
    EXPECT_EQ(f.State().Settings.StoredFilters, chosen);
}

// ---- Color Adjustment ---------------------------------------------------

TColorForm& PreparedColorForm(TOptionsFixture& f) {
    TColorForm& form = f.Form->ColorForm();
    form.Prepare();
    form.show();
    Settle();
    return form;
}

TEST(ColorWindowTest, SliderRecoloursThePlotAsAWholeRefreshWould) {
    TOptionsFixture f;
    f.Load();
    f.Form->ColorScale() = TColorScale{BuiltInColorTable(2), 2};
    f.Form->Document().Apply(TChange::Colors);
    const QImage before = f.Form->PlotImage();
    TColorForm& form = PreparedColorForm(f);
    ASSERT_EQ(form.Rows().size(), 6u);
    EXPECT_EQ(form.windowTitle(), "Color Adjustment");

    form.Rows()[2]->Slider(0)->setValue(300);  // 14.7 turns magenta
    EXPECT_EQ(f.Form->ColorScale().TableNumber, 0);
    EXPECT_NE(f.Form->ColorScale().Table[2].Color, BuiltInColorTable(2)[2].Color);
    const QImage recoloured = f.Form->PlotImage();
    EXPECT_NE(recoloured, before);
    f.Form->Document().Apply(TChange::Display);
    EXPECT_EQ(f.Form->PlotImage(), recoloured) << "the quick recolouring draws what a whole refresh draws";
}

TEST(ColorWindowTest, CancelGivesBackTheTableButNotItsNumber) {
    TOptionsFixture f;
    f.Load();
    f.Form->ColorScale() = TColorScale{BuiltInColorTable(2), 2};
    f.Form->Document().Apply(TChange::Colors);
    const QImage before = f.Form->PlotImage();
    TColorForm& form = PreparedColorForm(f);
    form.Rows()[1]->Slider(1)->setValue(10);
    TOptionsFixture::Type(form.Rows()[3]->AfrBox(), QStringLiteral("15.2"));
    EXPECT_DOUBLE_EQ(f.Form->ColorScale().Table[3].Value, 15.2);
    form.ResetButton()->click();  // a reset is undone too
    form.Rows()[0]->Slider(2)->setValue(90);

    form.CancelButton()->click();
    Settle();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(f.Form->ColorScale().Table, BuiltInColorTable(2));
    EXPECT_EQ(f.Form->ColorScale().TableNumber, 0) << "an edited table is saved as table 0";
    EXPECT_EQ(f.Form->PlotImage(), before);
}

// A reset gives the default table exactly, whatever length the table had: a longer
// table's later entries could repeat a default AFR.
TEST(ColorWindowTest, ResetGivesTheDefaultTableExactly) {
    for (const std::size_t length : {std::size_t{3}, std::size_t{7}, std::size_t{8}}) {
        TOptionsFixture f;
        TColorTable table;
        for (std::size_t i = 0; i < length; ++i)
            table.push_back({11.0 + static_cast<double>(i), MakeColor32(255, 1, 2, 3)});
        f.Form->ColorScale() = TColorScale{table, 0};
        TColorForm& form = PreparedColorForm(f);
        ASSERT_EQ(form.Rows().size(), length);
        form.ResetButton()->click();
        EXPECT_EQ(f.Form->ColorScale().Table, BuiltInColorTable(2)) << length;
        EXPECT_EQ(form.Rows().size(), BuiltInColorTable(2).size()) << "the rows are built again";
        EXPECT_EQ(form.height(), f.Form->ColorForm().sizeHint().height());
    }
}

// Two entries of one value cannot both be stored: the second is refused with a message.
TEST(ColorWindowTest, AnAfrEqualToAnotherEntryIsRefused) {
    TOptionsFixture f;
    f.Form->ColorScale() = TColorScale{BuiltInColorTable(2), 2};
    TColorForm& form = PreparedColorForm(f);
    TOptionsFixture::Type(form.Rows()[3]->AfrBox(), QStringLiteral("14.7"));
    const TColorTable& table = f.Form->ColorScale().Table;
    EXPECT_EQ(
        std::count_if(table.begin(), table.end(), [](const TColorTableEntry& e) { return e.Value == 14.7; }),
        1);
    EXPECT_DOUBLE_EQ(table[3].Value, 14.0) << "the last value the typing gave";
    EXPECT_TRUE(form.MessageLabel()->isVisible());
    EXPECT_TRUE(form.MessageLabel()->text().contains("14.7"));
    TOptionsFixture::Type(form.Rows()[3]->AfrBox(), QStringLiteral("14.74"));
    EXPECT_DOUBLE_EQ(f.Form->ColorScale().Table[3].Value, 14.74);
    EXPECT_FALSE(form.MessageLabel()->isVisible());
}

TEST(ColorWindowTest, ModeSwitchRebuildsTheRowsAndClosingRemembersIt) {
    TOptionsFixture f;
    f.Form->ColorScale() = TColorScale{BuiltInColorTable(2), 2};
    TColorForm& form = PreparedColorForm(f);
    EXPECT_NE(qobject_cast<THSLPanelForm*>(form.Rows()[0]), nullptr);
    EXPECT_EQ(form.Rows()[2]->ValueLabel(1)->text(), "100%");
    form.RgbButton()->click();
    auto* rgb = qobject_cast<TRGBPanelForm*>(form.Rows()[2]);
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(rgb->Slider(2)->value(), 166);
    EXPECT_EQ(rgb->ValueLabel(2)->text(), "166");
    EXPECT_EQ(f.Form->ColorScale().TableNumber, 2) << "building rows changes nothing";
    form.OkButton()->click();
    EXPECT_TRUE(f.Form->Store().Main().ReadBool(ColorWindowSection, RgbModeKey, false));
    EXPECT_TRUE(f.Form->Store().Main().ValueExists(ColorWindowSection, WindowSizeKey));
    form.Prepare();
    EXPECT_TRUE(form.RgbButton()->isChecked());
}

// Every page of the Options window and the Color Adjustment window, saved
// when KELVANE_SCREENSHOT_DIR names a folder.
TEST(OptionsWindowTest, Pictures) {
    const QString folder = qEnvironmentVariable("KELVANE_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "KELVANE_SCREENSHOT_DIR not set";
    }
    TOptionsFixture f;
    f.Load();
    TOptionsForm* form = f.Open();
    const char* names[] = {"options_display", "options_scale", "options_filters", "options_ignition"};
    for (int page = 0; page < 4; ++page) {
        form->Pages()->setCurrentIndex(page);
        Settle();
        EXPECT_TRUE(form->grab().save(QDir(folder).filePath(QString::fromUtf8(names[page]) + ".png")));
    }
    TColorForm& colors = PreparedColorForm(f);
    EXPECT_TRUE(colors.grab().save(QDir(folder).filePath(QStringLiteral("color_adjustment.png"))));
    colors.RgbButton()->click();
    Settle();
    EXPECT_TRUE(colors.grab().save(QDir(folder).filePath(QStringLiteral("color_adjustment_rgb.png"))));
}

}  // namespace
}  // namespace kelvane
