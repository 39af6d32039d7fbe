#pragma once
// Key presses on the X server, as a keyboard would make them (XTest), on a
// connection of the test's own. Xlib itself stays out of this header: its
// macros clash with Qt's, so a test includes it after its Qt headers.

struct _XDisplay;

// `keysym` is an X keysym (XK_a, XK_Num_Lock, ...).
void fakeKey(_XDisplay* display, unsigned long keysym, bool press);
void tapKey(_XDisplay* display, unsigned long keysym);
