#include "tests/support/x11_keys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

void fakeKey(_XDisplay* display, unsigned long keysym, bool press)
{
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), press, CurrentTime);
    XSync(display, False);
}

void tapKey(_XDisplay* display, unsigned long keysym)
{
    fakeKey(display, keysym, true);
    fakeKey(display, keysym, false);
}
