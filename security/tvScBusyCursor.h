// The hourglass while the database works; pending screen updates are let through first
// so the window shows its current state.
#pragma once

#include <QApplication>

namespace sec {

class BusyCursor {
public:
    BusyCursor() {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace sec
