#pragma once
// A command family whose work is not available in this build: its commands
// are recognised and checked, and answer nothing.

#include "commands/command_family.h"

class SilentCommands : public CommandFamily
{
public:
    void run(const QString&, const QVariantMap&, const CallbackPtr&) override {}
};
