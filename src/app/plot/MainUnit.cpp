#include "app/plot/MainUnit.h"

#include <QAction>
#include <QMenuBar>
#include <QPalette>
#include <QStatusBar>
#include <QWidget>

namespace kelvane {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Kelvane"));
    setObjectName(QStringLiteral("MainForm"));

    auto* plotArea = new QWidget(this);
    plotArea->setObjectName(QStringLiteral("MainImage"));
    plotArea->setAutoFillBackground(true);
    QPalette palette = plotArea->palette();
    palette.setColor(QPalette::Window, Qt::white);
    plotArea->setPalette(palette);
    setCentralWidget(plotArea);

    CreateMenus();
    statusBar();
    resize(1000, 700);
}

void TMainForm::CreateMenus() {
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FExit1 = fileMenu->addAction(QStringLiteral("E&xit"));
    FExit1->setObjectName(QStringLiteral("Exit1"));
    connect(FExit1, &QAction::triggered, this, &QWidget::close);
}

}  // namespace kelvane
