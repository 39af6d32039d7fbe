// Linux implementations of the platform interfaces.

#include "platform/platform.h"

#include "platform/linux/desktop_mouse_settings.h"
#include "platform/linux/desktop_shell.h"
#include "platform/linux/proc_process_list.h"
#include "platform/linux/x11_global_hotkeys.h"
#include "platform/linux/x11_keyboard_hook.h"
#include "platform/linux/x11_window_activation.h"
#include "platform/linux/xdg_autostart.h"
#include "platform/qt_window_placement.h"

#include <memory>

namespace platform {
namespace {

// One slot per concern: the real implementation unless a test put a fake in.
template <typename Interface, typename Implementation>
struct Slot
{
    std::unique_ptr<Interface> instance;
    Interface& get()
    {
        if (!instance)
            instance = std::make_unique<Implementation>();
        return *instance;
    }
};

Slot<WindowActivation, X11WindowActivation> g_windowActivation;
Slot<WindowPlacement, QtWindowPlacement> g_windowPlacement;
Slot<Shell, DesktopShell> g_shell;
Slot<MouseSettings, DesktopMouseSettings> g_mouseSettings;
Slot<Autostart, XdgAutostart> g_autostart;
Slot<KeyboardHook, X11KeyboardHook> g_keyboardHook;
Slot<ProcessList, ProcProcessList> g_processList;
Slot<GlobalHotkeys, X11GlobalHotkeys> g_globalHotkeys;

}  // namespace

WindowActivation& windowActivation() { return g_windowActivation.get(); }
void setWindowActivation(WindowActivation* fake) { g_windowActivation.instance.reset(fake); }

WindowPlacement& windowPlacement() { return g_windowPlacement.get(); }
void setWindowPlacement(WindowPlacement* fake) { g_windowPlacement.instance.reset(fake); }

MouseSettings& mouseSettings() { return g_mouseSettings.get(); }
void setMouseSettings(MouseSettings* fake) { g_mouseSettings.instance.reset(fake); }

Shell& shell() { return g_shell.get(); }
void setShell(Shell* fake) { g_shell.instance.reset(fake); }

Autostart& autostart() { return g_autostart.get(); }
void setAutostart(Autostart* fake) { g_autostart.instance.reset(fake); }

KeyboardHook& keyboardHook() { return g_keyboardHook.get(); }
void setKeyboardHook(KeyboardHook* fake) { g_keyboardHook.instance.reset(fake); }

ProcessList& processList() { return g_processList.get(); }
void setProcessList(ProcessList* fake) { g_processList.instance.reset(fake); }

GlobalHotkeys& globalHotkeys() { return g_globalHotkeys.get(); }
void setGlobalHotkeys(GlobalHotkeys* fake) { g_globalHotkeys.instance.reset(fake); }

}  // namespace platform
