#pragma once
// Handing programs, files and addresses to a Linux desktop.

#include "platform/shell.h"

class DesktopShell : public Shell
{
public:
    bool startProgram(const QString& program, const QStringList& arguments, bool elevated,
                      const QString& workingDirectory) override;
    bool openWithDesktop(const QString& urlOrPath) override;
    bool deleteFolder(const QString& path) override;
};
