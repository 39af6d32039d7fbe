#pragma once
// The one place that picks the implementation of each operating-system
// concern. Tests may install a recording fake with the matching setter; the
// setter takes ownership.

class Autostart;
class GlobalHotkeys;
class KeyboardHook;
class MouseSettings;
class ProcessList;
class Shell;
class WindowActivation;
class WindowPlacement;

namespace platform {

WindowActivation& windowActivation();
void setWindowActivation(WindowActivation* fake);

WindowPlacement& windowPlacement();
void setWindowPlacement(WindowPlacement* fake);

MouseSettings& mouseSettings();
void setMouseSettings(MouseSettings* fake);

Shell& shell();
void setShell(Shell* fake);

Autostart& autostart();
void setAutostart(Autostart* fake);

KeyboardHook& keyboardHook();
void setKeyboardHook(KeyboardHook* fake);

ProcessList& processList();
void setProcessList(ProcessList* fake);

GlobalHotkeys& globalHotkeys();
void setGlobalHotkeys(GlobalHotkeys* fake);

}  // namespace platform
