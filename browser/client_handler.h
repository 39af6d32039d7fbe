#pragma once
// The one browser client of the program: it knows the window that hosts the
// active page and the page reloaded after a renderer failure.

#include <QByteArray>
#include <QObject>
#include <QWidget>

#include <atomic>

class ClientHandler : public QObject
{
    Q_OBJECT
public:
    ClientHandler();

    // Native handle of the window that hosts the active page.
    void SetMainWindowHandle(WId handle);
    WId GetMainWindowHandle() const;

    // Page reloaded after the renderer ends (UTF-8). The switch "url" sets
    // it; the main window replaces it with the local page.
    QByteArray startUrl;
    // The switch "mouse-cursor-change-disabled" was given.
    bool mouseCursorChangeDisabled = false;

private:
    std::atomic<WId> m_mainWindowHandle{0};
};

extern ClientHandler* g_clientHandler;
