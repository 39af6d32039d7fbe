// A program that links the crash module crashes on purpose in a child
// process: one fresh <guid>.dmp appears, the reporter gets the exact command
// line, the child dies of its own signal, and lldb reads the dump.

#include "tests/support/client_process.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

struct Crash
{
    int signal = 0;
    QString stderrText;
    QStringList dumps;
};

Crash crash(const QString& mode, const QString& folder, const QString& reporter, const QString& record)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("RECORD_FILE"), record);
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(CRASH_CHILD), {mode, folder, reporter});
    child.waitForFinished(20000);
    Crash c;
    c.signal = child.exitStatus() == QProcess::CrashExit ? child.exitCode() : 0;
    c.stderrText = QString::fromLocal8Bit(child.readAllStandardError());
    c.dumps = QDir(folder).entryList({QStringLiteral("*.dmp")}, QDir::Files);
    return c;
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

const QRegularExpression kDumpName(
    QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\.dmp$"));

}  // namespace

class TestCrashReporting : public QObject
{
    Q_OBJECT
private slots:
    void crashes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("signal");
        QTest::newRow("null write") << "null-write" << int(SIGSEGV);
        QTest::newRow("abort") << "abort" << int(SIGABRT);
    }
    void crashes()
    {
        QFETCH(QString, mode);
        QFETCH(int, signal);
        QTemporaryDir root;
        const QString folder = root.path() + QStringLiteral("/program folder");
        QVERIFY(QDir().mkpath(folder));
        const QString record = root.path() + QStringLiteral("/args.txt");
        // An older dump is never touched.
        QFile old(folder + QStringLiteral("/old.dmp"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();

        const Crash c = crash(mode, folder, QStringLiteral(RECORD_ARGS), record);
        QCOMPARE(c.signal, signal);
        QStringList fresh = c.dumps;
        fresh.removeAll(QStringLiteral("old.dmp"));
        QCOMPARE(fresh.size(), 1);
        QVERIFY2(kDumpName.match(fresh.first()).hasMatch(), qPrintable(fresh.first()));
        QVERIFY(waitUntil([&] { return QFile::exists(record); }, 10000));
        QTRY_COMPARE(readText(record), QStringLiteral(RECORD_ARGS) + QLatin1Char(' ') + folder
                                           + QLatin1Char('/') + fresh.first());
        QCOMPARE(QFile(folder + QLatin1Char('/') + fresh.first()).size() > 1000, true);

        // A second crash makes another, fresh dump.
        QFile::remove(record);
        const Crash again = crash(mode, folder, QStringLiteral(RECORD_ARGS), record);
        QCOMPARE(again.dumps.size(), 3);
    }

    void missingReporter()
    {
        QTemporaryDir root;
        const Crash c = crash(QStringLiteral("null-write"), root.path(),
                              root.path() + QStringLiteral("/no-reporter"), root.path() + "/r.txt");
        QCOMPARE(c.signal, int(SIGSEGV));
        QVERIFY2(c.stderrText.contains(QStringLiteral("CreateProcess failed (2).\n")), qPrintable(c.stderrText));
        QCOMPARE(c.dumps.size(), 1);
    }

    // No dump can be written: the reporter still starts, with the would-be path.
    void unwritableDumpFolder()
    {
        QTemporaryDir root;
        const QString folder = root.path() + QStringLiteral("/missing");
        const QString record = root.path() + QStringLiteral("/args.txt");
        const Crash c = crash(QStringLiteral("null-write"), folder, QStringLiteral(RECORD_ARGS), record);
        QCOMPARE(c.signal, int(SIGSEGV));
        QVERIFY(waitUntil([&] { return QFile::exists(record); }, 10000));
        QTRY_VERIFY(readText(record).startsWith(QStringLiteral(RECORD_ARGS " ") + folder + QLatin1Char('/')));
        QVERIFY(kDumpName.match(readText(record).section(QLatin1Char('/'), -1)).hasMatch());
        QVERIFY(!QFile::exists(folder));
    }

    // The staged client: a crash leaves a dump in the program folder and
    // starts the staged reporter, which reports it.
    void stagedClientCrash()
    {
        ProgramFolder folder;
        QVERIFY(folder.isValid());
        ClientProcess client(folder);
        client.start();
        QVERIFY(waitUntil([&] { return logLineCount(folder, QStringLiteral("mainwindow show!")) > 0; }, 30000));
        ::kill(pid_t(client.pid()), SIGSEGV);
        QVERIFY(client.waitForExit(20000));
        QCOMPARE(client.process().exitStatus(), QProcess::CrashExit);
        QCOMPARE(client.process().exitCode(), int(SIGSEGV));
        const QStringList dumps = QDir(folder.path()).entryList({QStringLiteral("*.dmp")}, QDir::Files);
        QCOMPARE(dumps.size(), 1);

        // Without a display the reporter says where the dump is.
        QProcess reporter;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        reporter.setProcessEnvironment(env);
        const QString dump = folder.path() + QLatin1Char('/') + dumps.first();
        reporter.start(folder.file(QStringLiteral("CrashReporter")), {dump});
        QVERIFY(reporter.waitForFinished(10000));
        QCOMPARE(reporter.exitCode(), 0);
        QVERIFY(QString::fromLocal8Bit(reporter.readAllStandardError()).contains(dump));
        // The reporter the crash started shows its dialog on the display; end it.
        QProcess::execute(QStringLiteral("pkill"), {QStringLiteral("-f"), dumps.first()});
    }

    void dumpOpensInLldb()
    {
        const QString lldb = QStandardPaths::findExecutable(QStringLiteral("lldb"));
        if (lldb.isEmpty())
            QFAIL("lldb is not installed (scripts/install-deps.sh installs it)");
        QTemporaryDir root;
        const Crash c = crash(QStringLiteral("null-write"), root.path(), QString(), root.path() + "/r.txt");
        QCOMPARE(c.dumps.size(), 1);
        QProcess debugger;
        debugger.setProcessChannelMode(QProcess::MergedChannels);
        debugger.start(lldb, {"--batch", "-o",
                              "target create " CRASH_CHILD " --core " + root.path() + "/" + c.dumps.first(),
                              "-o", "thread backtrace"});
        QVERIFY(debugger.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(debugger.readAll());
        QVERIFY2(out.contains(QStringLiteral("tesk_crash_by_null_write")), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TestCrashReporting)
#include "test_crash_reporting.moc"
