// The staged client as a user starts it: a page in its program folder gets
// answers from the dispatcher and moves and sizes the real window.

#include "tests/support/client_process.h"
#include "tests/support/sim_control.h"
#include "tests/support/x11_windows.h"

#include <QFile>
#include <QtTest>

class TestStagedClient : public QObject
{
    Q_OBJECT
private slots:
    void pageDrivesTheWindow()
    {
        ProgramFolder folder;
        QVERIFY(folder.isValid());
        const QString index = folder.file(QStringLiteral("view/index.html"));
        QFile::remove(index);
        QVERIFY(QFile::copy(QStringLiteral(TESK_TEST_PAGES "/window_commands.html"), index));

        ClientProcess client(folder);
        client.start();
        QVERIFY(waitUntil([&] { return findProcessWindow(client.pid()).viewable; }, 30000));
        QCOMPARE(findProcessWindow(client.pid()).width, 1100);  // the shipped clientSize
        QVERIFY(waitUntil([&] {
            const ProcessWindow w = findProcessWindow(client.pid());
            return w.width == 1200 && w.height == 750;
        }, 30000));
        QCOMPARE(client.process().state(), QProcess::Running);
    }

    // The shipped client with the shipped simulated mouse: a page lists it
    // with its product entry and writes its memory, and the mouse still
    // holds the bytes when the client starts again.
    void mouseKeepsWhatThePageWrote()
    {
        ProgramFolder folder;
        QVERIFY(folder.isValid());
        const QString index = folder.file(QStringLiteral("view/index.html"));
        const QString shippedIndex = folder.file(QStringLiteral("view/shipped.html"));
        QVERIFY(QFile::rename(index, shippedIndex));
        QVERIFY(QFile::copy(QStringLiteral(TESK_TEST_PAGES "/device_write.html"), index));
        const QString mouse = QStringLiteral("HX\\VID_F0D1&PID_0001&MI_01\\0");
        const QString readBack = QStringLiteral("read ") + mouse + QStringLiteral(" 0x1c00 3");
        {
            ClientProcess client(folder);
            client.start();
            QVERIFY(waitUntil([&] { return simControl(folder.path(), readBack) == QStringLiteral("ok 11 22 33"); }, 30000));
            client.kill();
        }
        QVERIFY(QFile::remove(index));
        QVERIFY(QFile::rename(shippedIndex, index));
        ClientProcess again(folder);
        again.start();
        QVERIFY(waitUntil([&] { return simControl(folder.path(), readBack).startsWith(QStringLiteral("ok")); }, 30000));
        QCOMPARE(simControl(folder.path(), readBack), QStringLiteral("ok 11 22 33"));
    }
};

QTEST_GUILESS_MAIN(TestStagedClient)
#include "test_staged_client.moc"
