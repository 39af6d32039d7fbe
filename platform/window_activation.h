#pragma once
// Bringing the window of another running copy of the program to the front.
// A second start of the program uses it to hand the user over to the copy
// that already runs.

#include <QRegularExpression>
#include <QtGlobal>

class WindowActivation
{
public:
    virtual ~WindowActivation() = default;

    // Looks through the desktop's top-level windows for one owned by process
    // `pid` whose whole, non-empty title matches `title`; raises it and gives
    // it the keyboard focus. Returns whether such a window was found.
    virtual bool activateProcessWindow(qint64 pid, const QRegularExpression& title) = 0;
};
