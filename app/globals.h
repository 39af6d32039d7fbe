#pragma once
// Process-wide values shared by the application shell and the parts it
// starts. All are read and written on the Qt main thread.

#include <QString>

class cefApplication;

extern cefApplication* g_application;
// Set by the first request to end the program; later requests do nothing.
extern bool g_quitRequested;
// The program folder followed by "/", base of every file path of the program.
extern QString g_exeDir;
extern QString g_baseDir;

// g_exeDir and g_baseDir, or the application's own folder followed by "/"
// while they are not set yet (before init(), and in tests).
QString exeDir();
QString baseDir();

// Ends the event loop, once.
void quitOnce();
