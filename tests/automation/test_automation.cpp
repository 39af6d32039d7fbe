// The macro recorder, the process monitor and the global hot keys on the
// real X server, with their events arriving at a real page.

#include "app/global_shortcut.h"
#include "automation/hook_handler.h"
#include "automation/process_moniter.h"
#include "platform/keyboard_hook.h"
#include "platform/linux/x11_key_codes.h"
#include "platform/platform.h"
#include "tests/browser/browser_fixture.h"
#include "tests/support/x11_keys.h"

#include <QSignalSpy>
#include <QtTest>

#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "tests/support/webengine_test_main.h"

namespace {

// Lets a test play key events into the recorder as the system would.
class FakeKeyboardHook : public KeyboardHook
{
public:
    Handler handler;
    int starts = 0;
    bool start(Handler h) override
    {
        handler = std::move(h);
        ++starts;
        return true;
    }
    void stop() override { handler = nullptr; }
    void key(int vk, bool pressed, bool extended = false)
    {
        if (handler)
            handler(KeyEvent{vk, extended, pressed});
    }
};

}  // namespace

class TestAutomation : public QObject
{
    Q_OBJECT
    BrowserFixture f;
    Display* m_display = nullptr;

    QVariantList items() { return f.driver.eval(QStringLiteral("events.macroItem")).toList(); }
    void clearEvents() { f.driver.eval(QStringLiteral("events.macroItem = []; events.onProcessChanged = []; true")); }
    // The recorded items without the delay values, which depend on timing.
    QStringList shape()
    {
        QStringList out;
        for (const QVariant& item : items()) {
            QStringList fields = item.toStringList();
            if (fields.value(0) == QLatin1String("2"))
                fields[1] = QStringLiteral("d");
            out << fields.join(QLatin1Char(' '));
        }
        return out;
    }
    bool waitForItems(int n) { return f.driver.waitFor(QStringLiteral("events.macroItem.length >= %1").arg(n)); }

private slots:
    void initTestCase()
    {
        qputenv("TESK_PROCESS_POLL_MS", "100");
        QVERIFY(f.setUp());
        m_display = XOpenDisplay(nullptr);
        QVERIFY(m_display);
    }
    void cleanupTestCase()
    {
        hook_handler::stopRecording();
        platform::setKeyboardHook(nullptr);
        XCloseDisplay(m_display);
        f.tearDown();
    }

    void keyCodeTable_data()
    {
        QTest::addColumn<qulonglong>("keysym");
        QTest::addColumn<bool>("numLock");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("extended");
        const struct { const char* name; unsigned long sym; bool numLock; int code; bool ext; } rows[] = {
            {"a", XK_a, false, 0x41, false},           {"Z", XK_Z, false, 0x5A, false},
            {"7", XK_7, false, 0x37, false},           {"F1", XK_F1, false, 0x70, false},
            {"F24", XK_F24, false, 0x87, false},       {"Return", XK_Return, false, 0x0D, false},
            {"KP_Enter", XK_KP_Enter, false, 0x0D, true}, {"space", XK_space, false, 0x20, false},
            {"Escape", XK_Escape, false, 0x1B, false}, {"Tab", XK_Tab, false, 0x09, false},
            {"Shift_L", XK_Shift_L, false, 0xA0, false}, {"Shift_R", XK_Shift_R, false, 0xA1, false},
            {"Control_L", XK_Control_L, false, 0xA2, false}, {"Control_R", XK_Control_R, false, 0xA3, true},
            {"Alt_L", XK_Alt_L, false, 0xA4, false},   {"Alt_R", XK_Alt_R, false, 0xA5, true},
            {"AltGr", XK_ISO_Level3_Shift, false, 0xA5, true},
            {"Super_L", XK_Super_L, false, 0x5B, true}, {"Super_R", XK_Super_R, false, 0x5C, true},
            {"Menu", XK_Menu, false, 0x5D, true},
            {"Insert", XK_Insert, false, 0x2D, true},  {"Delete", XK_Delete, false, 0x2E, true},
            {"Home", XK_Home, false, 0x24, true},      {"End", XK_End, false, 0x23, true},
            {"Prior", XK_Prior, false, 0x21, true},    {"Next", XK_Next, false, 0x22, true},
            {"Left", XK_Left, false, 0x25, true},      {"Up", XK_Up, false, 0x26, true},
            {"Right", XK_Right, false, 0x27, true},    {"Down", XK_Down, false, 0x28, true},
            {"KP_Home numlock off", XK_KP_Home, false, 0x24, false},
            {"KP_Home numlock on", XK_KP_Home, true, 0x67, false},
            {"KP_7 numlock on", XK_KP_7, true, 0x67, false},
            {"KP_Insert numlock off", XK_KP_Insert, false, 0x2D, false},
            {"KP_0 numlock on", XK_KP_0, true, 0x60, false},
            {"KP_Begin numlock off", XK_KP_Begin, false, 0x0C, false},
            {"KP_Delete numlock off", XK_KP_Delete, false, 0x2E, false},
            {"KP_Decimal numlock on", XK_KP_Decimal, true, 0x6E, false},
            {"KP_Divide", XK_KP_Divide, false, 0x6F, true}, {"KP_Multiply", XK_KP_Multiply, true, 0x6A, false},
            {"KP_Add", XK_KP_Add, false, 0x6B, false}, {"KP_Subtract", XK_KP_Subtract, false, 0x6D, false},
            {"Num_Lock", XK_Num_Lock, false, 0x90, true}, {"Caps_Lock", XK_Caps_Lock, false, 0x14, false},
            {"Print", XK_Print, false, 0x2C, true},    {"Pause", XK_Pause, false, 0x13, false},
            {"semicolon", XK_semicolon, false, 0xBA, false}, {"grave", XK_grave, false, 0xC0, false},
            {"less (ISO key)", XK_less, false, 0xE2, false},
            {"AudioMute", XF86XK_AudioMute, false, 0xAD, true},
            {"unknown", XK_Hyper_L, false, 0, false},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << qulonglong(r.sym) << r.numLock << r.code << r.ext;
    }
    void keyCodeTable()
    {
        QFETCH(qulonglong, keysym);
        QFETCH(bool, numLock);
        const VirtualKey vk = virtualKeyFromKeysym(keysym, numLock);
        QTEST(vk.code, "code");
        QTEST(vk.extended, "extended");
    }

    void recorderItemSequence()
    {
        auto* hook = new FakeKeyboardHook;
        platform::setKeyboardHook(hook);
        struct Restore { ~Restore() { platform::setKeyboardHook(nullptr); } } restore;
        hook->key(0x42, true);  // B held down before recording starts
        QVERIFY(hook_handler::startRecording());
        clearEvents();
        hook->key(0x41, true);   // A: no delay before the first key-down
        hook->key(0x41, true);   // auto-repeat: nothing
        hook->key(0x41, false);  // delay, key-up
        hook->key(0x0D, true, true);
        hook->key(0x0D, false, true);
        QVERIFY(waitForItems(7));
        QCOMPARE(shape(), QStringList({"0 1 65 0", "2 d 0 0", "0 0 65 0", "2 d 0 0", "0 1 13 1", "2 d 0 0", "0 0 13 1"}));
        for (const QVariant& item : items())
            QCOMPARE(item.toList().first().type(), QVariant::String);

        // A second start replaces the first and restarts timing; a key held
        // when recording stopped still counts as held.
        hook->key(0x43, true);
        hook_handler::stopRecording();
        QVERIFY(hook_handler::startRecording());
        QCOMPARE(hook->starts, 2);
        clearEvents();
        hook->key(0x43, true);   // still held: not recorded
        hook->key(0x43, false);  // delay + key-up only
        hook->key(0x44, true);   // the first key-down after the start: no delay
        QVERIFY(waitForItems(3));
        QCOMPARE(shape(), QStringList({"2 d 0 0", "0 0 67 0", "0 1 68 0"}));
        hook->key(0x44, false);
        QVERIFY(waitForItems(5));
        hook_handler::stopRecording();
        hook->key(0x45, true);  // not recording: nothing
        QTest::qWait(100);
        QCOMPARE(items().size(), 5);
        hook_handler::heldKeys.clear();
    }

    void recorderOnTheXServer()
    {
        QVERIFY(hook_handler::startRecording());
        QTest::qWait(200);
        clearEvents();
        fakeKey(m_display, XK_a, true);
        QTest::qWait(120);
        fakeKey(m_display, XK_a, false);
        tapKey(m_display, XK_KP_Enter);
        tapKey(m_display, XK_Control_R);
        QVERIFY(waitForItems(11));
        QCOMPARE(shape(), QStringList({"0 1 65 0", "2 d 0 0", "0 0 65 0", "2 d 0 0", "0 1 13 1", "2 d 0 0",
                                       "0 0 13 1", "2 d 0 0", "0 1 163 1", "2 d 0 0", "0 0 163 1"}));
        QVERIFY(items().at(1).toStringList().at(1).toInt() >= 100);  // the time A was held
        hook_handler::stopRecording();
        QTest::qWait(100);
        tapKey(m_display, XK_b);
        QTest::qWait(200);
        QCOMPARE(items().size(), 11);
    }

    void hotKeysFireWithAndWithoutNumLock()
    {
        GlobalShortcut first, second;
        QSignalSpy firstFired(&first, &GlobalShortcut::activated);
        QSignalSpy secondFired(&second, &GlobalShortcut::activated);
        QVERIFY(first.setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+K"))));
        QVERIFY(!second.setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+K"))));  // already bound
        auto press = [&] {
            fakeKey(m_display, XK_Control_L, true);
            fakeKey(m_display, XK_Alt_L, true);
            tapKey(m_display, XK_k);
            fakeKey(m_display, XK_Alt_L, false);
            fakeKey(m_display, XK_Control_L, false);
        };
        press();
        QTRY_COMPARE(firstFired.count(), 1);
        tapKey(m_display, XK_Num_Lock);
        XkbStateRec state;
        QCOMPARE(XkbGetState(m_display, XkbUseCoreKbd, &state), Success);
        QVERIFY(state.locked_mods & Mod2Mask);  // NumLock is on now
        press();
        QTRY_COMPARE(firstFired.count(), 2);
        tapKey(m_display, XK_Num_Lock);
        QCOMPARE(secondFired.count(), 0);

        // Rebinding releases the old combination.
        QVERIFY(first.setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+J"))));
        QVERIFY(second.setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+K"))));
        press();
        QTRY_COMPARE(secondFired.count(), 1);
        QCOMPARE(firstFired.count(), 2);
    }

    void monitorReportsBoundPrograms()
    {
        const QString helper = f.folder() + QStringLiteral("/bound helper");
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), helper));
        QFile::setPermissions(helper, QFile::permissions(QStringLiteral("/bin/sleep")));
        QDir().mkpath(f.folder() + QStringLiteral("/view/xml"));
        QFile conf(f.folder() + QStringLiteral("/view/xml/configuration.xml"));
        QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write("<?xml version=\"1.0\"?>\n<conf><modeSetting><modes>\n"
                   "<mode index=\"1\" bindingProcess=\"" + helper.toUtf8() + "\"/>\n"
                   "<mode index=\"2\" bindingProcess=\"\"/>\n"
                   "<mode index=\"3\" bindingProcess=\"" + helper.toUpper().toUtf8() + "\"/>\n"
                   "<mode index=\"4\" bindingProcess=\"" + helper.toUtf8() + "\"/>\n"
                   "</modes></modeSetting></conf>\n");
        conf.close();
        clearEvents();
        f.window->restartProcessMonitor();
        QTest::qWait(300);
        QProcess one, two;
        one.start(helper, {QStringLiteral("30")});
        two.start(helper, {QStringLiteral("30")});  // two instances count once
        QVERIFY(one.waitForStarted() && two.waitForStarted());
        QVERIFY(f.driver.waitFor(QStringLiteral("events.onProcessChanged.length >= 1")));
        one.kill();
        one.waitForFinished();
        QTest::qWait(400);
        two.kill();
        two.waitForFinished();
        QVERIFY(f.driver.waitFor(QStringLiteral("events.onProcessChanged.length >= 2")));
        QTest::qWait(300);
        // The later "mode" of the same path wins; the upper-case path never matches.
        QCOMPARE(f.driver.eval(QStringLiteral("JSON.stringify(events.onProcessChanged)")).toString(),
                 QStringLiteral("[[\"4\",true],[\"4\",false]]"));
        f.window->stopProcessMonitor();
    }

    void monitorWithoutBindingsReturnsAtOnce()
    {
        QFile::remove(f.folder() + QStringLiteral("/view/xml/configuration.xml"));
        QThread thread;
        ProcessMoniter monitor(&thread, 60000);
        QElapsedTimer clock;
        clock.start();
        monitor.start();
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(monitor.bindings.isEmpty());
    }
};

TESK_WEBENGINE_TEST_MAIN(TestAutomation)
#include "test_automation.moc"
