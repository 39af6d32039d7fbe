#pragma once
// Window placement through Qt's own geometry and window state, which the
// platform plugin carries to the desktop.

#include "platform/window_placement.h"

class QtWindowPlacement : public WindowPlacement
{
public:
    void moveBy(QWidget* window, int dx, int dy, int width, int height) override;
    bool isMinimized(QWidget* window) const override;
    void minimize(QWidget* window) override;
    void restore(QWidget* window) override;
};
