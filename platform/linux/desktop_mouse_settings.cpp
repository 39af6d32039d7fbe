#include "platform/linux/desktop_mouse_settings.h"

#include <QApplication>

bool DesktopMouseSettings::setPointerSpeed(int)
{
    return false;  // nothing applied: reported honestly
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
