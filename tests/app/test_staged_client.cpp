// The staged client as a user starts it: a page in its program folder gets
// answers from the dispatcher and moves and sizes the real window.

#include "tests/support/client_process.h"
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
};

QTEST_GUILESS_MAIN(TestStagedClient)
#include "test_staged_client.moc"
