// The settings, system and user-interface commands through the real
// dispatcher, with the real application object and its conf.xml in a
// private program folder, real X11 hot keys and pointer control, the XDG
// autostart entry and the tray menu.

#include "app/cefapplication.h"
#include "app/global_shortcut.h"
#include "app/system_tray.h"
#include "automation/process_moniter.h"
#include "commands/tesk.h"
#include "platform/mouse_settings.h"
#include "platform/platform.h"
#include "tests/support/recording_mouse_settings.h"
#include "tests/support/program_folder_test_main.h"

#include <QAction>
#include <QLineEdit>
#include <QDir>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>
#include <QtTest>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

struct Answer
{
    int count = 0;
    bool ok = false;
    QString text;
};

QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace

class TestSettingsCommands : public QObject
{
    Q_OBJECT
    std::unique_ptr<tesk> m_window;
    std::shared_ptr<Answer> m_last;

    QString confFile() const { return g_application->confFilePath(); }
    QString autostartEntry() const
    {
        return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/autostart/brivok.desktop");
    }

    // Dispatches one request; the answer may come later (dialogs), so the
    // record is shared with the callback.
    std::shared_ptr<Answer> send(const QVariantMap& params)
    {
        auto answer = std::make_shared<Answer>();
        auto callback = std::make_shared<QueryCallback>([answer](bool ok, int, const QString& text) {
            if (answer->count++ == 0) {
                answer->ok = ok;
                answer->text = text;
            }
        }, true);
        m_window->dispatchCommand(params.value("funcname").toString(), params, callback);
        return answer;
    }
    Answer run(const QVariantMap& params) { return *send(params); }
    Answer setConf(const QString& key, const QString& value)
    {
        return run({{"funcname", "setConf"}, {"confKey", key}, {"confValue", value}});
    }

private slots:
    void initTestCase()
    {
        m_window = std::make_unique<tesk>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void getConfCarriesTheShortcutFlags()
    {
        QVERIFY(m_window->confShortcutBound);  // Ctrl+Alt+M from the shipped conf.xml
        const Answer a = run({{"funcname", "getConf"}});
        QVERIFY(a.ok);
        QVERIFY2(a.text.contains(QStringLiteral("\"showConf\":\"Ctrl+Alt+M,\\u0001\"")), qPrintable(a.text));
        QVERIFY(a.text.contains(QStringLiteral("\"testTool\":\"Ctrl+Alt+T,\\u0001\"")));
        QVERIFY(a.text.startsWith(QStringLiteral("[{")) && a.text.endsWith(QStringLiteral("}]")));
        const QJsonObject o = QJsonDocument::fromJson(a.text.toUtf8()).array().at(0).toObject();
        QCOMPARE(o.value("closeFunc").toString(), QStringLiteral("hide"));
        QCOMPARE(o.value("showConf").toString(), QStringLiteral("Ctrl+Alt+M,") + QChar(1));
    }

    void shortcutHeldByAnotherProgramAnswersFalse()
    {
        Display* other = XOpenDisplay(nullptr);
        QVERIFY(other);
        const KeyCode s = XKeysymToKeycode(other, XK_s);
        XGrabKey(other, s, ControlMask | Mod1Mask, DefaultRootWindow(other), True, GrabModeAsync, GrabModeAsync);
        XSync(other, False);
        const Answer held = setConf(QStringLiteral("showConf"), QStringLiteral("Ctrl+Alt+S"));
        QCOMPARE(held.text, QString(QChar(0)));
        QVERIFY(!m_window->confShortcutBound);
        QVERIFY(readFile(confFile()).contains(QStringLiteral("showConf=\"Ctrl+Alt+S\"")));
        QVERIFY(run({{"funcname", "getConf"}}).text.contains(QStringLiteral("\"showConf\":\"Ctrl+Alt+S,\\u0000\"")));
        XCloseDisplay(other);

        // The same combination as the test shortcut is refused too.
        QCOMPARE(setConf(QStringLiteral("showConf"), QStringLiteral("Ctrl+Alt+T")).text, QString(QChar(0)));
        QCOMPARE(setConf(QStringLiteral("showConf"), QStringLiteral("Ctrl+Alt+M")).text, QString(QChar(1)));
        QVERIFY(m_window->confShortcutBound);
    }

    void autostartEntryFollowsTheValue()
    {
        QCOMPARE(setConf(QStringLiteral("autoStart"), QStringLiteral("true")).text, QStringLiteral("modify conf sucess"));
        const QString entry = readFile(autostartEntry());
        QVERIFY2(entry.contains(QStringLiteral("Exec=\"") + g_exeDir + QStringLiteral("tesk\" -autostart\n")), qPrintable(entry));
        QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(readFile(confFile()).contains(QStringLiteral("autoStart=\"true\"")));
        setConf(QStringLiteral("autoStart"), QStringLiteral("True"));  // only exactly "true" enables
        QVERIFY(!QFile::exists(autostartEntry()));
        QCOMPARE(g_application->clientConf.value("autoStart"), QStringLiteral("True"));
    }

    void unknownKeyFailsAndRewritesTheFile()
    {
        const QString before = readFile(confFile());
        const Answer a = setConf(QStringLiteral("noSuchKey"), QStringLiteral("1"));
        QCOMPARE(a.count, 2);  // failure first; the later success is not delivered
        QVERIFY(!a.ok);
        QCOMPARE(a.text, QStringLiteral("can't find conf name"));
        QCOMPARE(readFile(confFile()), before);
        QVERIFY(!g_application->clientConf.contains("noSuchKey"));
    }

    void trayMenuFollowsTheLanguage()
    {
        SystemTray tray(m_window.get());
        QCOMPARE(tray.openAction()->text(), QStringLiteral("Open"));
        const struct { const char* code; const char* open; const char* exit; } rows[] = {
            {"zh", "打开", "关闭"},       {"zh-TW", "打開", "關閉"},        {"zh-HK", "打開", "關閉"},
            {"de-DE", "Geöffnet", "in der Nähe"}, {"ja", "オープン", "クローズ"},
            {"ru", "открытым", "близко"}, {"ko", "열린", "가까운"},
            {"zh-CN", "Open", "Exit"},    {"en", "Open", "Exit"},          {"ZH", "Open", "Exit"},
        };
        for (const auto& row : rows) {
            tray.setLanguage(QString::fromUtf8(row.code));
            QCOMPARE(tray.openAction()->text(), QString::fromUtf8(row.open));
            QCOMPARE(tray.exitAction()->text(), QString::fromUtf8(row.exit));
        }
        tray.setLanguage(QString());  // empty: unchanged
        QCOMPARE(tray.openAction()->text(), QStringLiteral("Open"));

        // Through the window: the language set by the page shows when the menu opens.
        QCOMPARE(setConf(QStringLiteral("language"), QStringLiteral("zh-HK")).text, QStringLiteral("modify conf sucess"));
        m_window->setupTray();
        QCOMPARE(m_window->tray()->openAction()->text(), QStringLiteral("Open"));
        m_window->onSystemtrayActive(QSystemTrayIcon::Context);
        QCOMPARE(m_window->tray()->openAction()->text(), QString::fromUtf8("打開"));
        QCOMPARE(m_window->tray()->exitAction()->text(), QString::fromUtf8("關閉"));
        setConf(QStringLiteral("language"), QStringLiteral("en"));

        m_window->hide();
        m_window->tray()->openAction()->trigger();
        QVERIFY(m_window->isVisible());
    }

    void systemMouseSettings()
    {
        auto* mouse = new RecordingMouseSettings;
        platform::setMouseSettings(mouse);
        QCOMPARE(run({{"funcname", "modifyMouseDoubleClick"}, {"position", 3}}).text, QStringLiteral("modifyMouseDoubleClick success"));
        QCOMPARE(run({{"funcname", "modifyMouseDoubleClick"}, {"position", 0}}).text, QStringLiteral("modifyMouseDoubleClick success"));
        QCOMPARE(run({{"funcname", "modifyMouseDoubleClick"}, {"position", "11"}}).text, QStringLiteral("modifyMouseDoubleClick success"));
        for (const QVariant& bad : {QVariant(12), QVariant(-1)}) {
            const Answer a = run({{"funcname", "modifyMouseDoubleClick"}, {"position", bad}});
            QVERIFY(!a.ok);
            QCOMPARE(a.text, QStringLiteral("modifyMouseDoubleClick failed"));
        }
        QCOMPARE(mouse->doubleClickTimes, QList<int>({760, 970, 200}));
        platform::setMouseSettings(nullptr);  // the real one again

        // Pointer speed goes to the X server and is read back.
        QCOMPARE(run({{"funcname", "modifyMouseSpeed"}, {"speednum", 5}}).text, QStringLiteral("modifyMouseSpeed success"));
        Display* d = XOpenDisplay(nullptr);
        int numerator = 0, denominator = 0, threshold = 0;
        XGetPointerControl(d, &numerator, &denominator, &threshold);
        XCloseDisplay(d);
        QCOMPARE(numerator * 10, 5 * denominator);
        QCOMPARE(run({{"funcname", "modifyMouseSpeed"}, {"speednum", 0}}).text, QStringLiteral("modifyMouseSpeed failed"));
        QCOMPARE(run({{"funcname", "modifyMouseSpeed"}, {"speednum", 21}}).text, QStringLiteral("modifyMouseSpeed failed"));
        QCOMPARE(run({{"funcname", "modifyMouseSpeed"}, {"speednum", 10}}).text, QStringLiteral("modifyMouseSpeed success"));
        QCOMPARE(run({{"funcname", "modifyMouseScrollLines"}, {"linenum", 7}}).text, QStringLiteral("modifyMouseScrollLines success"));
        QCOMPARE(QApplication::wheelScrollLines(), 7);
        QCOMPARE(run({{"funcname", "modifyMouseScrollLines"}, {"linenum", 0}}).text, QStringLiteral("modifyMouseScrollLines failed"));
    }

    void fileDialogs()
    {
        const QString documents = QDir::homePath() + QStringLiteral("/Documents");
        QVERIFY(QDir().mkpath(documents));
        // The save dialog gets a new name: an existing one would ask first.
        struct { const char* command; const char* caption; const char* filter; const char* file; } dialogs[] = {
            {"saveFileDialog", "SaveFileDialog", "pfd(*.pfd)", "/export.pfd"},
            {"openFileDialog", "OpenFileDialog", "pfd(*.pfd)", "/mode.pfd"},
            {"openFileDialogExe", "OpenFileDialog", "(*)", "/mode.pfd"},
        };
        QFile(documents + QStringLiteral("/mode.pfd")).open(QIODevice::WriteOnly);
        for (const auto& d : dialogs) {
            for (bool accept : {false, true}) {
                QString caption, folder, filter;
                QTimer poll;
                poll.setInterval(50);
                connect(&poll, &QTimer::timeout, [&] {
                    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                    if (!dialog)
                        return;
                    poll.stop();
                    caption = dialog->windowTitle();
                    folder = dialog->directory().absolutePath();
                    filter = dialog->nameFilters().join(QLatin1Char(';'));
                    if (accept) {
                        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                            name->setText(QString::fromLatin1(d.file).mid(1));
                        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
                    } else {
                        QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
                    }
                });
                poll.start();
                const auto answer = send({{"funcname", QLatin1String(d.command)}});
                QCOMPARE(caption, QString::fromLatin1(d.caption));
                QCOMPARE(folder, documents);
                QCOMPARE(filter, QString::fromLatin1(d.filter));
                QTest::qWait(50);
                if (accept) {
                    QCOMPARE(answer->count, 1);
                    QCOMPARE(answer->text, documents + QLatin1String(d.file));
                } else {
                    QCOMPARE(answer->count, 0);  // cancelled: no answer
                }
            }
        }
    }

    void confChangedRestartsTheMonitor()
    {
        ProcessMoniter* before = m_window->processMonitor();
        QVERIFY(before);
        QCOMPARE(run({{"funcname", "confChanged"}}).text, QStringLiteral("confChanged"));
        QVERIFY(m_window->processMonitor() && m_window->processMonitor() != before);
        QCOMPARE(run({{"funcname", "checkUpdate"}}).text, QStringLiteral("checkUpdate success"));
        QCOMPARE(run({{"funcname", "startRecord"}}).text, QStringLiteral("startRecord success!"));
        QCOMPARE(run({{"funcname", "stopRecord"}}).text, QStringLiteral("stopRecord success"));
    }

    // Last: "closeapp" ends the program.
    void closeAppHidesOrQuits()
    {
        QVERIFY(g_application->setConfValue(QStringLiteral("closeFunc"), QStringLiteral("closeApp")));
        m_window->show();
        QCOMPARE(run({{"funcname", "closeApp"}}).text, QStringLiteral("modify conf sucess"));
        QVERIFY(!m_window->isVisible());
        QVERIFY(!g_quitRequested);
        QVERIFY(g_application->setConfValue(QStringLiteral("closeFunc"), QStringLiteral("closeapp")));
        QCOMPARE(run({{"funcname", "closeApp"}}).text, QStringLiteral("modify conf sucess"));
        QVERIFY(g_quitRequested);
    }

    void cleanupTestCase()
    {
        m_window.reset();
    }
};

TESK_PROGRAM_FOLDER_TEST_MAIN(TestSettingsCommands)
#include "test_settings_commands.moc"
