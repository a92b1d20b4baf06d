// The main window's map windows and the undo history of the map sets.
#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "app/document/Prompts.h"
#include "app/mapwindows/EZKMapUnit.h"
#include "app/mapwindows/FuelMapUnit.h"
#include "app/mapwindows/MapViewerUnit.h"
#include "app/plot/MainUnit.h"
#include "core/ground/IniKeys.h"
#include "core/ground/WriteFailures.h"
#include "core/shell/LogOpening.h"
#include "core/shell/SettingsWindows.h"

namespace kelvane {

namespace {

QAction* ActionNamed(QMenu* menu, const QString& name) {
    for (QAction* action : menu->actions())
        if (action->objectName() == name) return action;
    return nullptr;
}

}  // namespace

void TMainForm::CreateMapWindowItems() {
    // Undo and Redo head the Edit menu; their keys work in every window of the program.
    QAction* first = FEditMenu->actions().value(0);
    FUndo1 = new QAction(QStringLiteral("&Undo"), FEditMenu);
    FUndo1->setObjectName(QStringLiteral("Undo1"));
    FUndo1->setShortcut(QKeySequence::Undo);
    FUndo1->setShortcutContext(Qt::ApplicationShortcut);
    connect(FUndo1, &QAction::triggered, this, &TMainForm::Undo1Click);
    FRedo1 = new QAction(QStringLiteral("&Redo"), FEditMenu);
    FRedo1->setObjectName(QStringLiteral("Redo1"));
    FRedo1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    FRedo1->setShortcutContext(Qt::ApplicationShortcut);
    connect(FRedo1, &QAction::triggered, this, &TMainForm::Redo1Click);
    FEditMenu->insertAction(first, FUndo1);
    FEditMenu->insertAction(first, FRedo1);
    FEditMenu->insertSeparator(first);
    connect(FEditMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateUndoItems);

    FMapsWindow1->setEnabled(true);
    connect(FMapsWindow1, &QAction::triggered, this, &TMainForm::MapsWindow1Click);
    FMap3DView1 = ActionNamed(FWindowMenu, QStringLiteral("Map3DView1"));
    if (FMap3DView1) {
        FMap3DView1->setEnabled(true);
        connect(FMap3DView1, &QAction::triggered, this, &TMainForm::Map3DView1Click);
    }
    FMapButton->setEnabled(true);
    connect(FMapButton, &QAction::triggered, this, [this] {
        if (FFuelMapForm)
            FFuelMapForm->close();
        else if (FEZKMapForm)
            FEZKMapForm->close();
        else
            MapsWindow1Click();
        RefreshMainWindow();
    });
    FMap3DButton->setEnabled(true);
    connect(FMap3DButton, &QAction::triggered, this, &TMainForm::Map3DView1Click);

    FDocument->StartNewHistory();
}

// ---- Undo ---------------------------------------------------------------

void TMainForm::UpdateUndoItems() {
    if (!FUndo1) return;
    const auto caption = [](const QString& verb, std::string_view name) {
        return name.empty() ? verb
                            : QStringLiteral("%1 %2").arg(
                                  verb, QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    };
    FUndo1->setEnabled(FDocument->History().CanUndo());
    FUndo1->setText(caption(QStringLiteral("&Undo"), FDocument->History().UndoName()));
    FRedo1->setEnabled(FDocument->History().CanRedo());
    FRedo1->setText(caption(QStringLiteral("&Redo"), FDocument->History().RedoName()));
}

void TMainForm::Undo1Click() {
    FDocument->Undo();
}

void TMainForm::Redo1Click() {
    FDocument->Redo();
}

// ---- Map windows --------------------------------------------------------

bool TMainForm::MapWindowShown() const {
    return (FFuelMapForm && FFuelMapForm->isVisible()) || (FEZKMapForm && FEZKMapForm->isVisible());
}

void TMainForm::MapsWindow1Click() {
    ShowMapForm(State().Display.View);
}

void TMainForm::ShowTargetAfrMap() {
    ShowMapForm(TPlotView::LH);
    if (FFuelMapForm) FFuelMapForm->SetTab(TFuelMapTab::TargetAfr);
}

void TMainForm::ShowMapForm(TPlotView view) {
    // One map window at a time: the other kind closes.
    TMapFormBase* form = nullptr;
    if (view == TPlotView::EZK) {
        if (State().Setup().LHVersion == TLHVersion::LH22) return;
        if (FFuelMapForm) FFuelMapForm->close();
        if (!FEZKMapForm) {
            FEZKMapForm = new TEZKMapForm(*FDocument, this);
            connect(FEZKMapForm, &QObject::destroyed, this, [this] {
                FEZKMapForm = nullptr;
                UpdateToolbar();
            });
            form = FEZKMapForm;
        }
    } else {
        if (FEZKMapForm) FEZKMapForm->close();
        if (!FFuelMapForm) {
            FFuelMapForm = new TFuelMapForm(*FDocument, this);
            connect(FFuelMapForm, &QObject::destroyed, this, [this] {
                FFuelMapForm = nullptr;
                UpdateToolbar();
            });
            form = FFuelMapForm;
        }
    }
    if (form) {
        form->setAttribute(Qt::WA_DeleteOnClose);
        connect(form, &TMapFormBase::Closing, this, &TMainForm::MapWindowClosing);
        form->ShowPlaced(ReadWindowSizeText(Store().Main(), MapWindowSection),
                         Store().Main().ReadBool(MapWindowSection, StayOnTopKey, true));
    } else {
        QWidget* shown =
            view == TPlotView::EZK ? static_cast<QWidget*>(FEZKMapForm) : static_cast<QWidget*>(FFuelMapForm);
        shown->show();
        shown->raise();
        shown->activateWindow();
    }
    UpdateToolbar();
}

void TMainForm::Map3DView1Click() {
    if (!FMapViewerForm) {
        FMapViewerForm = new TMapViewerForm(*FDocument, this);
        FMapViewerForm->setAttribute(Qt::WA_DeleteOnClose);
        connect(FMapViewerForm, &QObject::destroyed, this, [this] { FMapViewerForm = nullptr; });
        connect(FMapViewerForm, &TMapViewerForm::Closing, this, &TMainForm::MapViewerClosing);
        FMapViewerForm->ShowPlaced(ReadWindowSizeText(Store().Main(), MapViewerWindowSection),
                                   FDocument->Windows().MapViewerViewAngle,
                                   Store().Main().ReadBool(MapViewerWindowSection, StayOnTopKey, false));
        return;
    }
    FMapViewerForm->show();
    FMapViewerForm->raise();
    FMapViewerForm->activateWindow();
}

void TMainForm::MapWindowClosing(TWindowSize placement, bool stayOnTop) {
    FDocument->Windows().MapWindow = placement;
    FDocument->Windows().MapWindowStayOnTop = stayOnTop;
    FDocument->WriteSettings([&](TIniFile2& main) {
        return WriteWindowSize(main, MapWindowSection, placement) &&
               main.WriteBool(MapWindowSection, StayOnTopKey, stayOnTop);
    });
}

void TMainForm::MapViewerClosing(TWindowSize placement, bool stayOnTop) {
    FDocument->Windows().MapViewerWindow = placement;
    FDocument->Windows().MapViewerStayOnTop = stayOnTop;
    FDocument->WriteSettings([&](TIniFile2& main) {
        return WriteWindowSize(main, MapViewerWindowSection, placement) &&
               main.WriteBool(MapViewerWindowSection, StayOnTopKey, stayOnTop);
    });
}

void TMainForm::CloseMapWindows() {
    if (FFuelMapForm) FFuelMapForm->close();
    if (FEZKMapForm) FEZKMapForm->close();
    if (FMapViewerForm) FMapViewerForm->close();
}

void TMainForm::DeleteMapWindows() {
    // Gone with this window: they tell it nothing more.
    for (QWidget* form : {static_cast<QWidget*>(FFuelMapForm), static_cast<QWidget*>(FEZKMapForm),
                          static_cast<QWidget*>(FMapViewerForm)})
        if (form) form->disconnect(this);
    delete FFuelMapForm;
    delete FEZKMapForm;
    delete FMapViewerForm;
    FFuelMapForm = nullptr;
    FEZKMapForm = nullptr;
    FMapViewerForm = nullptr;
}

}  // namespace kelvane
