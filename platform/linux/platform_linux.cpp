// Linux implementations of the platform interfaces.

#include "platform/platform.h"

#include "platform/linux/x11_window_activation.h"

#include <memory>

namespace platform {
namespace {
std::unique_ptr<WindowActivation> g_windowActivation;
}

WindowActivation& windowActivation()
{
    if (!g_windowActivation)
        g_windowActivation = std::make_unique<X11WindowActivation>();
    return *g_windowActivation;
}

void setWindowActivation(WindowActivation* fake)
{
    g_windowActivation.reset(fake);
}

}  // namespace platform
