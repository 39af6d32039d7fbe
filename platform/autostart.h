#pragma once
// Starting the program when the user logs on.

#include <QString>

class Autostart
{
public:
    virtual ~Autostart() = default;

    // Creates (enabled) or removes (disabled) the log-on entry that starts
    // `programPath` with the argument "-autostart". Returns success.
    virtual bool setEnabled(bool enabled, const QString& programPath) = 0;
    virtual bool isEnabled() const = 0;
};
