#pragma once
// The macro recorder: while recording, every key press and release of the
// whole desktop goes to the page as "macroItem" events, each key item after
// a delay item with the milliseconds since the previous item. The page
// builds the macro; nothing is kept here but the keys held down.

#include "platform/keyboard_hook.h"

#include <QMap>
#include <QObject>

class hook_handler : public QObject
{
public:
    // Starts (or restarts) recording; false when the system offers no hook.
    static bool startRecording();
    static void stopRecording();

    // One key event while recording; runs on the main thread.
    static void hookProcedure(const KeyEvent& event);

    // The keys recorded as down and not released yet, by virtual-key code
    // with their extended flag. Kept across recordings.
    static QMap<int, bool> heldKeys;
};
