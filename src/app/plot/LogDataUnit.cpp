#include "app/plot/LogDataUnit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/plot/LogGrid.h"

namespace kelvane {

TLogDataForm::TLogDataForm(const TKelvaneState& state, bool stayOnTop, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("LogDataForm"));
    setWindowTitle(QStringLiteral("Data Log"));
    FGrid = new TLogGrid(state, TLogGridKind::Window, this);
    FStayOnTop = new QCheckBox(QStringLiteral("Stay On Top"), this);
    FStayOnTop->setObjectName(QStringLiteral("StayOnTopBox"));
    FStayOnTop->setChecked(stayOnTop);
    FNote = new QLabel(QStringLiteral("(** original as-measured AFR)"), this);
    FCloseButton = new QPushButton(QStringLiteral("Close"), this);
    FCloseButton->setObjectName(QStringLiteral("CloseButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FStayOnTop);
    buttons->addWidget(FNote, 1);
    buttons->addWidget(FCloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FGrid, 1);
    layout->addLayout(buttons);

    connect(FGrid, &TLogGrid::SampleClicked, this, &TLogDataForm::SampleClicked);
    connect(FGrid, &TLogGrid::ClearSelectionRequested, this, &TLogDataForm::ClearSelectionRequested);
    connect(FStayOnTop, &QCheckBox::toggled, this, &TLogDataForm::SetStayOnTop);
    connect(FCloseButton, &QPushButton::clicked, this, &QWidget::close);
    setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);

    // Wide enough for every column and the scroll bar; tall enough for a good run of rows.
    int columnsWidth = 0;
    for (const int width : FGrid->ShownColumnWidths()) columnsWidth += width + 1;
    resize(columnsWidth + 60, 30 * FGrid->RowHeight());
}

void TLogDataForm::StateChanged(TChangeSet changes) {
    FGrid->StateChanged(changes);
}

void TLogDataForm::ShowTopSample(int sample) {
    FGrid->ShowTopSample(sample);
}

TWindowSize TLogDataForm::Placement() const {
    const QRect frame = geometry();
    return {frame.left(), frame.top(), frame.width(), frame.height()};
}

void TLogDataForm::SetStayOnTop(bool stayOnTop) {
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
    // Changing the flags hides the window.
    if (shown) show();
}

void TLogDataForm::closeEvent(QCloseEvent* event) {
    emit Closing(Placement(), FStayOnTop->isChecked());
    QWidget::closeEvent(event);
}

}  // namespace kelvane
