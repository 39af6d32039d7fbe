#pragma once
// The log-on entry as the desktop reads it: "brivok.desktop" in the XDG
// autostart folder ($XDG_CONFIG_HOME/autostart, else ~/.config/autostart).

#include "platform/autostart.h"

class XdgAutostart : public Autostart
{
public:
    bool setEnabled(bool enabled, const QString& programPath) override;
    bool isEnabled() const override;

    static QString entryPath();
    // The entry's text for `programPath`.
    static QString entryText(const QString& programPath);
};
