#include "app/globals.h"

#include <QCoreApplication>

cefApplication* g_application = nullptr;
bool g_quitRequested = false;
QString g_exeDir;
QString g_baseDir;

void quitOnce()
{
    if (g_quitRequested)
        return;
    g_quitRequested = true;
    if (g_application)
        QCoreApplication::quit();
}
