#pragma once
// What the X server knows of a process's top-level windows, read on a
// connection of the test's own (the program under test is another process).

#include <QString>
#include <QtGlobal>

struct ProcessWindow
{
    bool exists = false;
    bool viewable = false;  // mapped on the screen
    QString title;
    int width = 0, height = 0;
};

// The top-level window of process `pid` that has a title, a mapped one first.
ProcessWindow findProcessWindow(qint64 pid);

// How many top-level windows of process `pid` are mapped on the screen.
int viewableWindowCount(qint64 pid);
