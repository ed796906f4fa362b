#pragma once

#include <QApplication>

namespace lanshan {

// A busy cursor while a long step runs, so that the window does not look dead. A message to
// the user ends the step: endAll takes every busy cursor down before the message shows.
class BusyCursor
{
public:
    BusyCursor()
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++depth();
    }
    ~BusyCursor()
    {
        if (depth() > 0) {
            --depth();
            QApplication::restoreOverrideCursor();
        }
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    static void endAll()
    {
        while (depth() > 0) {
            --depth();
            QApplication::restoreOverrideCursor();
        }
    }

private:
    static int &depth()
    {
        static int count = 0;
        return count;
    }
};

} // namespace lanshan
