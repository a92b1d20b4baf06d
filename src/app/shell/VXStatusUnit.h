#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/platform/WindowLookup.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace kelvane {

// What the status window shows: the device program's main window and one
// line per child window ("position;handle;text"), then, under "=====", the
// children of its "Vortrix device" child.
struct TVXStatus {
    std::optional<std::uint64_t> Handle;  // nothing when the device program is not running
    std::vector<std::string> Lines;
};

TVXStatus ReadVXStatus(TWindowLookup& lookup);

// "Vortrix Status": a diagnostic view of the device's own program while it runs.
class TVXStatusForm : public QWidget {
    Q_OBJECT

  public:
    explicit TVXStatusForm(std::unique_ptr<TWindowLookup> lookup, QWidget* parent = nullptr);

    void Refresh();

    QLineEdit* HandleBox() const { return FHandle; }
    QPlainTextEdit* ChildrenBox() const { return FChildren; }
    QPushButton* RefreshButton() const { return FRefreshButton; }
    QTimer* RefreshTimer() const { return FTimer; }

  private:
    std::unique_ptr<TWindowLookup> FLookup;
    QLineEdit* FHandle = nullptr;
    QPlainTextEdit* FChildren = nullptr;
    QPushButton* FRefreshButton = nullptr;
    QTimer* FTimer = nullptr;
};

}  // namespace kelvane
