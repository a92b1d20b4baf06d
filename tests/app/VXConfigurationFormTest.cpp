#include <gtest/gtest.h>

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/shell/VXConfigurationUnit.h"
#include "core/shell/StartupLogOptions.h"

namespace kelvane {
namespace {

void Click(QRadioButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void SaveScreenshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("KELVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty()) widget.grab().save(QDir(folder).filePath(name));
}

class VXConfigurationFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    }
    TVXConfigurationForm Form;
};

TEST_F(VXConfigurationFormTest, CaptionsAndEmptyStart) {
    SaveScreenshot(Form, QStringLiteral("shellstart_vxconfig_empty.png"));
    EXPECT_EQ(Form.windowTitle(), "Log File Options");
    EXPECT_EQ(Form.LHTypeGroup()->title(), "LH Type");
    EXPECT_EQ(Form.LHConfigGroup()->title(), "LH 2.3 Configuration");
    EXPECT_EQ(Form.EZKGroup()->title(), "EZK configuration");
    EXPECT_EQ(Form.LH23Button()->text(), "LH2.3 ('87-95)");
    EXPECT_EQ(Form.LH22Button()->text(), "LH2.2 ('85-86)");
    EXPECT_EQ(Form.StandardMafButton()->text(), "Standard MAF");
    EXPECT_EQ(Form.AlphaButton()->text(), "Vortrix Alpha");
    EXPECT_EQ(Form.HexaMafButton()->text(), "HexaMAF");
    EXPECT_EQ(Form.MapSystemButton()->text(), "Vortrix MAP system");
    EXPECT_EQ(Form.GTButton()->text(), "GT");
    EXPECT_EQ(Form.S4Button()->text(), "S4/GTS");
    EXPECT_EQ(Form.HintLabel()->text(), "Select Vortrix Configuration");
    EXPECT_EQ(Form.OkButton()->text(), "OK");
    EXPECT_EQ(Form.CancelButton()->text(), "Cancel");
    EXPECT_FALSE(Form.OkButton()->isEnabled());
    EXPECT_EQ(Form.Choice(), TEngineSetup{});
}

TEST_F(VXConfigurationFormTest, LH22NeedsNoEzkChoice) {
    Click(Form.LH22Button());
    EXPECT_FALSE(Form.OkButton()->isEnabled());
    for (QRadioButton* off : {Form.GTButton(), Form.S4Button(), Form.AlphaButton(), Form.MapSystemButton()})
        EXPECT_FALSE(off->isEnabled()) << off->text().toStdString();
    Click(Form.StandardMafButton());
    EXPECT_TRUE(Form.OkButton()->isEnabled());
    EXPECT_EQ(Form.Choice(), (TEngineSetup{TLHVersion::LH22, TLHConfig::Maf, TEZKVersion::Unset}));

    // Back to LH 2.3: everything is offered again, and the EZK choice is wanted.
    Click(Form.LH23Button());
    for (QRadioButton* on : {Form.GTButton(), Form.S4Button(), Form.AlphaButton(), Form.MapSystemButton()})
        EXPECT_TRUE(on->isEnabled());
    EXPECT_FALSE(Form.OkButton()->isEnabled());
}

TEST_F(VXConfigurationFormTest, LH23MapSystemWaitsForEzkChoice) {
    Form.SetPreselection(LogFileOptionsPreselection("Time [s]\tRPM\tMAP [kPa]", TEngineSetup{}));
    EXPECT_TRUE(Form.LH23Button()->isChecked());
    EXPECT_TRUE(Form.MapSystemButton()->isChecked());
    EXPECT_FALSE(Form.OkButton()->isEnabled());
    Click(Form.GTButton());
    EXPECT_TRUE(Form.OkButton()->isEnabled());
    SaveScreenshot(Form, QStringLiteral("shellstart_vxconfig.png"));
    EXPECT_EQ(Form.Choice(), (TEngineSetup{TLHVersion::LH23, TLHConfig::Map, TEZKVersion::GT}));
}

TEST_F(VXConfigurationFormTest, PreselectingAgainReplacesTheChoice) {
    Form.SetPreselection({TLHVersion::LH23, TLHConfig::Alpha, TEZKVersion::S4});
    EXPECT_TRUE(Form.OkButton()->isEnabled());
    Form.SetPreselection({TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::Unset});
    EXPECT_EQ(Form.Choice(), (TEngineSetup{TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::Unset}));
    EXPECT_FALSE(Form.GTButton()->isEnabled());
    EXPECT_TRUE(Form.OkButton()->isEnabled());
}

TEST(VXConfigurationDialogTest, OkGivesTheChoiceAndCancelNothing) {
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<TVXConfigurationForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        Click(form->S4Button());
        QTest::mouseClick(form->OkButton(), Qt::LeftButton);
    });
    const auto chosen =
        AskLogFileOptions(nullptr, {TLHVersion::LH23, TLHConfig::HexaMaf, TEZKVersion::Unset});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (TEngineSetup{TLHVersion::LH23, TLHConfig::HexaMaf, TEZKVersion::S4}));

    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<TVXConfigurationForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->OkButton()->isEnabled());
        QTest::mouseClick(form->CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(AskLogFileOptions(nullptr, {TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::GT}).has_value());

    TVXConfigurationForm form;
    QTimer::singleShot(0, &form, [&form] { form.reject(); });
    EXPECT_EQ(form.ShowModalResult(), VXConfigurationCancel);
}

}  // namespace
}  // namespace kelvane
