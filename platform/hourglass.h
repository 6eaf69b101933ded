#pragma once
// platform::Hourglass: the busy pointer for the length of a scope.
//
//   {
//       platform::Hourglass busy;       // pointer becomes the hourglass
//       ...long work...
//       busy.restore();                 // optional: back to normal before a message
//   }                                   // back to normal at the latest here
//
// Guards nest: the pointer returns to normal when the last one ends. Every
// return and exception path restores the pointer, so a failing step can never
// leave the program showing the hourglass.

#include <QApplication>
#include <QCursor>

namespace platform {

class Hourglass {
public:
    Hourglass() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~Hourglass() { restore(); }

    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

    // Back to the normal pointer now (once; later calls and the destructor do nothing).
    void restore() {
        if (active_) {
            active_ = false;
            QApplication::restoreOverrideCursor();
        }
    }
    bool isActive() const { return active_; }

private:
    bool active_ = true;
};

}  // namespace platform
