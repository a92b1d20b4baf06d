#pragma once

#include <QPoint>
#include <QWidget>
#include <string_view>

#include "app/mapwindows/MapViewerRender.h"
#include "core/ground/SettingsValues.h"
#include "core/state/StateChange.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace kelvane {

class TKelvaneDocument;
class TMapViewerForm;

// The viewer's drawing area: the layers over white; it hands the mouse to the window.
class TMapViewArea : public QWidget {
    Q_OBJECT

  public:
    TMapViewArea(const TMapViewerRender& render, QWidget* parent);

  signals:
    void MouseDown(QPoint position, Qt::MouseButtons buttons);
    void MouseMove(QPoint position, Qt::MouseButtons buttons);
    void Resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    const TMapViewerRender& FRender;
};

// "Map Viewer": the map the plot shows as a surface inside a cage, turned
// with the two track bars or by dragging.
class TMapViewerForm : public QWidget {
    Q_OBJECT

  public:
    explicit TMapViewerForm(TKelvaneDocument& document, QWidget* parent = nullptr);

    // Placed from "Window Size" (left and top), turned to "View Angle",
    // built, "Stay on top" applied, shown.
    void ShowPlaced(std::string_view storedSize, std::string_view viewAngle, bool stayOnTop);
    void StateChanged(TChangeSet changes);

    // The surface from the current map, then rotate and render.
    void Rebuild();
    void RotateAndRender();

    TViewAngles Angles() const { return FAngles; }
    const TMapViewerRender& Render() const { return FRender; }
    TMapViewArea* ViewArea() const { return FView; }
    QSlider* HorizontalBar() const { return FHorizontal; }
    QSlider* VerticalBar() const { return FVertical; }
    QLabel* HorizontalLabel() const { return FHorizontalLabel; }
    QLabel* VerticalLabel() const { return FVerticalLabel; }
    QCheckBox* ColorBox() const { return FColor; }
    QCheckBox* GradientBox() const { return FGradient; }
    QCheckBox* SlowRefreshBox() const { return FSlowRefresh; }
    QCheckBox* StayOnTopBox() const { return FStayOnTop; }
    QPushButton* CloseButton() const { return FClose; }
    TWindowSize Placement() const;

  signals:
    void Closing(kelvane::TWindowSize placement, bool stayOnTop);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void HorizontalChanged(int position);
    void VerticalChanged(int position);
    void ViewMouseDown(QPoint position, Qt::MouseButtons buttons);
    void ViewMouseMove(QPoint position, Qt::MouseButtons buttons);
    void SetStayOnTop(bool stayOnTop);

    TKelvaneDocument& FDocument;
    TMapViewerRender FRender;
    TViewAngles FAngles;  // h = 0, v = 90 until shown
    bool FShown = false;
    bool FDragging = false;
    QPoint FPressPoint;
    TViewAngles FPressAngles;

    TMapViewArea* FView = nullptr;
    QSlider* FHorizontal = nullptr;
    QSlider* FVertical = nullptr;
    QLabel* FHorizontalLabel = nullptr;
    QLabel* FVerticalLabel = nullptr;
    QCheckBox* FColor = nullptr;
    QCheckBox* FGradient = nullptr;
    QCheckBox* FSlowRefresh = nullptr;
    QCheckBox* FStayOnTop = nullptr;
    QPushButton* FClose = nullptr;
};

}  // namespace kelvane
