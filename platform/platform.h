#pragma once
// The one place that picks the implementation of each operating-system
// concern. Tests may install a recording fake with the matching setter; the
// setter takes ownership.

class MouseSettings;
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

}  // namespace platform
