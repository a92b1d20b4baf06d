#pragma once

#include <QGuiApplication>

namespace kelvane {

// The busy cursor over the whole program for as long as it lives.
class TBusyCursor {
  public:
    explicit TBusyCursor(Qt::CursorShape shape = Qt::WaitCursor) {
        QGuiApplication::setOverrideCursor(shape);
    }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace kelvane
