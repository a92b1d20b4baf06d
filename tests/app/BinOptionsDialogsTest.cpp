#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/maps/BinOptionsDialogs.h"

namespace kelvane {
namespace {

const QString LongNotice = QStringLiteral(
    "Bin-file indicates that adaptation was not disabled. This will prevent sensible fuel-map "
    "adjustments.\nCat WOT map was NOT zero'ed");

// Clicks a choice on its indicator: a radio button reacts only to clicks on
// its indicator and text, not on the empty room the layout gives it.
void ClickChoice(TBinOptionsForm& form, int index) {
    QRadioButton* button = form.ChoiceButton(index);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void ShowAndWait(QWidget& widget) {
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
}

// Saves what the dialog looks like when KELVANE_SCREENSHOT_DIR names a folder.
void SaveScreenshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("KELVANE_SCREENSHOT_DIR");
    if (!folder.isEmpty()) widget.grab().save(QDir(folder).filePath(name));
}

TEST(BinOptionsFormTest, LHDialogWantsAChoiceBeforeOk) {
    TBinOptionsForm form(TBinDialogKind::LH, LongNotice);
    ShowAndWait(form);
    SaveScreenshot(form, QStringLiteral("kelvane_lh_bin_options.png"));

    EXPECT_EQ(form.windowTitle(), QStringLiteral("LH 2.3 Bin File Options"));
    EXPECT_EQ(form.SelectionGroup()->title(), QStringLiteral("Map Selection"));
    EXPECT_EQ(form.ChoiceButton(0)->text(), QStringLiteral("Load \"Cat\" map"));
    EXPECT_EQ(form.ChoiceButton(1)->text(), QStringLiteral("Load No-Cat map"));
    EXPECT_EQ(form.ChoiceButton(2)->text(), QStringLiteral("Load Primary Load Map"));
    EXPECT_EQ(form.NoticeGroup()->title(), QStringLiteral("Notice"));
    EXPECT_TRUE(form.NoticeGroup()->isVisible());
    EXPECT_EQ(form.NoticeLabel()->text(), LongNotice);
    EXPECT_TRUE(form.NoticeLabel()->wordWrap());
    EXPECT_EQ(form.NoticePicture()->size(), QSize(48, 48));
    EXPECT_FALSE(form.NoticePicture()->pixmap().isNull());
    ASSERT_NE(form.HintLabel(), nullptr);
    EXPECT_EQ(form.HintLabel()->text(), QStringLiteral("Select which map was in use"));
    EXPECT_TRUE(form.OkButton()->isDefault());
    EXPECT_FALSE(form.OkButton()->isEnabled());
    EXPECT_EQ(form.Choice(), TBinMapChoice::NoChoice);

    ClickChoice(form, 2);

    EXPECT_TRUE(form.OkButton()->isEnabled());
    EXPECT_TRUE(form.HintLabel()->text().isEmpty());
    EXPECT_EQ(form.Choice(), TBinMapChoice::PrimaryLoad);
    // The whole notice fits: the wrapped text is not cut off at the bottom.
    EXPECT_GE(form.NoticeLabel()->height(), form.NoticeLabel()->heightForWidth(form.NoticeLabel()->width()));
}

TEST(BinOptionsFormTest, EZKDialogAcceptsOkWithoutAChoice) {
    TBinOptionsForm form(TBinDialogKind::EZK,
                         QStringLiteral("Bin-file indicates that the EZK's WOT map is enabled. This will "
                                        "prevent sensible cruise-map adjustments."));
    ShowAndWait(form);
    SaveScreenshot(form, QStringLiteral("kelvane_ezk_bin_options.png"));

    EXPECT_EQ(form.windowTitle(), QStringLiteral("EZK Bin File Options"));
    EXPECT_EQ(form.ChoiceButton(0)->text(), QStringLiteral("Load 98-Oct \"Cat\" map"));
    EXPECT_EQ(form.ChoiceButton(1)->text(), QStringLiteral("Load 98-Oct No-Cat map"));
    EXPECT_EQ(form.ChoiceButton(2)->text(), QStringLiteral("Load 91-Octane map"));
    EXPECT_EQ(form.HintLabel(), nullptr);
    EXPECT_TRUE(form.OkButton()->isEnabled());
    EXPECT_EQ(form.Choice(), TBinMapChoice::NoChoice);

    ClickChoice(form, 2);
    EXPECT_EQ(form.Choice(), TBinMapChoice::Octane91);
    ClickChoice(form, 1);
    EXPECT_EQ(form.Choice(), TBinMapChoice::NoCat);
}

TEST(BinOptionsFormTest, HiddenNoticeShrinksTheDialogByTheGroup) {
    for (TBinDialogKind kind : {TBinDialogKind::LH, TBinDialogKind::EZK}) {
        TBinOptionsForm withNotice(kind, LongNotice);
        TBinOptionsForm without(kind, QString());
        ShowAndWait(withNotice);
        ShowAndWait(without);
        if (kind == TBinDialogKind::LH)
            SaveScreenshot(without, QStringLiteral("kelvane_lh_bin_options_plain.png"));

        EXPECT_FALSE(without.NoticeGroup()->isVisible());
        EXPECT_LT(without.height(), withNotice.height());
        EXPECT_EQ(without.width(), withNotice.width());
        EXPECT_GE(withNotice.height() - without.height(), withNotice.NoticeGroup()->height());
        // Fixed size: the user cannot resize it.
        EXPECT_EQ(without.minimumSize(), without.maximumSize());
        EXPECT_EQ(withNotice.minimumSize(), withNotice.maximumSize());
        // Nothing hangs below the bottom panel.
        EXPECT_LE(without.OkButton()->geometry().bottom(), without.height());
        EXPECT_LT(without.height() - without.OkButton()->geometry().bottom(), 30);
    }
}

// Runs action on the bin options dialog once it is shown modally.
void WhenDialogShows(std::function<void(TBinOptionsForm&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* form = qobject_cast<TBinOptionsForm*>(QApplication::activeModalWidget());
        if (!form || !form->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action(*form);
    });
    timer->start();
}

TEST(BinOptionsChooserTest, ReturnsTheClickedChoiceOrCancel) {
    QWidget parent;
    TBinOptionsChooser chooser(&parent);

    QString noticeSeen;
    WhenDialogShows([&](TBinOptionsForm& form) {
        noticeSeen = form.NoticeLabel()->text();
        ClickChoice(form, 1);
        QTest::mouseClick(form.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(chooser.ChooseMap(TBinDialogKind::LH, "Cat WOT map was NOT zero'ed"), TBinMapChoice::NoCat);
    EXPECT_EQ(noticeSeen, QStringLiteral("Cat WOT map was NOT zero'ed"));

    WhenDialogShows([](TBinOptionsForm& form) {
        ClickChoice(form, 0);
        QTest::mouseClick(form.CancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(chooser.ChooseMap(TBinDialogKind::LH, ""), TBinMapChoice::Cancel);

    WhenDialogShows([](TBinOptionsForm& form) { QTest::mouseClick(form.OkButton(), Qt::LeftButton); });
    EXPECT_EQ(chooser.ChooseMap(TBinDialogKind::EZK, ""), TBinMapChoice::NoChoice);

    WhenDialogShows([](TBinOptionsForm& form) {
        ClickChoice(form, 0);
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    EXPECT_EQ(chooser.ChooseMap(TBinDialogKind::EZK, ""), TBinMapChoice::Cancel);
}

}  // namespace
}  // namespace kelvane
