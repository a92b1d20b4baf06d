#include "app/display/OptionsUnit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/document/KelvaneDocument.h"
#include "core/ground/SettingsValues.h"
#include "core/logdata/AfrSmoothing.h"
#include "core/shell/LogOpening.h"
#include "core/state/PlotRanges.h"

namespace kelvane {

namespace {

// Keeps the handlers quiet while one of them runs.
class TNested {
  public:
    explicit TNested(int& counter) : FCounter(counter) { ++FCounter; }
    ~TNested() { --FCounter; }
    TNested(const TNested&) = delete;
    TNested& operator=(const TNested&) = delete;

  private:
    int& FCounter;
};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QCheckBox* AddCheck(QWidget* parent, const char* caption, const char* name) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromUtf8(name));
    return box;
}

QRadioButton* AddRadio(QWidget* parent, const char* caption, const char* name) {
    auto* button = new QRadioButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    return button;
}

QLineEdit* ValueBox(QWidget* parent, const char* name, int width = 52) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setFixedWidth(width);
    box->setAlignment(Qt::AlignRight);
    return box;
}

TLHVersion Normalised(TLHVersion version) {
    return version == TLHVersion::Unset ? TLHVersion::LH23 : version;
}
TLHConfig Normalised(TLHConfig config) {
    return config == TLHConfig::Unset ? TLHConfig::Maf : config;
}

}  // namespace

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FUp = new QToolButton(this);
    FUp->setArrowType(Qt::UpArrow);
    FUp->setObjectName(QStringLiteral("Up"));
    FDown = new QToolButton(this);
    FDown->setArrowType(Qt::DownArrow);
    FDown->setObjectName(QStringLiteral("Down"));
    for (QToolButton* button : {FUp, FDown}) {
        button->setFixedSize(16, 11);
        button->setAutoRepeat(true);
        layout->addWidget(button);
    }
    connect(FUp, &QToolButton::clicked, this, [this] { emit Stepped(+1); });
    connect(FDown, &QToolButton::clicked, this, [this] { emit Stepped(-1); });
}

TOptionsForm::TOptionsForm(TKelvaneDocument& document, QWidget* parent)
    : QWidget(parent, Qt::Window), FDocument(document) {
    connect(&document, &TKelvaneDocument::Changed, this, &TOptionsForm::StateChanged);
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    auto* layout = new QVBoxLayout(this);
    FPages = new QTabWidget(this);
    FPages->setObjectName(QStringLiteral("Pages"));
    FPages->addTab(CreateDisplayPage(), QStringLiteral("Display"));
    FPages->addTab(CreateScalePage(), QStringLiteral("Scale"));
    FPages->addTab(CreateFiltersPage(), QStringLiteral("Filters"));
    FIgnitionPage = CreateIgnitionPage();
    FPages->addTab(FIgnitionPage, QStringLiteral("Ignition"));
    layout->addWidget(FPages);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    FCancel = new QPushButton(QStringLiteral("Cancel"), this);
    FCancel->setObjectName(QStringLiteral("CancelButton"));
    FOk = new QPushButton(QStringLiteral("OK"), this);
    FOk->setObjectName(QStringLiteral("OkButton"));
    buttons->addWidget(FCancel);
    buttons->addWidget(FOk);
    layout->addLayout(buttons);
    connect(FOk, &QPushButton::clicked, this, &TOptionsForm::OkClick);
    connect(FCancel, &QPushButton::clicked, this, &TOptionsForm::CancelClick);
}

QWidget* TOptionsForm::SteppedBox(QLineEdit*& box, const TUpDownLimits& limits, const char* name) {
    auto* holder = new QWidget(this);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    box = ValueBox(holder, name);
    auto* upDown = new TUpDown(holder);
    row->addWidget(box);
    row->addWidget(upDown);
    row->addStretch(1);
    FUpDowns.emplace_back(box, upDown);
    QLineEdit* target = box;
    const bool smoothing = limits.Step == SmoothingUpDown.Step && limits.Upper == SmoothingUpDown.Upper;
    connect(upDown, &TUpDown::Stepped, this, [target, limits, smoothing](int direction) {
        const std::string stepped = StepBoxText(target->text().toStdString(), limits, direction);
        // The smoothing up-downs hold their boxes to their own range.
        target->setText(smoothing ? QString::number(SmoothingFromBox(stepped)) : Text(stepped));
    });
    return holder;
}

TUpDown* TOptionsForm::UpDownOf(QLineEdit* box) const {
    for (const auto& [owner, upDown] : FUpDowns)
        if (owner == box) return upDown;
    return nullptr;
}

QRadioButton* TOptionsForm::ConfigButton(TLHConfig config) const {
    const int code = CodeOf(config);
    return code >= 1 && code <= 4 ? FConfigs[static_cast<std::size_t>(code - 1)] : nullptr;
}

// ---- Pages ---------------------------------------------------------------

QWidget* TOptionsForm::CreateDisplayPage() {
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);

    auto* points = new QGroupBox(QStringLiteral("Data Points"), page);
    auto* pointsLayout = new QGridLayout(points);
    pointsLayout->addWidget(new QLabel(QStringLiteral("Point Size:"), points), 0, 0);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(1);
    FPointSize = ValueBox(points, "PointSizeBox", 40);
    FPointSizeUpDown = new TUpDown(points);
    FPointSizeUpDown->setObjectName(QStringLiteral("PointSizeUpDown"));
    sizeRow->addWidget(FPointSize);
    sizeRow->addWidget(FPointSizeUpDown);
    sizeRow->addStretch(1);
    pointsLayout->addLayout(sizeRow, 0, 1);
    FPlotO2Adj = AddCheck(points, "Plot O2Adj", "PlotO2AdjBox");
    FPlotAfr = AddCheck(points, "Plot AFR", "PlotAfrBox");
    pointsLayout->addWidget(FPlotO2Adj, 1, 0, 1, 2);
    pointsLayout->addWidget(FPlotAfr, 2, 0, 1, 2);
    FColorButton = new QToolButton(points);
    FColorButton->setObjectName(QStringLiteral("ColorButton"));
    FColorButton->setText(QStringLiteral("Colors..."));
    FColorButton->setToolTip(QStringLiteral("Change Color Scale"));
    pointsLayout->addWidget(FColorButton, 3, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(points, 0, 0);

    auto* type = new QGroupBox(QStringLiteral("Plot Type"), page);
    auto* typeLayout = new QVBoxLayout(type);
    FShowAfrScale = AddCheck(type, "Show AFR Scale", "ShowAfrScaleBox");
    FLHPlot = AddRadio(type, "LH Plot", "LHPlotButton");
    FEZKPlot = AddRadio(type, "EZK Plot", "EZKPlotButton");
    FShowKnocks = AddCheck(type, "Show Knocks", "ShowKnocksBox");
    FIncludeAdjustments = AddCheck(type, "Include Adjustments", "IncludeAdjustmentsBox");
    for (QWidget* control :
         std::initializer_list<QWidget*>{FShowAfrScale, FLHPlot, FEZKPlot, FShowKnocks, FIncludeAdjustments})
        typeLayout->addWidget(control);
    grid->addWidget(type, 0, 1);

    auto* overlay = new QGroupBox(QStringLiteral("Map Overlay"), page);
    auto* overlayLayout = new QVBoxLayout(overlay);
    FShowReference = AddCheck(overlay, "Show Reference Map", "ShowReferenceMapBox");
    FShowAdjustments = AddCheck(overlay, "Show Adjustment Map", "ShowAdjustmentMapBox");
    FShowUpdated = AddCheck(overlay, "ShowUpdatedMap", "ShowUpdatedMapBox");
    for (QCheckBox* box : {FShowReference, FShowAdjustments, FShowUpdated}) {
        overlayLayout->addWidget(box);
        connect(box, &QCheckBox::clicked, this, [this, box] { OverlayClicked(box); });
    }
    grid->addWidget(overlay, 1, 0);

    auto* fog = new QGroupBox(QStringLiteral("Selection Transparency"), page);
    auto* fogLayout = new QHBoxLayout(fog);
    FFogSlider = new QSlider(Qt::Horizontal, fog);
    FFogSlider->setObjectName(QStringLiteral("FogSlider"));
    FFogSlider->setRange(0, 255);
    FFogLabel = new QLabel(fog);
    FFogLabel->setMinimumWidth(28);
    fogLayout->addWidget(FFogSlider);
    fogLayout->addWidget(FFogLabel);
    grid->addWidget(fog, 1, 1, Qt::AlignTop);
    grid->setRowStretch(2, 1);

    connect(FPointSizeUpDown, &TUpDown::Stepped, this, [this](int direction) {
        FPointSize->setText(
            QString::number(StepPointSize(PointSizeFromBox(FPointSize->text().toStdString()), direction)));
    });
    connect(FPointSize, &QLineEdit::textChanged, this, &TOptionsForm::DisplayChanged);
    connect(FPointSize, &QLineEdit::editingFinished, this, [this] {
        const TNested nested(FNesting);
        FPointSize->setText(QString::number(FDocument.State().Settings.PlotPointSize));
    });
    for (QCheckBox* box : {FPlotO2Adj, FPlotAfr, FShowAfrScale, FShowKnocks, FIncludeAdjustments})
        connect(box, &QCheckBox::toggled, this, &TOptionsForm::DisplayChanged);
    // A radio button toggles twice (one off, one on): only the one turned on counts.
    for (QRadioButton* button : {FLHPlot, FEZKPlot})
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) DisplayChanged();
        });
    connect(FFogSlider, &QSlider::valueChanged, this, &TOptionsForm::FogMoved);
    connect(FColorButton, &QToolButton::clicked, this, &TOptionsForm::ColorsRequested);
    return page;
}

QWidget* TOptionsForm::CreateScalePage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);

    auto* limits = new QGroupBox(QStringLiteral("Plot Scale Limits"), page);
    auto* limitsLayout = new QGridLayout(limits);
    FMinRpm = ValueBox(limits, "MinRpmBox");
    FMaxRpm = ValueBox(limits, "MaxRpmBox");
    FMinMaf = ValueBox(limits, "MinMafBox");
    FMaxMaf = ValueBox(limits, "MaxMafBox");
    limitsLayout->addWidget(new QLabel(QStringLiteral("RPM:"), limits), 0, 0);
    limitsLayout->addWidget(FMinRpm, 0, 1);
    limitsLayout->addWidget(new QLabel(QStringLiteral("--"), limits), 0, 2);
    limitsLayout->addWidget(FMaxRpm, 0, 3);
    limitsLayout->addWidget(new QLabel(QStringLiteral("MAF:"), limits), 1, 0);
    limitsLayout->addWidget(FMinMaf, 1, 1);
    limitsLayout->addWidget(new QLabel(QStringLiteral("--"), limits), 1, 2);
    limitsLayout->addWidget(FMaxMaf, 1, 3);
    FAutoScale = AddRadio(limits, "Auto Scale", "AutoScaleButton");
    FFullScale = AddRadio(limits, "Full Scale", "FullScaleButton");
    FSelectScale = AddRadio(limits, "Select:", "SelectScaleButton");
    limitsLayout->addWidget(FAutoScale, 0, 4);
    limitsLayout->addWidget(FFullScale, 1, 4);
    limitsLayout->addWidget(FSelectScale, 2, 4);
    limitsLayout->setColumnStretch(5, 1);
    layout->addWidget(limits);

    auto* ezk = new QGroupBox(QStringLiteral("EZK Version (for RPM scale)"), page);
    auto* ezkLayout = new QHBoxLayout(ezk);
    FS4 = AddRadio(ezk, "S4 / GTS", "S4Button");
    FGT = AddRadio(ezk, "GT", "GTButton");
    ezkLayout->addWidget(FS4);
    ezkLayout->addWidget(FGT);
    ezkLayout->addStretch(1);
    layout->addWidget(ezk);

    auto* lh = new QGroupBox(QStringLiteral("LH Version"), page);
    auto* lhLayout = new QGridLayout(lh);
    // Two groups of radio buttons in one box: each needs its own exclusive group.
    auto* versions = new QWidget(lh);
    auto* versionsLayout = new QVBoxLayout(versions);
    versionsLayout->setContentsMargins(0, 0, 0, 0);
    FLH22 = AddRadio(versions, "LH 2.2 ('85-86)", "LH22Button");
    FLH23 = AddRadio(versions, "LH 2.3 ('87-95)", "LH23Button");
    versionsLayout->addWidget(FLH22);
    versionsLayout->addWidget(FLH23);
    versionsLayout->addStretch(1);
    auto* configs = new QWidget(lh);
    auto* configsLayout = new QVBoxLayout(configs);
    configsLayout->setContentsMargins(0, 0, 0, 0);
    const std::array<std::pair<const char*, const char*>, 4> configNames{{{"MAF", "MafButton"},
                                                                          {"HexaMAF", "HexaMafButton"},
                                                                          {"VX-Alpha (TPS)", "AlphaButton"},
                                                                          {"VX MAP", "MapButton"}}};
    for (std::size_t i = 0; i < configNames.size(); ++i) {
        FConfigs[i] = AddRadio(configs, configNames[i].first, configNames[i].second);
        configsLayout->addWidget(FConfigs[i]);
    }
    lhLayout->addWidget(versions, 0, 0, Qt::AlignTop);
    lhLayout->addWidget(configs, 0, 1, Qt::AlignTop);
    lhLayout->setColumnStretch(2, 1);
    layout->addWidget(lh);
    layout->addStretch(1);

    for (QLineEdit* box : {FMinRpm, FMaxRpm, FMinMaf, FMaxMaf})
        connect(box, &QLineEdit::textEdited, this, &TOptionsForm::ScaleBoxEdited);
    for (QRadioButton* button : {FAutoScale, FFullScale, FSelectScale})
        connect(button, &QRadioButton::clicked, this, &TOptionsForm::ScaleModeClicked);
    for (QRadioButton* button :
         {FS4, FGT, FLH22, FLH23, FConfigs[0], FConfigs[1], FConfigs[2], FConfigs[3]}) {
        connect(button, &QRadioButton::clicked, this, [this] {
            if (Quiet()) return;
            FSetupChosen = true;
            DisplayChanged();
        });
    }
    return page;
}

QWidget* TOptionsForm::CreateFiltersPage() {
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    FEnableFilters = AddCheck(page, "Enable Filters", "EnableFiltersBox");
    layout->addWidget(FEnableFilters, 0, 0, 1, 2);

    auto* transitional = new QGroupBox(QStringLiteral("Ignore Transitional Data"), page);
    auto* tLayout = new QGridLayout(transitional);
    FMaxAfrOn = AddCheck(transitional, "Idle (fuel-off) AFR limit: ", "MaxAfrBox");
    FRpmChangeOn = AddCheck(transitional, "Max RPM change/sec:", "RpmChangeBox");
    FMafChangeOn = AddCheck(transitional, "Max MAF change/sec:", "MafChangeBox");
    tLayout->addWidget(FMaxAfrOn, 0, 0);
    tLayout->addWidget(SteppedBox(FMaxAfr, IdleAfrUpDown, "MaxAfrValue"), 0, 1);
    tLayout->addWidget(FRpmChangeOn, 1, 0);
    tLayout->addWidget(SteppedBox(FRpmChange, RpmChangeUpDown, "RpmChangeValue"), 1, 1);
    tLayout->addWidget(FMafChangeOn, 2, 0);
    tLayout->addWidget(SteppedBox(FMafChange, MafChangeUpDown, "MafChangeValue"), 2, 1);
    tLayout->addWidget(new QLabel(QStringLiteral("Ignore previous (sec):"), transitional), 3, 0);
    tLayout->addWidget(SteppedBox(FIgnorePrevious, IgnoreTimeUpDown, "IgnorePreviousValue"), 3, 1);
    tLayout->addWidget(new QLabel(QStringLiteral("Ignore Following (sec):"), transitional), 4, 0);
    tLayout->addWidget(SteppedBox(FIgnoreFollowing, IgnoreTimeUpDown, "IgnoreFollowingValue"), 4, 1);
    tLayout->setRowStretch(5, 1);
    layout->addWidget(transitional, 1, 0, 2, 1);

    auto* throttle = new QGroupBox(QStringLiteral("Throttle Switch"), page);
    auto* throttleLayout = new QVBoxLayout(throttle);
    throttleLayout->addWidget(new QLabel(QStringLiteral("Include:"), throttle));
    FIdle = AddCheck(throttle, "Idle", "IdleBox");
    FCruise = AddCheck(throttle, "Cruise", "CruiseBox");
    FWot = AddCheck(throttle, "WOT", "WotBox");
    for (QCheckBox* box : {FIdle, FCruise, FWot}) throttleLayout->addWidget(box);
    layout->addWidget(throttle, 1, 1);

    auto* smoothing = new QGroupBox(QStringLiteral("Data Smoothing"), page);
    auto* sLayout = new QGridLayout(smoothing);
    sLayout->addWidget(new QLabel(QStringLiteral("AFR"), smoothing), 0, 0);
    sLayout->addWidget(SteppedBox(FAfrSmoothing, SmoothingUpDown, "AfrSmoothingBox"), 0, 1);
    sLayout->addWidget(new QLabel(QStringLiteral("Adjust"), smoothing), 1, 0);
    sLayout->addWidget(SteppedBox(FAdjustSmoothing, SmoothingUpDown, "AdjustSmoothingBox"), 1, 1);
    layout->addWidget(smoothing, 2, 1);

    FThisPlotOnly = AddRadio(page, "For this plot only", "ThisPlotOnlyButton");
    FSaveAsDefaults = AddRadio(page, "Save as defaults", "SaveAsDefaultsButton");
    FThisPlotOnly->setChecked(true);
    auto* scope = new QHBoxLayout;
    scope->addWidget(FThisPlotOnly);
    scope->addWidget(FSaveAsDefaults);
    scope->addStretch(1);
    layout->addLayout(scope, 3, 0, 1, 2);
    layout->setRowStretch(4, 1);

    for (QCheckBox* box : {FEnableFilters, FMaxAfrOn, FRpmChangeOn, FMafChangeOn, FIdle, FCruise, FWot})
        connect(box, &QCheckBox::toggled, this, &TOptionsForm::FiltersChanged);
    for (QLineEdit* box : {FMaxAfr, FRpmChange, FMafChange, FIgnorePrevious, FIgnoreFollowing}) {
        connect(box, &QLineEdit::textChanged, this, &TOptionsForm::FiltersChanged);
        // A value beyond the limits shows what is used once the typing ends.
        connect(box, &QLineEdit::editingFinished, this, [this] {
            if (FLoading) return;
            const TNested nested(FNesting);
            FillFilters();
        });
    }
    connect(FAfrSmoothing, &QLineEdit::textChanged, this, &TOptionsForm::AfrSmoothingChanged);
    connect(FAdjustSmoothing, &QLineEdit::textChanged, this, &TOptionsForm::AdjustSmoothingChanged);
    return page;
}

QWidget* TOptionsForm::CreateIgnitionPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    const std::array<const char*, 2> titles{"Knock Threshold 1", "Knock Threshold 2"};
    const std::array<const char*, 2> texts{"Small flag if retard is more than:",
                                           "Large flag if retard is more than:"};
    for (int t = 0; t < 2; ++t) {
        const auto index = static_cast<std::size_t>(t);
        auto* group = new QGroupBox(QString::fromUtf8(titles[index]), page);
        auto* groupLayout = new QHBoxLayout(group);
        groupLayout->addWidget(new QLabel(QString::fromUtf8(texts[index]), group));
        const std::string cylName = "KnockCylinders" + std::to_string(t + 1);
        const std::string retardName = "KnockRetard" + std::to_string(t + 1);
        groupLayout->addWidget(SteppedBox(FKnockCylinders[index], KnockCylindersUpDown, cylName.c_str()));
        groupLayout->addWidget(new QLabel(QStringLiteral("Cyl's,  or "), group));
        groupLayout->addWidget(SteppedBox(FKnockRetard[index], KnockRetardUpDown, retardName.c_str()));
        groupLayout->addWidget(new QLabel(QStringLiteral("deg"), group));
        groupLayout->addStretch(1);
        layout->addWidget(group);
        for (QLineEdit* box : {FKnockCylinders[index], FKnockRetard[index]}) {
            connect(box, &QLineEdit::textChanged, this, [this, t] { KnockChanged(t); });
            connect(box, &QLineEdit::editingFinished, this, [this] {
                if (FLoading) return;
                const TNested nested(FNesting);
                FillFilters();
            });
        }
    }
    auto* transparency = new QGroupBox(QStringLiteral("Transparency in LH mode"), page);
    auto* tLayout = new QHBoxLayout(transparency);
    FKnockSlider = new QSlider(Qt::Horizontal, transparency);
    FKnockSlider->setObjectName(QStringLiteral("KnockAlphaSlider"));
    FKnockSlider->setRange(0, 255);
    FKnockLabel = new QLabel(transparency);
    FKnockLabel->setMinimumWidth(28);
    tLayout->addWidget(FKnockSlider);
    tLayout->addWidget(FKnockLabel);
    layout->addWidget(transparency);
    layout->addStretch(1);
    connect(FKnockSlider, &QSlider::valueChanged, this, &TOptionsForm::KnockAlphaMoved);
    return page;
}

// ---- Filling -------------------------------------------------------------

void TOptionsForm::ShowOptions() {
    FLoading = true;
    FShown = false;
    FillDisplayAndScale();
    FCancelCopy = TakeOptionsCancelCopy(FDocument.State());
    FillFilters();
    const TWindowSettings& windows = FDocument.Windows();
    FSaveAsDefaults->setChecked(windows.OptionsSetDefaultFilters);
    FThisPlotOnly->setChecked(!windows.OptionsSetDefaultFilters);
    FPages->setCurrentIndex(std::clamp(windows.OptionsActiveTabIndex, 0, FPages->count() - 1));
    FFogSlider->setValue(FDocument.State().PlotDisplay.FogAlpha);
    FFogLabel->setNum(FFogSlider->value());
    FKnockSlider->setValue(FDocument.State().PlotDisplay.KnockAlpha);
    FKnockLabel->setNum(FKnockSlider->value());
    FLoading = false;
    FShown = true;
}

void TOptionsForm::FillDisplayAndScale() {
    const TKelvaneState& state = FDocument.State();
    const TSettings& settings = state.Settings;
    FMinRpm->setText(Text(FormatNumber(settings.PlotLimits.MinRpm, 0)));
    FMaxRpm->setText(Text(FormatNumber(settings.PlotLimits.MaxRpm, 0)));
    FMinMaf->setText(Text(FormatNumber(settings.PlotLimits.MinLoad, 0)));
    FMaxMaf->setText(Text(FormatNumber(settings.PlotLimits.MaxLoad, 0)));
    FAutoScale->setChecked(settings.ScaleMode == TScaleMode::Automatic);
    FFullScale->setChecked(settings.ScaleMode == TScaleMode::Default);
    FSelectScale->setChecked(settings.ScaleMode == TScaleMode::Manual);
    SetScaleBoxesEnabled(settings.ScaleMode == TScaleMode::Manual);

    const TEngineSetup& setup = state.Setup();
    // Radio buttons without a group of their own: clear them one by one.
    for (QRadioButton* button : {FS4, FGT, FConfigs[0], FConfigs[1], FConfigs[2], FConfigs[3]}) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
    if (setup.LHVersion == TLHVersion::LH22) {
        FLH22->setChecked(true);
        if (setup.LHConfig == TLHConfig::Maf || setup.LHConfig == TLHConfig::HexaMaf)
            ConfigButton(setup.LHConfig)->setChecked(true);
        ConfigButton(TLHConfig::Alpha)->setEnabled(false);
        ConfigButton(TLHConfig::Map)->setEnabled(false);
        FS4->setEnabled(false);
        FGT->setEnabled(false);
    } else {
        FLH23->setChecked(true);
        for (QRadioButton* button : FConfigs) button->setEnabled(true);
        if (QRadioButton* button = ConfigButton(setup.LHConfig)) button->setChecked(true);
        FS4->setEnabled(true);
        FGT->setEnabled(true);
        if (setup.EZKVersion == TEZKVersion::S4) FS4->setChecked(true);
        if (setup.EZKVersion == TEZKVersion::GT) FGT->setChecked(true);
    }
    FSetupChosen = false;
    FillDisplayChecks();
    FPointSize->setText(QString::number(settings.PlotPointSize));
}

void TOptionsForm::FillDisplayChecks() {
    const TKelvaneState& state = FDocument.State();
    FShowAfrScale->setChecked(state.PlotDisplay.ShowAfrScale);
    FEZKPlot->setChecked(state.Display.View == TPlotView::EZK);
    FLHPlot->setChecked(state.Display.View == TPlotView::LH);
    FShowKnocks->setChecked(state.Display.ShowKnocks);
    FIncludeAdjustments->setChecked(state.Display.IncludeAdjustments);
    FShowReference->setChecked(state.PlotDisplay.Overlay == TMapOverlay::Reference);
    FShowAdjustments->setChecked(state.PlotDisplay.Overlay == TMapOverlay::Adjustments);
    FShowUpdated->setChecked(state.PlotDisplay.Overlay == TMapOverlay::Updated);
    FPlotO2Adj->setChecked(state.Display.PlotO2Adj);
    FPlotAfr->setChecked(state.Display.PlotAfr);
    // The ignition view and its knock settings need LH 2.3.
    const bool lh23 = state.Setup().LHVersion == TLHVersion::LH23;
    FEZKPlot->setEnabled(lh23);
    FShowKnocks->setEnabled(lh23);
    FIgnitionPage->setEnabled(lh23);
}

void TOptionsForm::FillFilters() {
    const TSettings& settings = FDocument.State().Settings;
    const TFilterPage page = FilterPageOf(settings.ActiveFilters);
    FEnableFilters->setChecked(page.FiltersEnabled);
    FMaxAfrOn->setChecked(page.MaxAfrEnabled);
    FMaxAfr->setText(Text(page.MaxAfr));
    FRpmChangeOn->setChecked(page.MaxRpmSlopeEnabled);
    FRpmChange->setText(Text(page.MaxRpmSlope));
    FMafChangeOn->setChecked(page.MaxMafSlopeEnabled);
    FMafChange->setText(Text(page.MaxMafSlope));
    FIgnorePrevious->setText(Text(page.InhibitBefore));
    FIgnoreFollowing->setText(Text(page.InhibitAfter));
    FIdle->setChecked(page.IncludeIdle);
    FCruise->setChecked(page.IncludeCruise);
    FWot->setChecked(page.IncludeWot);
    FAfrSmoothing->setText(QString::number(settings.AfrSmoothing));
    FAdjustSmoothing->setText(QString::number(settings.AdjustSmoothing));
    for (std::size_t t = 0; t < 2; ++t) {
        FKnockCylinders[t]->setText(QString::number(settings.KnockLimits[t].MaxCylinders));
        FKnockRetard[t]->setText(Text(FormatNumber(settings.KnockLimits[t].MaxRetard, 1)));
    }
}

void TOptionsForm::SetScaleBoxesEnabled(bool enabled) {
    for (QLineEdit* box : {FMinRpm, FMaxRpm, FMinMaf, FMaxMaf}) {
        box->setEnabled(enabled);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, palette.color(enabled ? QPalette::Active : QPalette::Inactive,
                                                       enabled ? QPalette::Base : QPalette::Button));
        box->setPalette(palette);
    }
}

void TOptionsForm::StateChanged(TChangeSet changes) {
    if (FNesting > 0 || !FShown) return;
    if (!changes.HasAny({TChange::Display, TChange::Overlay, TChange::PlottedValues, TChange::Axes})) return;
    // The menus and buttons of the main window change the same choices, and
    // the project window the engine setup.
    FLoading = true;
    if (changes.Has(TChange::Axes))
        FillDisplayAndScale();
    else
        FillDisplayChecks();
    FLoading = false;
}

// ---- Handlers ------------------------------------------------------------

TLHConfig TOptionsForm::ChosenConfig() const {
    for (std::size_t i = 0; i < FConfigs.size(); ++i)
        if (FConfigs[i]->isChecked()) return LHConfigFromCode(static_cast<int>(i) + 1);
    return TLHConfig::Unset;
}

void TOptionsForm::DisplayChanged() {
    if (Quiet()) return;
    const TNested nested(FNesting);
    TKelvaneState& state = FDocument.State();
    TSettings& settings = state.Settings;
    const bool lh22 = FLH22->isChecked();
    const TEngineSetup chosen =
        OptionsEngineSetup(lh22, ChosenConfig(), FGT->isChecked(), state.Setup().EZKVersion);

    // A new fuel map configuration starts on its own MAF range.
    if (FSetupChosen && (chosen.LHVersion != Normalised(state.Setup().LHVersion) ||
                         chosen.LHConfig != Normalised(state.Setup().LHConfig))) {
        const TMafScaleRange range = DefaultMafScale(chosen.LHVersion, chosen.LHConfig);
        FMinMaf->setText(QString::number(range.Min));
        FMaxMaf->setText(QString::number(range.Max));
        FSelectScale->setChecked(true);
        SetScaleBoxesEnabled(true);
    }
    FS4->setEnabled(!lh22);
    FGT->setEnabled(!lh22);

    if (FAutoScale->isChecked()) settings.ScaleMode = TScaleMode::Automatic;
    if (FFullScale->isChecked()) settings.ScaleMode = TScaleMode::Default;
    if (FSelectScale->isChecked()) {
        settings.ScaleMode = TScaleMode::Manual;
        settings.PlotLimits.MinRpm = ScaleBoxValue(FMinRpm->text().toStdString(), MinScaleFallback);
        settings.PlotLimits.MaxRpm = ScaleBoxValue(FMaxRpm->text().toStdString(), MaxRpmScaleFallback);
        settings.PlotLimits.MinLoad = ScaleBoxValue(FMinMaf->text().toStdString(), MinScaleFallback);
        settings.PlotLimits.MaxLoad = ScaleBoxValue(FMaxMaf->text().toStdString(), MaxMafScaleFallback);
    }

    const bool setupChanged = FSetupChosen && chosen != state.Setup();
    if (setupChanged) settings.EngineSetup = chosen;

    const TDisplayOptions display = state.Display;
    state.Display.View = FEZKPlot->isChecked() && FEZKPlot->isEnabled() ? TPlotView::EZK : TPlotView::LH;
    if (state.Display.View == TPlotView::EZK) state.PlotDisplay.GridFormat = false;
    state.Display.ShowKnocks = FShowKnocks->isChecked();
    state.Display.IncludeAdjustments = FIncludeAdjustments->isChecked();
    state.Display.PlotO2Adj = FPlotO2Adj->isChecked();
    state.Display.PlotAfr = FPlotAfr->isChecked();
    state.PlotDisplay.ShowAfrScale = FShowAfrScale->isChecked();
    TMapOverlay& overlay = state.PlotDisplay.Overlay;
    if (FShowReference->isChecked())
        overlay = TMapOverlay::Reference;
    else if (FShowAdjustments->isChecked())
        overlay = TMapOverlay::Adjustments;
    else if (FShowUpdated->isChecked())
        overlay = TMapOverlay::Updated;
    else if (overlay != TMapOverlay::MeanAfr)  // the mean AFR is the toolbar's own choice
        overlay = TMapOverlay::None;
    settings.PlotPointSize = PointSizeFromBox(FPointSize->text().toStdString());

    TChangeSet changes = setupChanged ? SetUpForEngineSetup(state) : SetUpAxes(state);
    changes |= TChangeSet{TChange::Display, TChange::Overlay, TChange::Settings};
    if (display.PlotAfr != state.Display.PlotAfr || display.PlotO2Adj != state.Display.PlotO2Adj ||
        display.IncludeAdjustments != state.Display.IncludeAdjustments)
        changes |= TChange::PlottedValues;
    FDocument.Apply(changes);
    FillDisplayChecks();
}

void TOptionsForm::OverlayClicked(QCheckBox* box) {
    if (Quiet()) return;
    if (box->isChecked()) {
        const TNested nested(FNesting);
        for (QCheckBox* other : {FShowReference, FShowAdjustments, FShowUpdated})
            if (other != box) other->setChecked(false);
    }
    DisplayChanged();
}

void TOptionsForm::ScaleBoxEdited() {
    if (Quiet()) return;
    {
        const TNested nested(FNesting);
        FSelectScale->setChecked(true);
        SetScaleBoxesEnabled(true);
    }
    DisplayChanged();
}

void TOptionsForm::ScaleModeClicked() {
    if (Quiet()) return;
    SetScaleBoxesEnabled(FSelectScale->isChecked());
    DisplayChanged();
}

TFilterPage TOptionsForm::FilterPageOfControls() const {
    TFilterPage page;
    page.FiltersEnabled = FEnableFilters->isChecked();
    page.MaxAfrEnabled = FMaxAfrOn->isChecked();
    page.MaxAfr = FMaxAfr->text().toStdString();
    page.MaxRpmSlopeEnabled = FRpmChangeOn->isChecked();
    page.MaxRpmSlope = FRpmChange->text().toStdString();
    page.MaxMafSlopeEnabled = FMafChangeOn->isChecked();
    page.MaxMafSlope = FMafChange->text().toStdString();
    page.InhibitBefore = FIgnorePrevious->text().toStdString();
    page.InhibitAfter = FIgnoreFollowing->text().toStdString();
    page.IncludeIdle = FIdle->isChecked();
    page.IncludeCruise = FCruise->isChecked();
    page.IncludeWot = FWot->isChecked();
    return page;
}

void TOptionsForm::FiltersChanged() {
    if (Quiet()) return;
    const TNested nested(FNesting);
    TFilterSettings& filters = FDocument.State().Settings.ActiveFilters;
    filters = FiltersFromPage(FilterPageOfControls(), filters);
    FDocument.Apply(TChange::Filters);
}

void TOptionsForm::AfrSmoothingChanged() {
    if (Quiet()) return;
    const TNested nested(FNesting);
    TKelvaneState& state = FDocument.State();
    state.Settings.AfrSmoothing = SmoothingFromBox(FAfrSmoothing->text().toStdString());
    TChangeSet changes = TChange::Settings;
    if (!state.Logs.Data.Empty()) {
        SmoothAfr(state.Logs.Data, state.Settings.AfrSmoothing);
        changes |= TChangeSet{TChange::Filters, TChange::PlottedValues};
    }
    FDocument.Apply(changes);
}

void TOptionsForm::AdjustSmoothingChanged() {
    if (Quiet()) return;
    const TNested nested(FNesting);
    FDocument.State().Settings.AdjustSmoothing = SmoothingFromBox(FAdjustSmoothing->text().toStdString());
    FDocument.Apply(TChange::Settings);
}

void TOptionsForm::KnockChanged(int threshold) {
    if (Quiet()) return;
    const TNested nested(FNesting);
    const auto index = static_cast<std::size_t>(threshold);
    FDocument.State().Settings.KnockLimits[index] = KnockLimitFromBoxes(
        FKnockCylinders[index]->text().toStdString(), FKnockRetard[index]->text().toStdString());
    FDocument.Apply(TChangeSet{TChange::Settings, TChange::Display});
}

void TOptionsForm::FogMoved(int position) {
    FFogLabel->setNum(position);
    if (Quiet()) return;
    const TNested nested(FNesting);
    FDocument.State().PlotDisplay.FogAlpha = position;
    FDocument.Apply(TChange::Display);
}

void TOptionsForm::KnockAlphaMoved(int position) {
    FKnockLabel->setNum(position);
    if (Quiet()) return;
    const TNested nested(FNesting);
    FDocument.State().PlotDisplay.KnockAlpha = position;
    FDocument.Apply(TChange::Display);
}

void TOptionsForm::OkClick() {
    if (FSaveAsDefaults->isChecked())
        FDocument.State().Settings.StoredFilters = FDocument.State().Settings.ActiveFilters;
    close();
}

void TOptionsForm::CancelClick() {
    const TNested nested(FNesting);
    TKelvaneState& state = FDocument.State();
    FDocument.Apply(RestoreOptionsCancelCopy(state, FCancelCopy) | TChange::Display);
    close();
}

void TOptionsForm::closeEvent(QCloseEvent* event) {
    if (!FClosed) {
        FClosed = true;
        const QRect frame = geometry();
        emit Closing(TWindowSize{frame.left(), frame.top(), frame.width(), frame.height()},
                     FPages->currentIndex(), FSaveAsDefaults->isChecked());
    }
    QWidget::closeEvent(event);
}

}  // namespace kelvane
