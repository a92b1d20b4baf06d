#include "app/mapwindows/MapViewerUnit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QThread>
#include <QVBoxLayout>

#include "app/document/KelvaneDocument.h"
#include "core/mapwindows/MapGridSelection.h"

namespace kelvane {

namespace {

// Only the left button, nothing else held.
bool LeftOnly(Qt::MouseButtons buttons) {
    return buttons == Qt::LeftButton;
}

QString AngleText(int degrees) {
    return QStringLiteral("%1\u00B0").arg(degrees);
}

constexpr int SlowRefreshPause = 3;  // milliseconds after each primitive

}  // namespace

TMapViewArea::TMapViewArea(const TMapViewerRender& render, QWidget* parent)
    : QWidget(parent), FRender(render) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

void TMapViewArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, FRender.BackLayer());
    painter.drawImage(0, 0, FRender.FrontLayer());
}

void TMapViewArea::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(event->position().toPoint(), event->buttons());
}

void TMapViewArea::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(event->position().toPoint(), event->buttons());
}

void TMapViewArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit Resized();
}

TMapViewerForm::TMapViewerForm(TKelvaneDocument& document, QWidget* parent)
    : QWidget(parent, Qt::Window), FDocument(document) {
    connect(&document, &TKelvaneDocument::Changed, this, &TMapViewerForm::StateChanged);
    setObjectName(QStringLiteral("MapViewerForm"));
    setWindowTitle(QStringLiteral("Map Viewer"));
    FView = new TMapViewArea(FRender, this);
    FView->setObjectName(QStringLiteral("ViewArea"));
    FHorizontal = new QSlider(Qt::Horizontal, this);
    FHorizontal->setObjectName(QStringLiteral("HorizontalBar"));
    FHorizontal->setRange(-180, 180);
    FVertical = new QSlider(Qt::Vertical, this);
    FVertical->setObjectName(QStringLiteral("VerticalBar"));
    FVertical->setRange(-90, 90);
    FVertical->setInvertedAppearance(true);  // the lowest position at the top, as -v
    FHorizontalLabel = new QLabel(this);
    FVerticalLabel = new QLabel(this);
    // Wide enough for "-180°".
    for (QLabel* label : {FHorizontalLabel, FVerticalLabel}) {
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("-180\u00B0 ")));
        label->setAlignment(Qt::AlignCenter);
    }
    FColor = new QCheckBox(QStringLiteral("Color"), this);
    FColor->setObjectName(QStringLiteral("ColorBox"));
    FGradient = new QCheckBox(QStringLiteral("Gradient"), this);
    FGradient->setObjectName(QStringLiteral("GradientBox"));
    FSlowRefresh = new QCheckBox(QStringLiteral("Slow refresh"), this);
    FSlowRefresh->setObjectName(QStringLiteral("SlowRefreshBox"));
    FStayOnTop = new QCheckBox(QStringLiteral("Stay on top"), this);
    FStayOnTop->setObjectName(QStringLiteral("StayOnTopBox"));
    FClose = new QPushButton(QStringLiteral("Close"), this);
    FClose->setObjectName(QStringLiteral("CloseButton"));

    auto* grid = new QGridLayout;
    grid->addWidget(FView, 0, 0);
    auto* right = new QVBoxLayout;
    right->addWidget(FVertical, 1);
    right->addWidget(FVerticalLabel);
    grid->addLayout(right, 0, 1);
    auto* below = new QHBoxLayout;
    below->addWidget(FHorizontal, 1);
    below->addWidget(FHorizontalLabel);
    grid->addLayout(below, 1, 0);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);
    auto* panel = new QHBoxLayout;
    for (QWidget* widget : {static_cast<QWidget*>(FColor), static_cast<QWidget*>(FGradient),
                            static_cast<QWidget*>(FSlowRefresh), static_cast<QWidget*>(FStayOnTop)})
        panel->addWidget(widget);
    panel->addStretch(1);
    panel->addWidget(FClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(panel);

    connect(FHorizontal, &QSlider::valueChanged, this, &TMapViewerForm::HorizontalChanged);
    connect(FVertical, &QSlider::valueChanged, this, &TMapViewerForm::VerticalChanged);
    connect(FColor, &QCheckBox::clicked, this, &TMapViewerForm::Rebuild);
    connect(FGradient, &QCheckBox::clicked, this, &TMapViewerForm::Rebuild);
    connect(FStayOnTop, &QCheckBox::clicked, this, &TMapViewerForm::SetStayOnTop);
    connect(FClose, &QPushButton::clicked, this, &QWidget::close);
    connect(FView, &TMapViewArea::MouseDown, this, &TMapViewerForm::ViewMouseDown);
    connect(FView, &TMapViewArea::MouseMove, this, &TMapViewerForm::ViewMouseMove);
    connect(FView, &TMapViewArea::Resized, this, [this] {
        if (FShown) RotateAndRender();
    });

    FHorizontal->setValue(FAngles.H);
    FVertical->setValue(-FAngles.V);
    FHorizontalLabel->setText(AngleText(FAngles.H));
    FVerticalLabel->setText(AngleText(FAngles.V));
    resize(800, 680);
}

void TMapViewerForm::ShowPlaced(std::string_view storedSize, std::string_view viewAngle, bool stayOnTop) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const TWindowSize placed = ToolWindowPosition(
        storedSize, width(), height(), TWindowSize{area.left(), area.top(), area.width(), area.height()});
    move(placed.Left, placed.Top);
    const TViewAngles angles = ParseViewAngle(viewAngle);
    FHorizontal->setValue(angles.H);
    FVertical->setValue(-angles.V);
    FStayOnTop->setChecked(stayOnTop);
    setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
    show();
    FShown = true;
    Rebuild();
}

void TMapViewerForm::StateChanged(TChangeSet changes) {
    if (!FShown) return;
    if (changes.HasAny(
            {TChange::FuelMaps, TChange::IgnitionMaps, TChange::Axes, TChange::Display, TChange::Overlay}))
        Rebuild();
}

void TMapViewerForm::Rebuild() {
    const TKelvaneState& state = FDocument.State();
    FRender.Rebuild(ViewerMap(state), state.Display.View, state.Axes.FuelLimits,
                    TSurfaceStyle{FColor->isChecked(), FGradient->isChecked()});
    RotateAndRender();
}

void TMapViewerForm::RotateAndRender() {
    TMapViewerRender::TAfterPrimitive slow;
    if (FSlowRefresh->isChecked())
        slow = [this] {
            FView->repaint();
            QThread::msleep(SlowRefreshPause);
        };
    FRender.RotateAndRender(FView->size(), FAngles.H, FAngles.V, slow, FView->devicePixelRatioF());
    FView->update();
}

void TMapViewerForm::HorizontalChanged(int position) {
    FAngles.H = position;
    FHorizontalLabel->setText(AngleText(FAngles.H));
    if (FShown && !FDragging) RotateAndRender();
}

void TMapViewerForm::VerticalChanged(int position) {
    FAngles.V = -position;
    FVerticalLabel->setText(AngleText(FAngles.V));
    if (FShown && !FDragging) RotateAndRender();
}

void TMapViewerForm::ViewMouseDown(QPoint position, Qt::MouseButtons buttons) {
    if (!LeftOnly(buttons)) return;
    FPressPoint = position;
    FPressAngles = FAngles;
}

void TMapViewerForm::ViewMouseMove(QPoint position, Qt::MouseButtons buttons) {
    if (!LeftOnly(buttons)) return;
    const TViewAngles angles =
        DraggedAngles(FPressAngles, position.x() - FPressPoint.x(), position.y() - FPressPoint.y());
    // The bars follow without turning the view themselves.
    FDragging = true;
    FHorizontal->setValue(angles.H);
    FVertical->setValue(-angles.V);
    FDragging = false;
    FAngles = angles;
    RotateAndRender();
}

TWindowSize TMapViewerForm::Placement() const {
    return {x(), y(), width(), height()};
}

void TMapViewerForm::SetStayOnTop(bool stayOnTop) {
    const bool shown = isVisible();
    const QPoint place = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
    if (shown) {
        move(place);
        show();
    }
}

void TMapViewerForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TMapViewerForm::closeEvent(QCloseEvent* event) {
    emit Closing(Placement(), FStayOnTop->isChecked());
    QWidget::closeEvent(event);
}

}  // namespace kelvane
