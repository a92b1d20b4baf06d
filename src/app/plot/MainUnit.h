#pragma once

#include <QMainWindow>

class QAction;

namespace kelvane {

// The main window: menus, toolbar, plot area and status bar.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);

    QAction* Exit1() const { return FExit1; }

private:
    void CreateMenus();

    QAction* FExit1 = nullptr;
};

}  // namespace kelvane
