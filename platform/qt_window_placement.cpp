#include "platform/qt_window_placement.h"

#include <QWidget>

void QtWindowPlacement::moveBy(QWidget* window, int dx, int dy, int width, int height)
{
    const QRect frame = window->geometry();
    const Qt::WindowStates state = window->windowState();
    if (state & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        window->setWindowState(state & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        window->setGeometry(frame.left(), frame.top(), width, height);
        window->show();
        return;
    }
    window->setGeometry(frame.left() + dx, frame.top() + dy, width, height);
}

bool QtWindowPlacement::isMinimized(QWidget* window) const
{
    return window->windowState() & Qt::WindowMinimized;
}

void QtWindowPlacement::minimize(QWidget* window)
{
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
}

void QtWindowPlacement::restore(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
}
