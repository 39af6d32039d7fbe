#include "platform/linux/desktop_mouse_settings.h"

#include <QApplication>

#include <X11/Xlib.h>

// Speeds 1 to 20 as X pointer acceleration: 10 moves the pointer as far as
// the mouse, 1 a tenth of that, 20 twice as far. The threshold is kept. The
// value is read back, so a server that ignores the request is reported.
bool DesktopMouseSettings::setPointerSpeed(int speed)
{
    if (speed < 1 || speed > 20)
        return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;  // no X server: nothing applied
    XChangePointerControl(display, True, False, speed, 10, 0);
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(display, &numerator, &denominator, &threshold);
    XCloseDisplay(display);
    return denominator > 0 && numerator * 10 == speed * denominator;
}

bool DesktopMouseSettings::setWheelScrollLines(int lines)
{
    if (!qApp || lines < 1)
        return false;
    QApplication::setWheelScrollLines(lines);
    return true;
}

bool DesktopMouseSettings::setDoubleClickTime(int milliseconds)
{
    if (!qApp || milliseconds < 1)
        return false;
    QApplication::setDoubleClickInterval(milliseconds);
    return true;
}
