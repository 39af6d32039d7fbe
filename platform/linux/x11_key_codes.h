#pragma once
// X keysyms as Windows virtual-key codes with the extended flag, so that
// recorded macro items carry the values a Windows keyboard hook reports and
// macros stay portable between the two systems.

struct VirtualKey
{
    int code = 0;  // 0: a key without a virtual-key code
    bool extended = false;
};

// `keysym` is the key's unshifted keysym (level 0 of its first group);
// `numLock` decides what the keypad's digit keys are.
VirtualKey virtualKeyFromKeysym(unsigned long keysym, bool numLock);
