#pragma once
// The programs that run on this machine, by the absolute path of their image.

#include <QSet>
#include <QString>

class ProcessList
{
public:
    virtual ~ProcessList() = default;

    // Every running program once, however many instances it has; processes
    // that cannot be read are left out.
    virtual QSet<QString> runningPrograms() const = 0;
};
