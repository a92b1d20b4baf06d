#include "app/projects/ProjectUnit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <system_error>

#include "app/document/KelvaneDocument.h"
#include "app/document/Prompts.h"
#include "app/document/QtText.h"
#include "core/adjust/UpdatedMaps.h"
#include "core/ground/FileDefs.h"
#include "core/ground/IniKeys.h"
#include "core/ground/WriteFailures.h"
#include "core/maps/BinImageBytes.h"
#include "core/maps/MapText.h"
#include "core/projects/BinWarnings.h"
#include "core/projects/PendingSelection.h"
#include "core/projects/ProjectFolders.h"
#include "core/shell/StartupWindowRules.h"

namespace kelvane {

namespace fs = std::filesystem;

namespace {

// A name as the list shows it and the settings store it: the file system's bytes.
std::string ToName(const QString& text) {
    return text.toStdString();
}

QRadioButton* AddChoice(QLayout* layout, QButtonGroup* group, const char* caption, const char* name) {
    auto* button = new QRadioButton(QString::fromUtf8(caption));
    button->setObjectName(QString::fromUtf8(name));
    layout->addWidget(button);
    group->addButton(button);
    return button;
}

// Unchecks every button of an exclusive group.
void ClearGroup(QButtonGroup* group) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

const char* const NoProjectText = "Choose a project folder first.";

}  // namespace

TProjectForm::TProjectForm(TKelvaneDocument& document, QWidget* parent)
    : QWidget(parent, Qt::Window), FDocument(document) {
    connect(&document, &TKelvaneDocument::Changed, this, &TProjectForm::StateChanged);
    setObjectName(QStringLiteral("ProjectForm"));
    setWindowTitle(QStringLiteral("Project Manager: "));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    CreateControls();
    resize(760, 560);
}

void TProjectForm::CreateControls() {
    FProjectFolderEdit = new QLineEdit(this);
    FProjectFolderEdit->setObjectName(QStringLiteral("ProjectFolderEdit"));
    FBrowseButton = new QPushButton(QStringLiteral("Browse"), this);
    FBrowseButton->setObjectName(QStringLiteral("BrowseButton"));
    FSessionList = new QComboBox(this);
    FSessionList->setObjectName(QStringLiteral("SessionList"));
    FNewButton = new QPushButton(QStringLiteral("New"), this);
    FNewButton->setObjectName(QStringLiteral("NewButton"));

    auto* folders = new QGridLayout;
    folders->addWidget(new QLabel(QStringLiteral("Project Folder:"), this), 0, 0);
    folders->addWidget(FProjectFolderEdit, 0, 1);
    folders->addWidget(FBrowseButton, 0, 2);
    folders->addWidget(new QLabel(QStringLiteral("Session Folder"), this), 1, 0);
    folders->addWidget(FSessionList, 1, 1);
    folders->addWidget(FNewButton, 1, 2);
    folders->setColumnStretch(1, 1);

    auto* logGroup = new QGroupBox(QStringLiteral("Log Files"), this);
    FFileList = new QListWidget(logGroup);
    FFileList->setObjectName(QStringLiteral("FileList"));
    FSelectAll = new QCheckBox(QStringLiteral("Select All"), logGroup);
    FSelectAll->setObjectName(QStringLiteral("SelectAllBox"));
    auto* logLayout = new QVBoxLayout(logGroup);
    logLayout->addWidget(FFileList, 1);
    logLayout->addWidget(FSelectAll);

    const std::array<const char*, 4> boxNames{"LHStartingBox", "EZKStartingBox", "LHUpdatedBox",
                                              "EZKUpdatedBox"};
    for (const TMapBox box : AllMapBoxes) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(QString::fromUtf8(boxNames[MapBoxIndex(box)]));
        combo->setMinimumContentsLength(24);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        FMapBoxes[MapBoxIndex(box)] = combo;
    }
    auto mapGroup = [this](const QString& caption, TMapBox fuel, TMapBox ignition, QPushButton* button,
                           QCheckBox* extra) {
        auto* group = new QGroupBox(caption, this);
        auto* layout = new QGridLayout(group);
        layout->addWidget(new QLabel(QStringLiteral("LH:"), group), 0, 0);
        layout->addWidget(MapBox(fuel), 0, 1);
        layout->addWidget(new QLabel(QStringLiteral("EZK:"), group), 1, 0);
        layout->addWidget(MapBox(ignition), 1, 1);
        auto* buttons = new QHBoxLayout;
        if (extra) buttons->addWidget(extra);
        buttons->addStretch(1);
        buttons->addWidget(button);
        layout->addLayout(buttons, 2, 0, 1, 2);
        layout->setColumnStretch(1, 1);
        return group;
    };
    FPasteButton = new QPushButton(QStringLiteral("Paste"), this);
    FPasteButton->setObjectName(QStringLiteral("PasteButton"));
    FPasteButton->setToolTip(
        QStringLiteral("Paste a fuel or ignition map from the clipboard as the session's base map"));
    FCopyButton = new QPushButton(QStringLiteral("Copy"), this);
    FCopyButton->setObjectName(QStringLiteral("CopyButton"));
    FCopyButton->setToolTip(FPasteButton->toolTip());
    FIncludeAdjustments = new QCheckBox(QStringLiteral("Include Adjustments"), this);
    FIncludeAdjustments->setObjectName(QStringLiteral("IncludeAdjustmentsBox"));
    QGroupBox* starting = mapGroup(QStringLiteral("Starting Maps"), TMapBox::LHStarting, TMapBox::EZKStarting,
                                   FPasteButton, nullptr);
    QGroupBox* updated = mapGroup(QStringLiteral("Updated Maps"), TMapBox::LHUpdated, TMapBox::EZKUpdated,
                                  FCopyButton, FIncludeAdjustments);

    auto* settingsGroup = new QGroupBox(QStringLiteral("Project Settings"), this);
    auto* settingsLayout = new QVBoxLayout(settingsGroup);
    auto* versionRow = new QHBoxLayout;
    auto* versionGroup = new QButtonGroup(this);
    FLH23 = AddChoice(versionRow, versionGroup, "LH2.3", "LH23Button");
    FLH22 = AddChoice(versionRow, versionGroup, "LH2.2", "LH22Button");
    versionRow->addSpacing(24);
    auto* ezkGroup = new QButtonGroup(this);
    FS4 = AddChoice(versionRow, ezkGroup, "S4/GTS", "S4Button");
    FGT = AddChoice(versionRow, ezkGroup, "GT", "GTButton");
    versionRow->addStretch(1);
    auto* configRow = new QHBoxLayout;
    auto* configGroup = new QButtonGroup(this);
    FMaf = AddChoice(configRow, configGroup, "MAF", "MafButton");
    FHexaMaf = AddChoice(configRow, configGroup, "HexaMAF", "HexaMafButton");
    FAlpha = AddChoice(configRow, configGroup, "Alpha", "AlphaButton");
    FMap = AddChoice(configRow, configGroup, "MAP", "MapButton");
    configRow->addStretch(1);
    settingsLayout->addLayout(versionRow);
    settingsLayout->addLayout(configRow);

    auto* lhInUse = new QGroupBox(QStringLiteral("LH Map In Use"), this);
    auto* lhInUseLayout = new QHBoxLayout(lhInUse);
    FLHInUseGroup = new QButtonGroup(this);
    FLHCat = AddChoice(lhInUseLayout, FLHInUseGroup, "Cat", "LHCatButton");
    FLHNoCat = AddChoice(lhInUseLayout, FLHInUseGroup, "No Cat", "LHNoCatButton");
    FPrimaryLoadMap = AddChoice(lhInUseLayout, FLHInUseGroup, "Primary Load Map", "PrimaryLoadMapButton");
    lhInUseLayout->addStretch(1);
    FPrimaryLoadMap->hide();
    auto* ezkInUse = new QGroupBox(QStringLiteral("EZK Map In Use"), this);
    auto* ezkInUseLayout = new QHBoxLayout(ezkInUse);
    FEZKInUseGroup = new QButtonGroup(this);
    FEZKCat = AddChoice(ezkInUseLayout, FEZKInUseGroup, "Cat", "EZKCatButton");
    FEZKNoCat = AddChoice(ezkInUseLayout, FEZKInUseGroup, "No Cat", "EZKNoCatButton");
    FLowOctane = AddChoice(ezkInUseLayout, FEZKInUseGroup, "Low Octane", "LowOctaneButton");
    ezkInUseLayout->addStretch(1);

    FWarningPicture = new QLabel(this);
    FWarningPicture->setObjectName(QStringLiteral("WarningPicture"));
    FWarningPicture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    FWarningText = new QLabel(this);
    FWarningText->setObjectName(QStringLiteral("WarningText"));
    FWarningText->setWordWrap(true);
    FWarningPicture->hide();
    FWarningText->hide();
    FCloseButton = new QPushButton(QStringLiteral("Close"), this);
    FCloseButton->setObjectName(QStringLiteral("CloseButton"));

    auto* right = new QVBoxLayout;
    right->addWidget(starting);
    right->addWidget(updated);
    right->addWidget(settingsGroup);
    right->addWidget(lhInUse);
    right->addWidget(ezkInUse);
    right->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(logGroup, 1);
    middle->addLayout(right, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(FWarningPicture, 0, Qt::AlignTop);
    bottom->addWidget(FWarningText, 1);
    bottom->addStretch(0);
    bottom->addWidget(FCloseButton, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folders);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    connect(FBrowseButton, &QPushButton::clicked, this, &TProjectForm::BrowseClick);
    connect(FNewButton, &QPushButton::clicked, this, &TProjectForm::NewSessionClick);
    connect(FPasteButton, &QPushButton::clicked, this, &TProjectForm::PasteClick);
    connect(FCopyButton, &QPushButton::clicked, this, &TProjectForm::PasteClick);
    connect(FCloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(FProjectFolderEdit, &QLineEdit::returnPressed, this, [this] {
        ++FBusy;
        SelectProject(ToPath(FProjectFolderEdit->text().trimmed()), {});
        --FBusy;
        HandOver();
    });
    connect(FSessionList, &QComboBox::activated, this, [this] { LoadSession(); });
    connect(FFileList, &QListWidget::itemChanged, this, &TProjectForm::FileTicked);
    connect(FSelectAll, &QCheckBox::clicked, this, &TProjectForm::SelectAllClicked);
    connect(MapBox(TMapBox::LHStarting), &QComboBox::currentIndexChanged, this,
            &TProjectForm::LHMapBoxChanged);
    connect(MapBox(TMapBox::EZKStarting), &QComboBox::currentIndexChanged, this,
            &TProjectForm::EZKMapBoxChanged);
    connect(MapBox(TMapBox::LHUpdated), &QComboBox::currentIndexChanged, this, &TProjectForm::HandOver);
    connect(MapBox(TMapBox::EZKUpdated), &QComboBox::currentIndexChanged, this, &TProjectForm::HandOver);
    connect(FIncludeAdjustments, &QCheckBox::clicked, this, [this](bool checked) {
        FDocument.State().Display.IncludeAdjustments = checked;
        FDocument.Apply(TChange::PlottedValues);
    });
    for (QRadioButton* button : {FLH23, FLH22, FS4, FGT, FMaf, FHexaMaf, FAlpha, FMap})
        connect(button, &QRadioButton::clicked, this, &TProjectForm::SetupChoiceClicked);
    for (QRadioButton* button : {FLHCat, FLHNoCat, FPrimaryLoadMap, FEZKCat, FEZKNoCat, FLowOctane})
        connect(button, &QRadioButton::clicked, this, &TProjectForm::MapInUseClicked);
}

fs::path TProjectForm::SessionFolder() const {
    return SessionPath(FProjectFolder, ToName(FSessionList->currentText()));
}

TWindowSize TProjectForm::Placement() const {
    const QRect frame = geometry();
    return {frame.left(), frame.top(), frame.width(), frame.height()};
}

void TProjectForm::ShowProject(const std::optional<TWindowSize>& placement) {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const TWindowSize screenSize{area.left(), area.top(), area.width(), area.height()};
    if (placement) {
        const TWindowSize placed = KeepOnScreen(*placement, screenSize);
        setGeometry(placed.Left, placed.Top, placed.Width, placed.Height);
    } else {
        const QRect owner = parentWidget() ? parentWidget()->frameGeometry() : screen->availableGeometry();
        const TWindowSize placed = CentreWithin({owner.x(), owner.y(), owner.width(), owner.height()},
                                                width(), height(), screenSize);
        move(placed.Left, placed.Top);
    }

    ++FBusy;
    const TSettings& settings = FDocument.State().Settings;
    fs::path folder = settings.ProjectFolder;
    std::string session;
    if (folder.empty()) {
        // A guess from the logs opened last: the folder of the newest one.
        for (const fs::path& recent : settings.RecentFiles) {
            if (ContainsText("run", recent.filename().string()) == 0) continue;
            folder = recent.parent_path();
            if (!IsProjectFolder(folder) && HoldsLogs(folder)) {
                session = FolderName(folder);
                folder = folder.parent_path();
            }
            break;
        }
    }
    SelectProject(folder, {});
    const std::string wanted = session.empty() ? settings.SessionName : session;
    const int index = FSessionList->findText(FromStd(wanted));
    FSessionList->setCurrentIndex(index >= 0 ? index : FSessionList->count() - 1);
    FIncludeAdjustments->setChecked(FDocument.State().Display.IncludeAdjustments);
    show();
    raise();
    activateWindow();
    LoadSession();
    FShown = true;
    --FBusy;
    LHMapBoxChanged();
    EZKMapBoxChanged();
    HandOver();
}

void TProjectForm::NewFilesSeen() {
    FListedBefore.emplace();
    for (int i = 0; i < FFileList->count(); ++i) FListedBefore->insert(ToName(FFileList->item(i)->text()));
    LoadSession();
    FListedBefore.reset();
}

void TProjectForm::SelectProject(const fs::path& folder, const std::string& sessionName) {
    FProjectFolder = folder.empty() ? fs::path() : FolderKey(folder);
    FProjectFolderEdit->setText(FromPath(FProjectFolder));
    setWindowTitle(QStringLiteral("Project Manager: ") + FromStd(FolderName(FProjectFolder)));
    FProjectFile.Open(FProjectFolder);
    ShowEngineSetup();
    FillSessionList(sessionName);
    if (FShown) LoadSession();
}

void TProjectForm::FillSessionList(const std::string& selectName) {
    FSessionList->clear();
    if (!FProjectFolder.empty())
        for (const std::string& name : SessionNames(FProjectFolder)) FSessionList->addItem(FromStd(name));
    const int index = FSessionList->findText(FromStd(selectName));
    FSessionList->setCurrentIndex(index >= 0 ? index : FSessionList->count() - 1);
}

void TProjectForm::ShowEngineSetup() {
    const TEngineSetup& setup = FDocument.State().Setup();
    (setup.LHVersion == TLHVersion::LH22 ? FLH22 : FLH23)->setChecked(true);
    (setup.EZKVersion == TEZKVersion::GT ? FGT : FS4)->setChecked(true);
    // Not set counts as MAF.
    (setup.LHConfig == TLHConfig::Unset ? FMaf : ConfigButton(setup.LHConfig))->setChecked(true);
}

QRadioButton* TProjectForm::ConfigButton(TLHConfig config) const {
    switch (config) {
        case TLHConfig::Maf:
            return FMaf;
        case TLHConfig::HexaMaf:
            return FHexaMaf;
        case TLHConfig::Alpha:
            return FAlpha;
        case TLHConfig::Map:
            return FMap;
        default:
            return nullptr;
    }
}

QRadioButton* TProjectForm::LHInUseButton(int code) const {
    switch (code) {
        case 1:
            return FLHCat;
        case 2:
            return FLHNoCat;
        case 3:
            return FPrimaryLoadMap;
        default:
            return nullptr;
    }
}

QRadioButton* TProjectForm::EZKInUseButton(int code) const {
    switch (code) {
        case 1:
            return FEZKCat;
        case 2:
            return FEZKNoCat;
        case 4:
            return FLowOctane;
        default:
            return nullptr;
    }
}

void TProjectForm::LoadSession() {
    ++FBusy;
    FLoading = true;
    FTicking = true;
    FFileList->clear();
    FSelectAll->setChecked(false);
    for (QComboBox* box : FMapBoxes) box->clear();

    const fs::path session = SessionFolder();
    FSessionFile.Open(session);
    std::string listFailure;
    const std::vector<std::string> names =
        session.empty() ? std::vector<std::string>{} : SessionLogNames(session, &listFailure);
    const std::optional<std::vector<bool>> ticks =
        TicksFromOpenFilesKey(FSessionFile.ReadString(OpenFilesKey, ""), names);
    bool all = !names.empty();
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(FromStd(names[i]), FFileList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool isNew = FListedBefore && !FListedBefore->contains(names[i]);
        const bool ticked = !ticks || (*ticks)[i] || isNew;
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        all = all && ticked;
    }
    FSelectAll->setChecked(all);
    FTicking = false;
    // An unreadable session folder is not an empty one.
    if (!listFailure.empty()) FDocument.Prompts().ShowError(FromStd(listFailure));

    FillMapBoxes(session);
    FLoading = false;
    --FBusy;
    LHMapBoxChanged();
    EZKMapBoxChanged();
    HandOver();
}

void TProjectForm::FillMapBoxes(const fs::path& sessionFolder) {
    std::array<std::string, 4> defaults;
    for (const TMapBox box : AllMapBoxes)
        defaults[MapBoxIndex(box)] = FProjectFile.ReadString(MapBoxKey(box), "");
    const TMapBoxChoices choices =
        sessionFolder.empty() ? TMapBoxChoices{} : ClassifySessionMaps(sessionFolder, defaults);
    for (const TMapBox box : AllMapBoxes) {
        QComboBox* combo = MapBox(box);
        combo->addItem(QString());
        for (const std::string& name : choices[MapBoxIndex(box)]) combo->addItem(FromStd(name));
        const QString stored = FromStd(FSessionFile.ReadString(MapBoxKey(box), ""));
        if (stored.isEmpty()) continue;
        if (combo->findText(stored) < 0) combo->addItem(stored);
        combo->setCurrentIndex(combo->findText(stored));
    }
}

void TProjectForm::LHMapBoxChanged() {
    if (FBusy > 0) return;
    FPrimaryLoadMap->hide();
    ClearGroup(FLHInUseGroup);
    HighlightMapInUse(FLHCat, FLHNoCat, false);
    const QString text = MapBox(TMapBox::LHStarting)->currentText();
    const fs::path path = MapBoxPath(SessionFolder(), ToName(text));
    if (!path.empty() && HasBinExtension(path)) {
        auto image = std::make_unique<TLHbinFile>(path);
        if (image->IsValid()) {
            // The load sensor codes are the configuration codes.
            const TLHConfig config = LHConfigFromCode(static_cast<int>(image->LoadSensor()));
            if (image->IsLH22Image()) {
                FLH22->setChecked(true);
                (config == TLHConfig::HexaMaf ? FHexaMaf : FMaf)->setChecked(true);
            } else {
                FLH23->setChecked(true);
                ConfigButton(config)->setChecked(true);
                if (config == TLHConfig::Alpha || config == TLHConfig::Map) FPrimaryLoadMap->show();
            }
            const int inUse = FProjectFile.ReadInteger(LHMapInUseKey, 0);
            QRadioButton* choice = inUse != 0                     ? LHInUseButton(inUse)
                                   : image->PrimaryLoadMapInUse() ? FPrimaryLoadMap
                                                                  : nullptr;
            if (choice) choice->setChecked(true);
            HighlightMapInUse(FLHCat, FLHNoCat, FLHInUseGroup->checkedButton() == nullptr);
            FLHImage = std::move(image);
            if (!FLoading) {
                bool written = FProjectFile.WriteBool(LHVer22Key, FLH22->isChecked());
                written = FProjectFile.WriteInteger(LHConfigurationKey, CodeOf(ChosenLHConfig())) && written;
                if (!written && FProjectFile.File())
                    FDocument.Prompts().ShowError(FromStd(WriteFailureText(*FProjectFile.File())));
            }
        } else {
            FLHImage.reset();
        }
    } else {
        FLHImage.reset();
        if (!path.empty() && HasMapTextExtension(path)) {
            (FProjectFile.ReadBool(LHVer22Key, FLH22->isChecked()) ? FLH22 : FLH23)->setChecked(true);
            // Not stored: the choice stays.
            if (QRadioButton* stored =
                    ConfigButton(LHConfigFromCode(FProjectFile.ReadInteger(LHConfigurationKey, 0))))
                stored->setChecked(true);
        }
    }
    ShowWarnings();
    HandOver();
}

void TProjectForm::EZKMapBoxChanged() {
    if (FBusy > 0) return;
    ClearGroup(FEZKInUseGroup);
    HighlightMapInUse(FEZKCat, FEZKNoCat, false);
    const QString text = MapBox(TMapBox::EZKStarting)->currentText();
    const fs::path path = MapBoxPath(SessionFolder(), ToName(text));
    if (!path.empty() && HasBinExtension(path)) {
        auto image = std::make_unique<TEZKbinFile>(path);
        if (image->IsValid()) {
            (image->GtRpmGrid() ? FGT : FS4)->setChecked(true);
            if (QRadioButton* choice = EZKInUseButton(FProjectFile.ReadInteger(EZKMapInUseKey, 0)))
                choice->setChecked(true);
            HighlightMapInUse(FEZKCat, FEZKNoCat, FEZKInUseGroup->checkedButton() == nullptr);
            FEZKImage = std::move(image);
            if (!FLoading && !FProjectFile.WriteBool(GtRpmGridKey, FGT->isChecked()) && FProjectFile.File())
                FDocument.Prompts().ShowError(FromStd(WriteFailureText(*FProjectFile.File())));
        } else {
            FEZKImage.reset();
        }
    } else {
        FEZKImage.reset();
        if (!path.empty() && HasMapTextExtension(path))
            (FProjectFile.ReadBool(GtRpmGridKey, FGT->isChecked()) ? FGT : FS4)->setChecked(true);
    }
    ShowWarnings();
    HandOver();
}

void TProjectForm::ShowWarnings() {
    const std::string text = BinWarningText(FLHImage.get(), LHMapInUse(), FEZKImage.get());
    FWarningText->setText(FromStd(text));
    FWarningText->setVisible(!text.empty());
    FWarningPicture->setVisible(!text.empty());
}

void TProjectForm::HighlightMapInUse(QRadioButton* cat, QRadioButton* noCat, bool ask) {
    const QString sheet =
        ask ? QStringLiteral("QRadioButton { background-color: rgb(255, 255, 0); }") : QString();
    cat->setStyleSheet(sheet);
    noCat->setStyleSheet(sheet);
}

TLHConfig TProjectForm::ChosenLHConfig() const {
    for (const TLHConfig config : {TLHConfig::HexaMaf, TLHConfig::Alpha, TLHConfig::Map})
        if (ConfigButton(config)->isChecked()) return config;
    return TLHConfig::Maf;
}

void TProjectForm::SetupChoiceClicked() {
    const int configCode = CodeOf(ChosenLHConfig());
    bool written = FProjectFile.WriteBool(LHVer22Key, FLH22->isChecked());
    written = FProjectFile.WriteBool(GtRpmGridKey, FGT->isChecked()) && written;
    written = FProjectFile.WriteInteger(LHConfigurationKey, configCode) && written;
    if (!written && FProjectFile.File())
        FDocument.Prompts().ShowError(FromStd(WriteFailureText(*FProjectFile.File())));

    TEngineSetup& setup = FDocument.State().Setup();
    setup.EZKVersion = FGT->isChecked() ? TEZKVersion::GT : TEZKVersion::S4;
    setup.LHVersion = FLH22->isChecked() ? TLHVersion::LH22 : TLHVersion::LH23;
    setup.LHConfig = LHConfigFromCode(configCode);
    if (FShown) emit EngineSetupChanged();
    HandOver();
}

void TProjectForm::MapInUseClicked() {
    bool written = FProjectFile.WriteInteger(LHMapInUseKey, CodeOf(LHMapInUse()));
    written = FProjectFile.WriteInteger(EZKMapInUseKey, CodeOf(EZKMapInUse())) && written;
    if (!written && FProjectFile.File())
        FDocument.Prompts().ShowError(FromStd(WriteFailureText(*FProjectFile.File())));
    if (FLHInUseGroup->checkedButton()) HighlightMapInUse(FLHCat, FLHNoCat, false);
    if (FEZKInUseGroup->checkedButton()) HighlightMapInUse(FEZKCat, FEZKNoCat, false);
    ShowWarnings();
    HandOver();
}

TLHMapSource TProjectForm::LHMapInUse() const {
    if (FLHCat->isChecked()) return TLHMapSource::Cat;
    if (FLHNoCat->isChecked()) return TLHMapSource::NoCat;
    if (FPrimaryLoadMap->isChecked()) return TLHMapSource::PrimaryLoad;
    return TLHMapSource::Text;
}

TEZKMapSource TProjectForm::EZKMapInUse() const {
    if (FEZKCat->isChecked()) return TEZKMapSource::Cat98;
    if (FEZKNoCat->isChecked()) return TEZKMapSource::NoCat98;
    if (FLowOctane->isChecked()) return TEZKMapSource::Octane91;
    return TEZKMapSource::Text;
}

void TProjectForm::FileTicked(QListWidgetItem*) {
    if (FTicking) return;
    bool all = FFileList->count() > 0;
    for (int i = 0; i < FFileList->count(); ++i) all = all && FFileList->item(i)->checkState() == Qt::Checked;
    FSelectAll->setChecked(all);
    HandOver();
}

void TProjectForm::SelectAllClicked(bool checked) {
    FTicking = true;
    for (int i = 0; i < FFileList->count(); ++i)
        FFileList->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    FTicking = false;
    HandOver();
}

void TProjectForm::HandOver() {
    if (FBusy > 0) return;
    const fs::path session = SessionFolder();
    TPendingSelection selection;
    selection.ProjectFolder = FProjectFolder;
    selection.SessionName = ToName(FSessionList->currentText());
    std::array<fs::path, 4> maps;
    for (const TMapBox box : AllMapBoxes)
        maps[MapBoxIndex(box)] = MapBoxPath(session, ToName(MapBox(box)->currentText()));
    selection.LHStartingMap = maps[MapBoxIndex(TMapBox::LHStarting)];
    selection.EZKStartingMap = maps[MapBoxIndex(TMapBox::EZKStarting)];
    selection.LHUpdatedMap = maps[MapBoxIndex(TMapBox::LHUpdated)];
    selection.EZKUpdatedMap = maps[MapBoxIndex(TMapBox::EZKUpdated)];
    selection.LHMapSource = LHMapInUse();
    selection.EZKMapSource = EZKMapInUse();
    FIncludeAdjustments->setEnabled(!selection.LHUpdatedMap.empty() || !selection.EZKUpdatedMap.empty());

    selection.Logs = TLogRequest::None;
    if (!session.empty()) {
        for (int i = 0; i < FFileList->count(); ++i)
            if (FFileList->item(i)->checkState() == Qt::Checked)
                selection.LogFiles.push_back(session / fs::path(ToName(FFileList->item(i)->text())));
        if (!selection.LogFiles.empty()) selection.Logs = TLogRequest::Files;
    }
    selection.Setup.LHVersion = FLH22->isChecked() ? TLHVersion::LH22 : TLHVersion::LH23;
    selection.Setup.EZKVersion = FGT->isChecked() ? TEZKVersion::GT : TEZKVersion::S4;
    selection.Setup.LHConfig = ChosenLHConfig();
    emit SelectionChosen(selection);
    WriteSessionSettings();
}

void TProjectForm::WriteSessionSettings() {
    if (!FSessionFile.File()) return;
    std::vector<std::string> names;
    std::vector<bool> ticked;
    for (int i = 0; i < FFileList->count(); ++i) {
        names.push_back(ToName(FFileList->item(i)->text()));
        ticked.push_back(FFileList->item(i)->checkState() == Qt::Checked);
    }
    // Written only when it changes: every hand-over passes here.
    bool written = true;
    const auto write = [&](std::string_view key, const std::string& value) {
        if (FSessionFile.ReadString(key, "") != value)
            written = FSessionFile.WriteString(key, value) && written;
    };
    write(OpenFilesKey, OpenFilesKeyText(names, ticked));
    for (const TMapBox box : AllMapBoxes) write(MapBoxKey(box), ToName(MapBox(box)->currentText()));
    if (!written) FDocument.Prompts().ShowError(FromStd(WriteFailureText(*FSessionFile.File())));
}

void TProjectForm::BrowseClick() {
    ++FBusy;
    const std::optional<QString> chosen =
        FDocument.Prompts().BrowseFolder(QStringLiteral("Vortrix Poject Folder"), FromPath(FProjectFolder));
    if (chosen && !chosen->isEmpty()) {
        const fs::path folder = FolderKey(ToPath(*chosen));
        // A folder of logs that is no project is a session of its parent; a
        // new, empty folder is a project of its own.
        if (!IsProjectFolder(folder) && HoldsLogs(folder))
            SelectProject(folder.parent_path(), FolderName(folder));
        else
            SelectProject(folder, {});
    }
    --FBusy;
    HandOver();
}

void TProjectForm::NewSessionClick() {
    if (FProjectFolder.empty()) {
        FDocument.Prompts().ShowError(QString::fromUtf8(NoProjectText));
        return;
    }
    ++FBusy;
    QString answer = FromStd(UniqueSessionName(FProjectFolder, TodaySessionName()));
    QString prompt = QStringLiteral("New Session name:");
    for (;;) {
        const std::optional<QString> typed =
            FDocument.Prompts().InputText(QStringLiteral("Create New Session Folder"), prompt, answer);
        if (!typed || typed->trimmed().isEmpty()) break;
        answer = typed->trimmed();
        const std::string name = ToName(answer);
        const TSessionNameCheck check = CheckSessionName(FProjectFolder, name);
        if (check != TSessionNameCheck::Ok) {
            prompt = FromStd(SessionNameRetryPrompt(check));
            continue;
        }
        std::string error;
        if (!CreateSessionFolder(FProjectFolder, name, error)) {
            FDocument.Prompts().ShowError(QStringLiteral("Could not create the session folder \"%1\": %2")
                                              .arg(FromPath(FProjectFolder / name), FromStd(error)));
            break;
        }
        FillSessionList(name);
        LoadSession();
        break;
    }
    --FBusy;
    HandOver();
}

void TProjectForm::PasteClick() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const std::string text = clipboard ? clipboard->text().toStdString() : std::string();
    const fs::path session = SessionFolder();
    TMapGrid grid{};
    TMapBox box;
    if (IsLHMapBlock(text) && ReadMapBlock(text, grid)) {
        box = TMapBox::LHStarting;
    } else if (IsEZKMapBlock(text) && ReadEZKMapBlock(text, grid)) {
        box = TMapBox::EZKStarting;
    } else {
        FDocument.Prompts().ShowError(
            QStringLiteral("Data in the Windows Clipboard is not the correct format for a EZK or LH Map"));
        return;
    }
    if (session.empty()) {
        FDocument.Prompts().ShowError(QStringLiteral("Choose a session to paste the map into first."));
        return;
    }
    // A base map that updated maps were made from is kept: a different map
    // gets a "(2)" name.
    const TMapWriteResult written =
        box == TMapBox::LHStarting
            ? WriteLHMapText(session / BaseFuelMapFileName, grid, 0, TOverwrite::KeepOld)
            : WriteEZKMapText(session / BaseIgnitionMapFileName, grid, TOverwrite::KeepOld);
    if (!written.Ok) {
        FDocument.Prompts().ShowError(QStringLiteral("Could not save the map file \"%1\": %2")
                                          .arg(FromPath(written.FileName), FromStd(written.ErrorText)));
        return;
    }
    QComboBox* combo = MapBox(box);
    const QString name = FromPath(written.FileName.filename());
    if (combo->findText(name) < 0) combo->addItem(name);
    combo->setCurrentIndex(combo->findText(name));
    HandOver();
}

void TProjectForm::StateChanged(TChangeSet changes) {
    if (changes.Has(TChange::PlottedValues) || changes.Has(TChange::Display))
        FIncludeAdjustments->setChecked(FDocument.State().Display.IncludeAdjustments);
}

void TProjectForm::closeEvent(QCloseEvent* event) {
    emit Closing(Placement());
    QWidget::closeEvent(event);
}

}  // namespace kelvane
