#pragma once
// Settings, system and user-interface commands.

#include "commands/command_family.h"

class tesk;

class SettingsCommands : public CommandFamily
{
public:
    explicit SettingsCommands(tesk& window);
    void run(const QString& funcname, const QVariantMap& params,
             const CallbackPtr& callback) override;

private:
    void getConf(const CallbackPtr& callback);
    void setConf(const QVariantMap& params, const CallbackPtr& callback);

    tesk& m_window;
};
