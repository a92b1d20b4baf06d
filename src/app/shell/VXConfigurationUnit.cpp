#include "app/shell/VXConfigurationUnit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/shell/StartupLogOptions.h"

namespace kelvane {

namespace {

QRadioButton* AddChoice(QGroupBox* group, const QString& caption) {
    auto* button = new QRadioButton(caption, group);
    group->layout()->addWidget(button);
    return button;
}

}  // namespace

TVXConfigurationForm::TVXConfigurationForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Log File Options"));
    setModal(true);

    FLHTypeGroup = new QGroupBox(QStringLiteral("LH Type"), this);
    FLHTypeGroup->setLayout(new QVBoxLayout);
    FLH23 = AddChoice(FLHTypeGroup, QStringLiteral("LH2.3 ('87-95)"));
    FLH22 = AddChoice(FLHTypeGroup, QStringLiteral("LH2.2 ('85-86)"));

    FLHConfigGroup = new QGroupBox(QStringLiteral("LH 2.3 Configuration"), this);
    FLHConfigGroup->setLayout(new QVBoxLayout);
    FStandardMaf = AddChoice(FLHConfigGroup, QStringLiteral("Standard MAF"));
    FAlpha = AddChoice(FLHConfigGroup, QStringLiteral("Vortrix Alpha"));
    FHexaMaf = AddChoice(FLHConfigGroup, QStringLiteral("HexaMAF"));
    FMapSystem = AddChoice(FLHConfigGroup, QStringLiteral("Vortrix MAP system"));

    FEZKGroup = new QGroupBox(QStringLiteral("EZK configuration"), this);
    FEZKGroup->setLayout(new QVBoxLayout);
    FGT = AddChoice(FEZKGroup, QStringLiteral("GT"));
    FS4 = AddChoice(FEZKGroup, QStringLiteral("S4/GTS"));

    for (QRadioButton* button : {FLH23, FLH22, FStandardMaf, FAlpha, FHexaMaf, FMapSystem, FGT, FS4})
        connect(button, &QRadioButton::toggled, this, &TVXConfigurationForm::ChoiceClick);

    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(FLHTypeGroup);
    leftColumn->addWidget(FEZKGroup);
    leftColumn->addStretch(1);
    auto* groups = new QHBoxLayout;
    groups->addLayout(leftColumn);
    groups->addWidget(FLHConfigGroup, 0, Qt::AlignTop);

    FHintLabel = new QLabel(QStringLiteral("Select Vortrix Configuration"), this);
    FOkButton = new QPushButton(QStringLiteral("OK"), this);
    FOkButton->setDefault(true);
    FCancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    connect(FOkButton, &QPushButton::clicked, this, [this] { done(VXConfigurationOk); });
    connect(FCancelButton, &QPushButton::clicked, this, [this] { done(VXConfigurationCancel); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(FHintLabel);
    bottom->addStretch(1);
    bottom->addWidget(FOkButton);
    bottom->addWidget(FCancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ChoiceClick();
}

void TVXConfigurationForm::SetPreselection(const TEngineSetup& setup) {
    // Exclusive buttons refuse to be unchecked; lift that while setting.
    const auto buttons = {FLH23, FLH22, FStandardMaf, FHexaMaf, FAlpha, FMapSystem, FGT, FS4};
    for (QRadioButton* button : buttons) button->setAutoExclusive(false);
    FLH23->setChecked(setup.LHVersion == TLHVersion::LH23);
    FLH22->setChecked(setup.LHVersion == TLHVersion::LH22);
    FStandardMaf->setChecked(setup.LHConfig == TLHConfig::Maf);
    FHexaMaf->setChecked(setup.LHConfig == TLHConfig::HexaMaf);
    FAlpha->setChecked(setup.LHConfig == TLHConfig::Alpha);
    FMapSystem->setChecked(setup.LHConfig == TLHConfig::Map);
    FGT->setChecked(setup.EZKVersion == TEZKVersion::GT);
    FS4->setChecked(setup.EZKVersion == TEZKVersion::S4);
    for (QRadioButton* button : buttons) button->setAutoExclusive(true);
    ChoiceClick();
}

TEngineSetup TVXConfigurationForm::Choice() const {
    TEngineSetup setup;
    if (FLH23->isChecked()) setup.LHVersion = TLHVersion::LH23;
    if (FLH22->isChecked()) setup.LHVersion = TLHVersion::LH22;
    if (FStandardMaf->isChecked()) setup.LHConfig = TLHConfig::Maf;
    if (FHexaMaf->isChecked()) setup.LHConfig = TLHConfig::HexaMaf;
    if (FAlpha->isChecked()) setup.LHConfig = TLHConfig::Alpha;
    if (FMapSystem->isChecked()) setup.LHConfig = TLHConfig::Map;
    if (FGT->isChecked()) setup.EZKVersion = TEZKVersion::GT;
    if (FS4->isChecked()) setup.EZKVersion = TEZKVersion::S4;
    return setup;
}

int TVXConfigurationForm::ShowModalResult() {
    return exec() == VXConfigurationOk ? VXConfigurationOk : VXConfigurationCancel;
}

void TVXConfigurationForm::ChoiceClick() {
    // LH 2.2 cars have neither the EZK choices nor the Alpha and MAP systems.
    if (FLH22->isChecked()) {
        for (QRadioButton* button : {FGT, FS4, FAlpha, FMapSystem}) button->setEnabled(false);
        FStandardMaf->setEnabled(true);
        FHexaMaf->setEnabled(true);
    } else if (FLH23->isChecked()) {
        for (QRadioButton* button : {FGT, FS4, FAlpha, FMapSystem, FStandardMaf, FHexaMaf})
            button->setEnabled(true);
    }
    FOkButton->setEnabled(LogFileOptionsComplete(Choice()));
}

std::optional<TEngineSetup> AskLogFileOptions(QWidget* parent, const TEngineSetup& preselection) {
    TVXConfigurationForm form(parent);
    form.SetPreselection(preselection);
    if (form.ShowModalResult() != VXConfigurationOk) return std::nullopt;
    return form.Choice();
}

}  // namespace kelvane
