#pragma once
// Placing the frameless top-level window the page moves and minimises.

class QWidget;

class WindowPlacement
{
public:
    virtual ~WindowPlacement() = default;

    // Moves the window by (dx, dy) and sizes it width x height. A minimised
    // or maximised window is restored instead, keeping its position and
    // taking the new size; the offsets are not applied then.
    virtual void moveBy(QWidget* window, int dx, int dy, int width, int height) = 0;
    virtual bool isMinimized(QWidget* window) const = 0;
    // Minimises without activating another window.
    virtual void minimize(QWidget* window) = 0;
    virtual void restore(QWidget* window) = 0;
};
