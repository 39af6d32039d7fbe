#pragma once
// main() for tests that make real Qt WebEngine views in their own process:
// the engine wants its settings in place before the application object.

#include <QApplication>
#include <QtTest>

#define TESK_WEBENGINE_TEST_MAIN(TestObject)                                   \
    int main(int argc, char** argv)                                            \
    {                                                                          \
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");                           \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);           \
        QApplication app(argc, argv);                                          \
        app.setQuitOnLastWindowClosed(false);                                  \
        TestObject test;                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                             \
        return QTest::qExec(&test, argc, argv);                                \
    }
