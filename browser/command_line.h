#pragma once
// The process command line as the browser engine reads it: switches are
// "--name" or "--name=value" (one leading "-" also works). Captured by the
// entry point before any Qt object exists.

#include <QString>
#include <QStringList>

void setProcessArguments(int argc, char** argv);
const QStringList& processArguments();

bool hasSwitch(const QString& name);
QString switchValue(const QString& name);
