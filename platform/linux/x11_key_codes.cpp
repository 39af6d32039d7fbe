#include "platform/linux/x11_key_codes.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <unordered_map>

namespace {

struct Entry
{
    int code;
    bool extended;
};

// Keys whose code does not depend on NumLock.
const std::unordered_map<unsigned long, Entry>& fixedKeys()
{
    static const std::unordered_map<unsigned long, Entry> table = {
        // editing and whitespace
        {XK_BackSpace, {0x08, false}}, {XK_Tab, {0x09, false}}, {XK_ISO_Left_Tab, {0x09, false}},
        {XK_Return, {0x0D, false}}, {XK_Escape, {0x1B, false}}, {XK_space, {0x20, false}},
        // modifiers: left and right apart, as the low-level hook reports them
        {XK_Shift_L, {0xA0, false}}, {XK_Shift_R, {0xA1, false}},
        {XK_Control_L, {0xA2, false}}, {XK_Control_R, {0xA3, true}},
        {XK_Alt_L, {0xA4, false}}, {XK_Alt_R, {0xA5, true}}, {XK_Meta_L, {0xA4, false}},
        {XK_Meta_R, {0xA5, true}}, {XK_ISO_Level3_Shift, {0xA5, true}},
        {XK_Super_L, {0x5B, true}}, {XK_Super_R, {0x5C, true}}, {XK_Menu, {0x5D, true}},
        // locks and system keys
        {XK_Caps_Lock, {0x14, false}}, {XK_Num_Lock, {0x90, true}}, {XK_Scroll_Lock, {0x91, false}},
        {XK_Print, {0x2C, true}}, {XK_Sys_Req, {0x2C, true}}, {XK_Pause, {0x13, false}},
        {XK_Break, {0x03, true}},
        // the navigation block: extended, unlike the same keys on the keypad
        {XK_Insert, {0x2D, true}}, {XK_Delete, {0x2E, true}}, {XK_Home, {0x24, true}},
        {XK_End, {0x23, true}}, {XK_Prior, {0x21, true}}, {XK_Next, {0x22, true}},
        {XK_Left, {0x25, true}}, {XK_Up, {0x26, true}}, {XK_Right, {0x27, true}},
        {XK_Down, {0x28, true}},
        // punctuation of the US layout (the OEM keys)
        {XK_semicolon, {0xBA, false}}, {XK_equal, {0xBB, false}}, {XK_comma, {0xBC, false}},
        {XK_minus, {0xBD, false}}, {XK_period, {0xBE, false}}, {XK_slash, {0xBF, false}},
        {XK_grave, {0xC0, false}}, {XK_bracketleft, {0xDB, false}}, {XK_backslash, {0xDC, false}},
        {XK_bracketright, {0xDD, false}}, {XK_apostrophe, {0xDE, false}}, {XK_less, {0xE2, false}},
        // the keypad keys that NumLock leaves alone
        {XK_KP_Enter, {0x0D, true}}, {XK_KP_Divide, {0x6F, true}}, {XK_KP_Multiply, {0x6A, false}},
        {XK_KP_Subtract, {0x6D, false}}, {XK_KP_Add, {0x6B, false}}, {XK_KP_Separator, {0x6C, false}},
        // media and browser keys
        {XF86XK_AudioMute, {0xAD, true}}, {XF86XK_AudioLowerVolume, {0xAE, true}},
        {XF86XK_AudioRaiseVolume, {0xAF, true}}, {XF86XK_AudioNext, {0xB0, true}},
        {XF86XK_AudioPrev, {0xB1, true}}, {XF86XK_AudioStop, {0xB2, true}},
        {XF86XK_AudioPlay, {0xB3, true}}, {XF86XK_Mail, {0xB4, true}},
        {XF86XK_Back, {0xA6, true}}, {XF86XK_Forward, {0xA7, true}}, {XF86XK_Refresh, {0xA8, true}},
        {XF86XK_Stop, {0xA9, true}}, {XF86XK_Search, {0xAA, true}}, {XF86XK_Favorites, {0xAB, true}},
        {XF86XK_HomePage, {0xAC, true}}, {XF86XK_Sleep, {0x5F, true}},
    };
    return table;
}

// The keypad's digit keys: with NumLock on the digits and the decimal point,
// with it off the navigation keys, not extended.
struct KeypadKey
{
    unsigned long digit;
    unsigned long navigation;
    int numLockCode;
    int navigationCode;
};

const KeypadKey kKeypad[] = {
    {XK_KP_0, XK_KP_Insert, 0x60, 0x2D}, {XK_KP_1, XK_KP_End, 0x61, 0x23},
    {XK_KP_2, XK_KP_Down, 0x62, 0x28},   {XK_KP_3, XK_KP_Next, 0x63, 0x22},
    {XK_KP_4, XK_KP_Left, 0x64, 0x25},   {XK_KP_5, XK_KP_Begin, 0x65, 0x0C},
    {XK_KP_6, XK_KP_Right, 0x66, 0x27},  {XK_KP_7, XK_KP_Home, 0x67, 0x24},
    {XK_KP_8, XK_KP_Up, 0x68, 0x26},     {XK_KP_9, XK_KP_Prior, 0x69, 0x21},
    {XK_KP_Decimal, XK_KP_Delete, 0x6E, 0x2E},
};

}  // namespace

VirtualKey virtualKeyFromKeysym(unsigned long keysym, bool numLock)
{
    if (keysym >= XK_a && keysym <= XK_z)
        return {int(0x41 + (keysym - XK_a)), false};
    if (keysym >= XK_A && keysym <= XK_Z)
        return {int(0x41 + (keysym - XK_A)), false};
    if (keysym >= XK_0 && keysym <= XK_9)
        return {int(0x30 + (keysym - XK_0)), false};
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return {int(0x70 + (keysym - XK_F1)), false};
    for (const KeypadKey& k : kKeypad)
        if (keysym == k.digit || keysym == k.navigation)
            return {numLock ? k.numLockCode : k.navigationCode, false};
    const auto it = fixedKeys().find(keysym);
    if (it != fixedKeys().end())
        return {it->second.code, it->second.extended};
    return {};
}
