// Only one copy runs: a second start asks the running copy to come forward
// and quits. Tested on the wire format and with real copies of the program
// started from a private program folder on the test's X server.

#include "app/cefapplication.h"
#include "app/instance_messages.h"
#include "tests/support/client_process.h"
#include "tests/support/x11_windows.h"

#include <QFile>
#include <QLocalSocket>
#include <QtTest>

namespace {

const QString kShown = QStringLiteral("mainwindow show!");

QString socketPath(const ProgramFolder& folder)
{
    return folder.tempPath() + QLatin1Char('/') + QString::fromLatin1(kInstanceName);
}

// Starts a copy and waits until it runs as the single instance.
bool startRunningCopy(ClientProcess& client, const ProgramFolder& folder,
                      const QStringList& args = {}, int shownBefore = 0)
{
    client.start(args);
    return waitUntil([&] { return logLineCount(folder, kShown) > shownBefore; })
           && waitUntil([&] { return findProcessWindow(client.pid()).exists; });
}

QByteArray readFor(QLocalSocket& socket, int ms)
{
    QByteArray got;
    waitUntil([&] {
        got += socket.readAll();
        return false;
    }, ms);
    return got + socket.readAll();
}

}  // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void commandScan_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QByteArray>("rest");
        QTest::newRow("one") << QByteArray("CMD:show;") << QStringList{"show"} << QByteArray();
        QTest::newRow("two in one read") << QByteArray("CMD:show;CMD:show;")
                                         << QStringList{"show", "show"} << QByteArray();
        QTest::newRow("unfinished waits whole") << QByteArray("CMD:sh") << QStringList()
                                                << QByteArray("CMD:sh");
        QTest::newRow("finished and unfinished") << QByteArray("CMD:show;CMD:sh")
                                                 << QStringList{"show"} << QByteArray("CMD:sh");
        QTest::newRow("no prefix: no command") << QByteArray("show;cmd:show;") << QStringList()
                                               << QByteArray();
        QTest::newRow("other command") << QByteArray("CMD:ping;") << QStringList{"ping"}
                                       << QByteArray();
        QTest::newRow("empty message") << QByteArray(";;CMD:;") << QStringList{""} << QByteArray();
    }
    void commandScan()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(QStringList, commands);
        QFETCH(QByteArray, rest);
        const InstanceCommandScan scan = scanInstanceCommands(buffer);
        QCOMPARE(scan.commands, commands);
        QCOMPARE(scan.rest, rest);
    }

    void replyParse_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<quint64>("pid");
        QTest::newRow("answer") << "RES:5120;" << true << quint64(5120);
        QTest::newRow("split, first half") << "RES:51" << false << quint64(0);
        QTest::newRow("two answers read as 0") << "RES:5120;RES:5120;" << true << quint64(0);
        QTest::newRow("trailing bytes read as 0") << "RES:5120;x" << true << quint64(0);
        QTest::newRow("not digits") << "RES:abc;" << false << quint64(0);
    }
    void replyParse()
    {
        QFETCH(QString, reply);
        QFETCH(bool, complete);
        QFETCH(quint64, pid);
        quint64 got = 99;
        QCOMPARE(parseInstanceReply(reply, &got), complete);
        if (complete)
            QCOMPARE(got, pid);
        QCOMPARE(instanceReply(5120), QByteArray("RES:5120;"));
    }

    // A copy started at log-on stays hidden; a second start brings its window
    // up and quits without making a window of its own.
    void secondStartHandsOver()
    {
        ProgramFolder folder;
        QVERIFY(folder.isValid());
        ClientProcess first(folder);
        QVERIFY(startRunningCopy(first, folder, {QStringLiteral("-autostart")}));
        QTest::qWait(300);
        QVERIFY(!findProcessWindow(first.pid()).viewable);

        ClientProcess second(folder);
        second.start();
        QVERIFY(second.waitForExit(15000));
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);

        QVERIFY(waitUntil([&] { return findProcessWindow(first.pid()).viewable; }));
        QCOMPARE(findProcessWindow(first.pid()).title, QStringLiteral("tesk"));
        QCOMPARE(first.process().state(), QProcess::Running);
        QCOMPARE(logLineCount(folder, kShown), 1);
    }

    // Only the exact argument "-autostart" starts hidden.
    void autostartArgument_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("shown");
        QTest::newRow("exact") << "-autostart" << false;
        QTest::newRow("other case") << "-Autostart" << true;
        QTest::newRow("longer") << "-autostart2" << true;
    }
    void autostartArgument()
    {
        QFETCH(QString, argument);
        QFETCH(bool, shown);
        ProgramFolder folder;
        ClientProcess client(folder);
        QVERIFY(startRunningCopy(client, folder, {argument}));
        if (shown)
            QVERIFY(waitUntil([&] { return findProcessWindow(client.pid()).viewable; }));
        QTest::qWait(300);
        QCOMPARE(findProcessWindow(client.pid()).viewable, shown);
    }

    // The running copy's side of the wire, with a raw client.
    void rawClientMessages()
    {
        ProgramFolder folder;
        ClientProcess running(folder);
        QVERIFY(startRunningCopy(running, folder));
        const QByteArray answer = "RES:" + QByteArray::number(running.pid()) + ';';

        QLocalSocket socket;
        socket.connectToServer(socketPath(folder));
        QVERIFY(socket.waitForConnected(5000));

        socket.write("CMD:show;CMD:show;");
        QCOMPARE(readFor(socket, 500), answer + answer);

        socket.write("CMD:sh");
        QCOMPARE(readFor(socket, 400), QByteArray());
        socket.write("ow;");
        QCOMPARE(readFor(socket, 500), answer);

        socket.write("show;");
        QCOMPARE(readFor(socket, 400), QByteArray());
        socket.write("CMD:ping;");
        QCOMPARE(readFor(socket, 500), answer);

        // A client that goes away is dropped; the server goes on answering.
        socket.disconnectFromServer();
        QLocalSocket again;
        again.connectToServer(socketPath(folder));
        QVERIFY(again.waitForConnected(5000));
        again.write("CMD:show;");
        QCOMPARE(readFor(again, 500), answer);
    }

    // A copy that died leaves its socket file; the next start still runs.
    void staleSocketAfterCrash()
    {
        ProgramFolder folder;
        {
            ClientProcess crashed(folder);
            QVERIFY(startRunningCopy(crashed, folder));
            crashed.kill();
        }
        QVERIFY(QFile::exists(socketPath(folder)));

        ClientProcess next(folder);
        QVERIFY(startRunningCopy(next, folder, {}, 1));
        QVERIFY(waitUntil([&] { return findProcessWindow(next.pid()).viewable; }));
        QCOMPARE(next.process().state(), QProcess::Running);

        // And it is the single instance now: a further start hands over.
        ClientProcess third(folder);
        third.start();
        QVERIFY(third.waitForExit(15000));
        QCOMPARE(logLineCount(folder, kShown), 2);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
