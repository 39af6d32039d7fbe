#pragma once
// main() for tests that need the real application object: the test binary
// copies itself into a private copy of the staged program folder and runs
// from there, so the application object finds its conf.xml, device library
// and page beside it, and nothing is written into the build tree.

#include "app/cefapplication.h"
#include "app/globals.h"
#include "browser/client_handler.h"
#include "browser/engine_settings.h"
#include "tests/support/program_folder.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

int relocateIntoProgramFolder(int argc, char** argv);

#define TESK_PROGRAM_FOLDER_TEST_MAIN(TestObject)                               \
    int main(int argc, char** argv)                                             \
    {                                                                           \
        if (!qEnvironmentVariableIsSet("TESK_TEST_RELOCATED"))                  \
            return relocateIntoProgramFolder(argc, argv);                       \
        prepareEngineProcess(programEngineSettings());                          \
        ClientHandler handler;                                                  \
        g_clientHandler = &handler;                                             \
        cefApplication app(argc, argv);                                         \
        g_exeDir = app.applicationDirPath() + QLatin1Char('/');                 \
        g_baseDir = g_exeDir;                                                   \
        g_application = &app;                                                   \
        int result;                                                             \
        {                                                                       \
            TestObject test;                                                    \
            QTEST_SET_MAIN_SOURCE_PATH                                          \
            result = QTest::qExec(&test, argc, argv);                           \
        }                                                                       \
        g_application = nullptr;                                                \
        g_clientHandler = nullptr;                                              \
        return result;                                                          \
    }
