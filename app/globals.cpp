#include "app/globals.h"

#include <QCoreApplication>

cefApplication* g_application = nullptr;
bool g_quitRequested = false;
QString g_exeDir;
QString g_baseDir;

QString exeDir()
{
    return g_exeDir.isEmpty() ? QCoreApplication::applicationDirPath() + QLatin1Char('/') : g_exeDir;
}

QString baseDir()
{
    return g_baseDir.isEmpty() ? exeDir() : g_baseDir;
}

void quitOnce()
{
    if (g_quitRequested)
        return;
    g_quitRequested = true;
    if (g_application)
        QCoreApplication::quit();
}
