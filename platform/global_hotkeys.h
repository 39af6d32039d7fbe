#pragma once
// System-wide hot keys: a key with modifiers that fires whatever program
// has the focus.

#include <QKeySequence>

#include <functional>

class GlobalHotkeys
{
public:
    virtual ~GlobalHotkeys() = default;

    // Binds the first key of `keys` with its modifiers; `pressed` runs on
    // the main thread. Returns an identifier, or 0 when the combination is
    // already bound (by this program or another) or the system refuses it.
    virtual int bind(const QKeySequence& keys, std::function<void()> pressed) = 0;
    virtual void release(int id) = 0;
};
