#pragma once
// Handing files, programs and addresses to the desktop.

#include <QString>
#include <QStringList>

class Shell
{
public:
    virtual ~Shell() = default;

    // Starts `program` detached in `workingDirectory` (empty: the current
    // one); with `elevated`, asks the desktop for administrator rights first
    // where it can.
    virtual bool startProgram(const QString& program, const QStringList& arguments,
                              bool elevated, const QString& workingDirectory = QString()) = 0;
    // Opens an address or a file with the desktop's handler for it.
    virtual bool openWithDesktop(const QString& urlOrPath) = 0;
    // Deletes a folder and everything in it without asking; true when it is gone.
    virtual bool deleteFolder(const QString& path) = 0;
};
