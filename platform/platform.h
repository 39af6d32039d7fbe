#pragma once
// The one place that picks the implementation of each operating-system
// concern. Tests may install a recording fake with the matching setter; the
// setter takes ownership.

class WindowActivation;

namespace platform {

WindowActivation& windowActivation();
void setWindowActivation(WindowActivation* fake);

}  // namespace platform
