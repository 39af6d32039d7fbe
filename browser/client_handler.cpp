#include "browser/client_handler.h"

#include "browser/command_line.h"

ClientHandler* g_clientHandler = nullptr;

namespace {

// Shown when nothing else names a start page; a blank page reaches no network
// and gets no access to the native side.
const char kDefaultStartUrl[] = "about:blank";

}  // namespace

ClientHandler::ClientHandler()
{
    const QByteArray url = switchValue(QStringLiteral("url")).toUtf8();
    startUrl = url.isEmpty() ? QByteArray(kDefaultStartUrl) : url;
    mouseCursorChangeDisabled = hasSwitch(QStringLiteral("mouse-cursor-change-disabled"));
}

void ClientHandler::SetMainWindowHandle(WId handle)
{
    m_mainWindowHandle = handle;
}

WId ClientHandler::GetMainWindowHandle() const
{
    return m_mainWindowHandle;
}
