#pragma once
// Crash reporting: a crash writes "<dump folder>/<guid>.dmp" and starts the
// reporter program with the dump's path. Installed once per process by the
// application object, before the single-instance probe.

#include <QString>

// Installs the handler for `dumpFolder`; later calls do nothing.
void installCrashHandler(const QString& dumpFolder);
// The reporter started after a crash. A relative name that is not a file
// here becomes <program folder>/<name>. Returns the resolved path.
QString setReporter(const QString& program);
