// The staged client as a user starts it: a page in its program folder gets
// answers from the dispatcher and moves and sizes the real window.

#include "tests/support/client_process.h"
#include "tests/support/sim_control.h"
#include "tests/support/x11_keys.h"
#include "tests/support/x11_windows.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

QString attributeOf(const QString& file, const QString& name)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QString text = QString::fromUtf8(f.readAll());
    const QString marker = name + QStringLiteral("=\"");
    const int at = text.indexOf(marker);
    if (at < 0)
        return QString();
    const int start = at + marker.size();
    return text.mid(start, text.indexOf(QLatin1Char('"'), start) - start).replace(QStringLiteral("&quot;"), QStringLiteral("\""));
}

}  // namespace

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

    // A page of the staged client records a macro typed on the X server,
    // hears about a bound program starting and stopping, and the conf hot
    // key toggles the pop-up window.
    void pageRecordsMacrosAndWatchesPrograms()
    {
        ProgramFolder folder;
        QVERIFY(folder.isValid());
        const QString index = folder.file(QStringLiteral("view/index.html"));
        QFile::remove(index);
        QVERIFY(QFile::copy(QStringLiteral(TESK_TEST_PAGES "/automation.html"), index));
        const QString helper = folder.file(QStringLiteral("game"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), helper));
        QFile::setPermissions(helper, QFile::permissions(QStringLiteral("/bin/sleep")));
        QDir().mkpath(folder.file(QStringLiteral("view/xml")));
        QFile conf(folder.file(QStringLiteral("view/xml/configuration.xml")));
        QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write("<?xml version=\"1.0\"?>\n<conf><modeSetting><modes><mode index=\"2\" bindingProcess=\""
                   + helper.toUtf8() + "\"/></modes></modeSetting></conf>\n");
        conf.close();
        QFile results(folder.file(QStringLiteral("view/xml/results.xml")));
        QVERIFY(results.open(QIODevice::WriteOnly));
        results.write("<?xml version=\"1.0\"?>\n<results recording=\"\" items=\"\" changes=\"\" />\n");
        results.close();
        const QString resultFile = folder.file(QStringLiteral("view/xml/results.xml"));

        ClientProcess client(folder);
        QProcessEnvironment env = folder.environment();
        env.insert(QStringLiteral("TESK_PROCESS_POLL_MS"), QStringLiteral("200"));
        client.process().setProcessEnvironment(env);
        client.start();
        QVERIFY(waitUntil([&] { return findProcessWindow(client.pid()).viewable; }, 30000));
        QVERIFY(waitUntil([&] { return attributeOf(resultFile, QStringLiteral("recording")) == QStringLiteral("yes"); }, 30000));

        Display* d = XOpenDisplay(nullptr);
        QVERIFY(d);
        QTest::qWait(300);
        fakeKey(d, XK_q, true);
        QTest::qWait(50);
        fakeKey(d, XK_q, false);
        QVERIFY(waitUntil([&] { return !attributeOf(resultFile, QStringLiteral("items")).isEmpty(); }, 15000));
        const QJsonArray items = QJsonDocument::fromJson(attributeOf(resultFile, QStringLiteral("items")).toUtf8()).array();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items.at(0).toArray(), QJsonArray({"0", "1", "81", "0"}));
        QCOMPARE(items.at(1).toArray().at(0).toString(), QStringLiteral("2"));
        QCOMPARE(items.at(2).toArray(), QJsonArray({"0", "0", "81", "0"}));

        QProcess game;
        game.start(helper, {QStringLiteral("30")});
        QVERIFY(game.waitForStarted());
        QVERIFY(waitUntil([&] { return attributeOf(resultFile, QStringLiteral("changes")).contains(QStringLiteral("true")); }, 15000));
        game.kill();
        game.waitForFinished();
        QVERIFY(waitUntil([&] { return attributeOf(resultFile, QStringLiteral("changes")).contains(QStringLiteral("false")); }, 15000));
        QCOMPARE(attributeOf(resultFile, QStringLiteral("changes")), QStringLiteral("[[\"2\",true],[\"2\",false]]"));

        // Ctrl+Alt+M from the shipped conf.xml shows the pop-up, and hides it again.
        const int windows = viewableWindowCount(client.pid());
        auto hotKey = [&] {
            fakeKey(d, XK_Control_L, true);
            fakeKey(d, XK_Alt_L, true);
            fakeKey(d, XK_m, true);
            fakeKey(d, XK_m, false);
            fakeKey(d, XK_Alt_L, false);
            fakeKey(d, XK_Control_L, false);
        };
        hotKey();
        QVERIFY(waitUntil([&] { return viewableWindowCount(client.pid()) == windows + 1; }, 15000));
        hotKey();
        QVERIFY(waitUntil([&] { return viewableWindowCount(client.pid()) == windows; }, 15000));
        XCloseDisplay(d);
    }
};

QTEST_GUILESS_MAIN(TestStagedClient)
#include "test_staged_client.moc"
