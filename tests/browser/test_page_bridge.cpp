// The page-facing contract on real Qt WebEngine: cefQuery answers, the
// native query path up to the dispatcher, setMessageCallback and the six
// events, the window commands, and the rule that only pages from the
// program folder reach the native side.

#include "browser_fixture.h"

#include "browser/page_bridge.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>
#include <QtTest>

#include "tests/support/webengine_test_main.h"

#include <thread>

namespace {
// Every query text the main window received, with its callback.
struct Received
{
    QString name;
    CallbackPtr callback;
};
}  // namespace

class TestPageBridge : public QObject
{
    Q_OBJECT
    BrowserFixture f;
    QList<Received> received;

    QVariant js(const QString& script) { return f.driver.eval(script); }
    bool jsTrue(const QString& expression) { return f.driver.waitFor(expression); }
    int answerCount() { return js(QStringLiteral("answers.length")).toInt(); }
    Received* waitReceived(const QString& name)
    {
        for (int i = 0; i < 2; ++i) {
            waitUntil([&] {
                for (const auto& r : qAsConst(received))
                    if (r.name == name)
                        return true;
                return false;
            }, 10000);
        }
        for (auto& r : received)
            if (r.name == name)
                return &r;
        return nullptr;
    }
    bool reloadPage()
    {
        received.clear();
        f.driver.expectLoad();
        f.page()->triggerAction(QWebEnginePage::Reload);
        return f.driver.waitForLoad() && jsTrue(QStringLiteral("window.answers !== undefined"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(f.setUp());
        connect(f.window->webView(), &TeskWebView::jsMessage, this,
                [this](const QString& name, const CallbackPtr& cb) { received.append({name, cb}); });
        // The early query of the first load may have come before we listened.
        QVERIFY(reloadPage());
    }
    void cleanupTestCase()
    {
        QVERIFY2(f.driver.consoleErrors.isEmpty(), qPrintable(f.driver.consoleErrors.join('\n')));
        received.clear();
        f.tearDown();
    }

    void queryMadeBeforeChannelIsUp()
    {
        QVERIFY(waitReceived(QStringLiteral(R"({"funcname":"test.early"})")));
    }

    void successAndFailureReachThePage()
    {
        js(QStringLiteral(R"(q('{"funcname":"test.ok"}'); q('{"funcname":"test.fail"}'))"));
        Received* ok = waitReceived(QStringLiteral(R"({"funcname":"test.ok"})"));
        Received* fail = waitReceived(QStringLiteral(R"({"funcname":"test.fail"})"));
        QVERIFY(ok && fail);
        const QString text = QStringLiteral("héllo ✓ 鼠标 \"quoted\"\n");
        ok->callback->Success(text);
        ok->callback->Success(QStringLiteral("second answer"));  // dropped
        fail->callback->Failure(0, QStringLiteral("échec"));
        QVERIFY(jsTrue(QStringLiteral("answers.length >= 2")));
        QTest::qWait(200);
        const QJsonArray answers =
            QJsonDocument::fromJson(js(QStringLiteral("JSON.stringify(answers)")).toString().toUtf8()).array();
        QCOMPARE(answers.size(), 2);
        QCOMPARE(answers[0].toObject().value("text").toString(), text);
        QCOMPARE(answers[0].toObject().value("ok").toBool(), true);
        QCOMPARE(answers[1].toObject().value("ok").toBool(), false);
        QCOMPARE(answers[1].toObject().value("code").toInt(), 0);
        QCOMPARE(answers[1].toObject().value("text").toString(), QStringLiteral("échec"));
        js(QStringLiteral("answers.length = 0"));
    }

    void persistentQueryTakesEveryAnswer()
    {
        js(QStringLiteral(R"(q('{"funcname":"test.stream"}', true))"));
        Received* r = waitReceived(QStringLiteral(R"({"funcname":"test.stream"})"));
        QVERIFY(r);
        r->callback->Success(QStringLiteral("1"));
        r->callback->Success(QStringLiteral("2"));
        QVERIFY(jsTrue(QStringLiteral("answers.length === 2")));
        js(QStringLiteral("answers.length = 0"));
    }

    void cancelledQueriesNeverAnswer()
    {
        // Cancelled by the page.
        js(QStringLiteral(R"(cefQueryCancel(q('{"funcname":"test.cancel"}')))"));
        // Cancelled by navigation.
        js(QStringLiteral(R"(q('{"funcname":"test.nav"}'))"));
        Received* nav = waitReceived(QStringLiteral(R"({"funcname":"test.nav"})"));
        QVERIFY(nav);
        CallbackPtr held = nav->callback;
        QVERIFY(reloadPage());
        QVERIFY(held->isCancelled());
        held->Success(QStringLiteral("too late"));
        QTest::qWait(300);
        QCOMPARE(answerCount(), 0);
        // Only the new page's own early query is still waiting.
        held.reset();
        received.clear();
        QCOMPARE(f.page()->bridge()->pendingCount(), 0);
    }

    // Answers may come from any thread.
    void answerFromAnotherThread()
    {
        js(QStringLiteral(R"(q('{"funcname":"test.thread"}'))"));
        Received* r = waitReceived(QStringLiteral(R"({"funcname":"test.thread"})"));
        QVERIFY(r);
        CallbackPtr cb = r->callback;
        std::thread([cb] { cb->Success(QStringLiteral("from a thread")); }).join();
        QVERIFY(jsTrue(QStringLiteral("answers.length === 1 && answers[0].text === 'from a thread'")));
        js(QStringLiteral("answers.length = 0"));
    }

    void setMessageCallbackRules()
    {
        QVERIFY(reloadPage());
        // Wrong calls store nothing and return undefined.
        QCOMPARE(js(QStringLiteral(R"(String(setMessageCallback('onDeviceData')) + String(setMessageCallback('onDeviceData', 5)) + String(setMessageCallback(1, function(){})))")).toString(),
                 QStringLiteral("undefinedundefinedundefined"));
        // First set wins.
        js(QStringLiteral(R"(
            setMessageCallback('devicesChanged', record('devicesChanged', 'f'));
            setMessageCallback('devicesChanged', record('devicesChanged', 'g'));
            setMessageCallback('onDeviceData', record('onDeviceData', 'x'));
            setMessageCallback('navStateChanged', record('navStateChanged', 'x'));
            setMessageCallback('macroItem', record('macroItem', 'x'));
            setMessageCallback('onProcessChanged', record('onProcessChanged', 'x'));
            setMessageCallback('currentPropChanged', record('currentPropChanged', 'x'));
            setMessageCallback('custom', record('custom', 'x'));
        )"));
        g_clientHandler->devicesChanged(65535);
        g_clientHandler->navStateChanged(false, true);
        g_clientHandler->macroItem("1", "65", "65", "0");
        g_clientHandler->onProcessChanged("2", true);
        g_clientHandler->currentPropChanged(3, 4);
        QMetaObject::invokeMethod(f.page()->bridge(), [&] {
            f.page()->bridge()->sendEvent(QStringLiteral("custom"), {1});
        });
        std::thread([] { g_clientHandler->onDeviceData("0011223344556677"); }).join();

        QVERIFY(jsTrue(QStringLiteral("events.onDeviceData && events.currentPropChanged")));
        QTest::qWait(200);
        const QJsonObject events =
            QJsonDocument::fromJson(js(QStringLiteral("JSON.stringify(events)")).toString().toUtf8()).object();
        auto only = [&](const char* name) { return events.value(name).toArray(); };
        QCOMPARE(only("devicesChanged").size(), 1);
        QCOMPARE(only("devicesChanged")[0].toObject().value("tag").toString(), QStringLiteral("f"));
        QCOMPARE(only("devicesChanged")[0].toObject().value("self").toBool(), true);
        QCOMPARE(only("devicesChanged")[0].toObject().value("argc").toInt(), 1);
        QCOMPARE(only("devicesChanged")[0].toObject().value("args").toArray(), QJsonArray{65535});
        QCOMPARE(only("navStateChanged")[0].toObject().value("args").toArray(), (QJsonArray{false, true}));
        QCOMPARE(only("macroItem")[0].toObject().value("args").toArray(), (QJsonArray{"1", "65", "65", "0"}));
        QCOMPARE(only("onProcessChanged")[0].toObject().value("args").toArray(), (QJsonArray{"2", true}));
        QCOMPARE(only("currentPropChanged")[0].toObject().value("args").toArray(), (QJsonArray{3, 4}));
        QCOMPARE(only("onDeviceData")[0].toObject().value("args").toArray(), QJsonArray{"0011223344556677"});
        QVERIFY(!events.contains("custom"));

        // A reload clears the table; the new page may set another function.
        QVERIFY(reloadPage());
        g_clientHandler->devicesChanged(1);
        QTest::qWait(300);
        QCOMPARE(js(QStringLiteral("Object.keys(events).length")).toInt(), 0);
        js(QStringLiteral("setMessageCallback('devicesChanged', record('devicesChanged', 'h'))"));
        g_clientHandler->devicesChanged(2);
        QVERIFY(jsTrue(QStringLiteral("events.devicesChanged && events.devicesChanged[0].tag === 'h'")));
    }

    // A sub-frame of the page shares the top frame's tables: the first of
    // them to set a name keeps it; its queries are answered in the frame.
    void subFrameGoesThroughTheTopFrame()
    {
        QVERIFY(reloadPage());
        const QString sub = QStringLiteral("document.getElementById('sub').contentWindow.");
        QVERIFY(jsTrue(sub + QStringLiteral("subQuery !== undefined")));
        js(sub + QStringLiteral("setMessageCallback('onDeviceData', function (a) { this.events.d = a; })"));
        js(QStringLiteral("setMessageCallback('onDeviceData', record('onDeviceData', 'top'))"));
        g_clientHandler->onDeviceData(QStringLiteral("ff"));
        QVERIFY(jsTrue(sub + QStringLiteral("events.d && ") + sub + QStringLiteral("events.d[0] === 'ff'")));
        QVERIFY(!js(QStringLiteral("!!events.onDeviceData")).toBool());

        js(sub + QStringLiteral(R"(subQuery('{"funcname":"test.sub"}'))"));
        Received* r = waitReceived(QStringLiteral(R"({"funcname":"test.sub"})"));
        QVERIFY(r);
        r->callback->Success(QStringLiteral("to the frame"));
        QVERIFY(jsTrue(sub + QStringLiteral("answers[0] === 'to the frame'")));
    }

    void moveWindow_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<bool>("moves");
        QTest::newRow("four numbers") << "moveWindow:10,-5,900,650" << true;
        QTest::newRow("other separator") << "moveWindow,10,-5,900,650" << true;
        QTest::newRow("blanks and signs") << "moveWindow: 10, -5,+900, 650" << true;
        QTest::newRow("three") << "moveWindow:10,-5,900" << false;
        QTest::newRow("five") << "moveWindow:10,-5,900,650,1" << false;
        QTest::newRow("non-number") << "moveWindow:10,x,900,650" << false;
        QTest::newRow("out of range") << "moveWindow:10,-5,900,99999999999" << false;
    }
    void moveWindow()
    {
        QFETCH(QString, request);
        QFETCH(bool, moves);
        f.window->setGeometry(100, 100, 800, 600);
        QTRY_COMPARE(f.window->geometry(), QRect(100, 100, 800, 600));
        js(QStringLiteral("answers.length = 0; q(%1)").arg(QString::fromUtf8(QJsonDocument(QJsonArray{request}).toJson()).mid(1).chopped(2)));
        if (moves) {
            QVERIFY(jsTrue(QStringLiteral("answers.length === 1 && answers[0].ok && answers[0].text === ''")));
            QTRY_COMPARE(f.window->geometry(), QRect(110, 95, 900, 650));
        } else {
            QTest::qWait(300);
            QCOMPARE(answerCount(), 0);
            QCOMPARE(f.window->geometry(), QRect(100, 100, 800, 600));
        }
        QVERIFY(received.isEmpty() || !received.last().name.startsWith(request));
    }

    void moveWindowLaterInTheTextIsACommand()
    {
        received.clear();
        js(QStringLiteral(R"(q('{"funcname":"moveWindow:1,2,3,4"}'))"));
        QVERIFY(waitReceived(QStringLiteral(R"({"funcname":"moveWindow:1,2,3,4"})")));
    }

    void minimiseTwiceToggles()
    {
        js(QStringLiteral(R"(answers.length = 0; q('{"funcname":"minisizeWindow"}'))"));
        QTRY_VERIFY(f.window->windowState() & Qt::WindowMinimized);
        js(QStringLiteral(R"(q('{"funcname":"minisizeWindow"}'))"));
        QTRY_VERIFY(!(f.window->windowState() & Qt::WindowMinimized));
        QVERIFY(jsTrue(QStringLiteral("answers.length === 2")));
    }

    void maximiseThenRestore()
    {
        f.window->setGeometry(120, 80, 800, 600);
        QTRY_COMPARE(f.window->geometry(), QRect(120, 80, 800, 600));
        js(QStringLiteral(R"(answers.length = 0; q('{"funcname":"maxsizeWindow"}'))"));
        const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
        QTRY_COMPARE(f.window->geometry(), work);
        js(QStringLiteral(R"(q('{"funcname":"restoreWindow"}'))"));
        QTRY_COMPARE(f.window->geometry(), QRect(120, 80, 800, 600));
        // With a space it is a command for the dispatcher, not a window command.
        received.clear();
        js(QStringLiteral(R"(q('{"funcname": "maxsizeWindow"}'))"));
        QVERIFY(waitReceived(QStringLiteral(R"({"funcname": "maxsizeWindow"})")));
        QCOMPARE(f.window->geometry(), QRect(120, 80, 800, 600));
        QCOMPARE(answerCount(), 0);
    }

    void navigationCommandsAnswer()
    {
        js(QStringLiteral(R"(answers.length = 0; q('{"funcname":"goback"}'); q('{"funcname":"goforward"}'))"));
        QVERIFY(jsTrue(QStringLiteral("answers.length === 2")));
        QCOMPARE(js(QStringLiteral("answers.map(a => a.text).sort().join()")).toString(),
                 QStringLiteral("goback,goforward"));
        // Unknown names, wrong case and non-objects are never answered.
        js(QStringLiteral(R"(answers.length = 0; q('{"funcname":"GetDevicesList"}'); q('[1,2]'); q('"goback"'); q('{"x":1}'); q('not json'))"));
        QTest::qWait(400);
        QCOMPARE(answerCount(), 0);
    }

    // A profile command from the page, through the real dispatcher.
    void profileCommandFromThePage()
    {
        js(QStringLiteral("answers.length = 0; q(JSON.stringify({funcname: 'queryProfile', filePath: 'view/profile.xml', xpath: '//mode'}))"));
        QVERIFY(jsTrue(QStringLiteral("answers.length === 1")));
        QCOMPARE(js(QStringLiteral("answers[0].text")).toString(),
                 QStringLiteral("<mode index=\"0\" dpi=\"800\">鼠标</mode>\n"));
    }

    // A page from outside the program folder gets no bridge, and even a
    // hand-made channel client there is never dispatched.
    void foreignPageCannotDispatch()
    {
        QTemporaryDir elsewhere;
        QVERIFY(QFile::copy(QStringLiteral(TESK_TEST_PAGES "/foreign.html"),
                            elsewhere.filePath(QStringLiteral("foreign.html"))));
        received.clear();
        f.driver.expectLoad();
        f.page()->load(QUrl::fromLocalFile(elsewhere.filePath(QStringLiteral("foreign.html"))));
        QVERIFY(f.driver.waitForLoad());
        QCOMPARE(js(QStringLiteral("typeof cefQuery + typeof setMessageCallback")).toString(),
                 QStringLiteral("undefinedundefined"));
        QFile channelJs(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        QVERIFY(channelJs.open(QIODevice::ReadOnly));
        js(QString::fromUtf8(channelJs.readAll()) + QStringLiteral(R"(;
            new QWebChannel(qt.webChannelTransport, function (ch) {
                ch.objects.teskRouter.query(1, '{"funcname":"goback"}', false);
                window.tried = true;
            });)"));
        QVERIFY(jsTrue(QStringLiteral("window.tried === true")));
        QTest::qWait(300);
        QVERIFY(received.isEmpty());

        f.driver.expectLoad();
        f.page()->load(mainPageUrl());
        QVERIFY(f.driver.waitForLoad());
    }
};

TESK_WEBENGINE_TEST_MAIN(TestPageBridge)
#include "test_page_bridge.moc"
