#include "app/maps/BinOptionsDialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kelvane {

namespace {

constexpr int NoticePictureSize = 48;
constexpr int NoticeTextWidth = 300;

struct TChoiceTexts {
    const char* Caption;
    std::array<const char*, 3> Choices;
    std::array<TBinMapChoice, 3> Values;
};

TChoiceTexts TextsOf(TBinDialogKind kind) {
    if (kind == TBinDialogKind::EZK) {
        return {"EZK Bin File Options",
                {"Load 98-Oct \"Cat\" map", "Load 98-Oct No-Cat map", "Load 91-Octane map"},
                {TBinMapChoice::Cat, TBinMapChoice::NoCat, TBinMapChoice::Octane91}};
    }
    return {"LH 2.3 Bin File Options",
            {"Load \"Cat\" map", "Load No-Cat map", "Load Primary Load Map"},
            {TBinMapChoice::Cat, TBinMapChoice::NoCat, TBinMapChoice::PrimaryLoad}};
}

}  // namespace

TBinOptionsForm::TBinOptionsForm(TBinDialogKind kind, const QString& notice, QWidget* parent)
    : QDialog(parent), FKind(kind) {
    const TChoiceTexts texts = TextsOf(kind);
    setWindowTitle(QString::fromLatin1(texts.Caption));
    setModal(true);

    FSelectionGroup = new QGroupBox(QStringLiteral("Map Selection"), this);
    auto* selectionLayout = new QVBoxLayout(FSelectionGroup);
    for (std::size_t i = 0; i < FChoiceButtons.size(); ++i) {
        FChoiceButtons[i] = new QRadioButton(QString::fromLatin1(texts.Choices[i]), FSelectionGroup);
        selectionLayout->addWidget(FChoiceButtons[i]);
        connect(FChoiceButtons[i], &QRadioButton::clicked, this, &TBinOptionsForm::ChoiceClick);
    }

    FNoticeGroup = new QGroupBox(QStringLiteral("Notice"), this);
    auto* noticeLayout = new QHBoxLayout(FNoticeGroup);
    FNoticePicture = new QLabel(FNoticeGroup);
    FNoticePicture->setFixedSize(NoticePictureSize, NoticePictureSize);
    FNoticePicture->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(NoticePictureSize, NoticePictureSize));
    FNoticeLabel = new QLabel(notice, FNoticeGroup);
    FNoticeLabel->setTextFormat(Qt::PlainText);
    FNoticeLabel->setWordWrap(true);
    // A fixed text width lets the word-wrapped notice settle on one height.
    FNoticeLabel->setFixedWidth(NoticeTextWidth);
    noticeLayout->addWidget(FNoticePicture, 0, Qt::AlignTop);
    noticeLayout->addWidget(FNoticeLabel, 1);
    FNoticeGroup->setVisible(!notice.isEmpty());
    // Only the height changes with the notice: the width stays that of the notice group.
    FSelectionGroup->setMinimumWidth(FNoticeGroup->sizeHint().width());

    auto* bottomLayout = new QHBoxLayout;
    if (kind == TBinDialogKind::LH) {
        FHintLabel = new QLabel(QStringLiteral("Select which map was in use"), this);
        bottomLayout->addWidget(FHintLabel);
    }
    bottomLayout->addStretch(1);
    FOkButton = new QPushButton(QStringLiteral("OK"), this);
    FOkButton->setDefault(true);
    // The LH dialog wants an answer; the EZK one accepts "OK" as it stands.
    FOkButton->setEnabled(kind == TBinDialogKind::EZK);
    FCancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    bottomLayout->addWidget(FOkButton);
    bottomLayout->addWidget(FCancelButton);
    connect(FOkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* mainLayout = new QVBoxLayout(this);
    mainLayout->addWidget(FSelectionGroup);
    mainLayout->addWidget(FNoticeGroup);
    mainLayout->addLayout(bottomLayout);
    // Fixed to the layout's size: a hidden notice group takes no room.
    mainLayout->setSizeConstraint(QLayout::SetFixedSize);
}

TBinMapChoice TBinOptionsForm::Choice() const {
    const TChoiceTexts texts = TextsOf(FKind);
    for (std::size_t i = 0; i < FChoiceButtons.size(); ++i)
        if (FChoiceButtons[i]->isChecked()) return texts.Values[i];
    return TBinMapChoice::NoChoice;
}

void TBinOptionsForm::ChoiceClick() {
    FOkButton->setEnabled(true);
    if (FHintLabel) FHintLabel->clear();
}

TBinMapChoice TBinOptionsChooser::ChooseMap(TBinDialogKind kind, const std::string& notice) {
    TBinOptionsForm form(kind, QString::fromStdString(notice), FParent);
    if (form.exec() != QDialog::Accepted) return TBinMapChoice::Cancel;
    const TBinMapChoice choice = form.Choice();
    // "OK" is disabled in the LH dialog until a map is chosen.
    if (kind == TBinDialogKind::LH && choice == TBinMapChoice::NoChoice) return TBinMapChoice::Cancel;
    return choice;
}

}  // namespace kelvane
