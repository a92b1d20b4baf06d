#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "app/shell/StartupWindow.h"
#include "core/ground/IniFile2.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

class StartupWindowTest : public ::testing::Test {
  protected:
    void ShowForm() {
        Owner.resize(800, 600);
        Owner.show();
        Form.ShowCentredOn(&Owner);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    }
    TTempFolder Temp;
    TIniFile2 Main{Temp.Path() / "Kelvane.ini"};
    QWidget Owner;
    TStartupForm Form{QStringLiteral("Kelvane"), QStringLiteral("1.0.001"), Main};
};

TEST_F(StartupWindowTest, ShowsNameVersionAndCloseBox) {
    ShowForm();
    const QString folder = qEnvironmentVariable("KELVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty()) Form.grab().save(QDir(folder).filePath("shellstart_startup.png"));
    EXPECT_EQ(Form.NameLabel()->text(), "Kelvane");
    EXPECT_EQ(Form.VersionLabel()->text(), "Version 1.0.001");
    EXPECT_EQ(Form.QuitBox()->text(), "Quit showing this stupid window, I know how to use Help/About");
    EXPECT_TRUE(Form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(Form.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(StartupWindowTest, ClosesByItselfAfterThreeSeconds) {
    ShowForm();
    Form.Tick(std::chrono::steady_clock::now());
    EXPECT_TRUE(Form.isVisible());
    Form.Tick(std::chrono::steady_clock::now() + std::chrono::seconds(3));
    EXPECT_FALSE(Form.isVisible());
    // Closed with the box clear: nothing is written.
    EXPECT_FALSE(Main.ValueExists("Settings", "Startup Window"));
}

TEST_F(StartupWindowTest, AnyKeyClosesAndTickedBoxIsStored) {
    ShowForm();
    QTest::mouseClick(Form.QuitBox(), Qt::LeftButton, {}, QPoint(8, Form.QuitBox()->height() / 2));
    ASSERT_TRUE(Form.QuitBox()->isChecked());
    QTest::keyClick(&Form, Qt::Key_Space);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_FALSE(Main.ReadBool("Settings", "Startup Window", true));
}

TEST_F(StartupWindowTest, TickedBoxThatCannotBeStoredIsReported) {
    // A folder where the settings file should be: the write fails, for root too.
    std::filesystem::create_directories(Main.FileName() / "inside");
    QSignalSpy failed(&Form, &TStartupForm::WriteFailed);
    ShowForm();
    Form.QuitBox()->setChecked(true);
    Form.close();
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.at(0).at(0).toString(),
              QString::fromStdString("This file could not be written:\n" + Main.FileName().string() +
                                     ": not a regular file"));
}

TEST_F(StartupWindowTest, GivesWayToAModalWindowOnly) {
    ShowForm();
    // A window that blocks nothing may sit beside it.
    QDialog modeless(&Owner);
    modeless.show();
    EXPECT_TRUE(Form.isVisible());
    modeless.close();

    QDialog modal(&Owner);
    modal.setModal(true);
    modal.show();
    EXPECT_FALSE(Form.isVisible());
    // Gone for good: a later tick or modal window changes nothing.
    modal.close();
    Form.Tick(std::chrono::steady_clock::now() + std::chrono::seconds(3));
    EXPECT_FALSE(Form.isVisible());
    EXPECT_FALSE(Main.ValueExists("Settings", "Startup Window"));
}

TEST_F(StartupWindowTest, DoubleClickCloses) {
    ShowForm();
    QTest::mouseDClick(&Form, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(Form.isVisible());
}

}  // namespace
}  // namespace kelvane
