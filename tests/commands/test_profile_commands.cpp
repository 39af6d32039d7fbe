// The profile document commands through the real dispatcher of a real main
// window, on a small fixture profile in a temporary program folder.

#include "app/globals.h"
#include "browser/client_handler.h"
#include "browser/engine_settings.h"
#include "commands/profile_commands.h"
#include "commands/profile_file.h"
#include "commands/tesk.h"
#include "platform/mouse_settings.h"
#include "platform/platform.h"
#include "tests/support/recording_mouse_settings.h"
#include "tests/support/program_folder.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/support/webengine_test_main.h"


namespace {

struct Answer
{
    int count = 0;  // how many answers the query got
    bool ok = false;
    QString text;
};

}  // namespace

class TestProfileCommands : public QObject
{
    Q_OBJECT
    QTemporaryDir m_root;
    std::unique_ptr<ClientHandler> m_handler;
    std::unique_ptr<tesk> m_window;
    RecordingMouseSettings* m_mouse = nullptr;

    QString folder() const { return m_root.path() + QStringLiteral("/program"); }
    QString file(const QString& name) const { return folder() + QStringLiteral("/xml/") + name; }

    Answer run(const QByteArray& json)
    {
        Answer answer;
        auto callback = std::make_shared<QueryCallback>([&](bool ok, int code, const QString& text) {
            if (answer.count++ == 0) {
                answer.ok = ok;
                answer.text = text;
                QCOMPARE(code, 0);
            }
        }, true);
        const QVariantMap params = QJsonDocument::fromJson(json).object().toVariantMap();
        m_window->dispatchCommand(params.value("funcname").toString(), params, callback);
        return answer;
    }
    QString query(const QString& xpath, const QString& path = QStringLiteral("xml/profile.xml"))
    {
        QJsonObject o{{"funcname", "queryProfile"}, {"filePath", path}, {"xpath", xpath}};
        return run(QJsonDocument(o).toJson(QJsonDocument::Compact)).text;
    }

private slots:
    void initTestCase()
    {
        g_exeDir = folder() + QLatin1Char('/');
        m_handler = std::make_unique<ClientHandler>();
        g_clientHandler = m_handler.get();
        QDir().mkpath(folder() + QStringLiteral("/view"));
        startEngine();
        m_mouse = new RecordingMouseSettings;
        platform::setMouseSettings(m_mouse);
        m_window = std::make_unique<tesk>();
    }
    void cleanupTestCase()
    {
        m_window.reset();
        g_clientHandler = nullptr;
    }
    // Every test starts from the fixture files and an empty cache.
    void init()
    {
        QDir(folder() + QStringLiteral("/xml")).removeRecursively();
        QVERIFY(copyFolder(QStringLiteral(TESK_PROFILE_FIXTURES), folder() + QStringLiteral("/xml")));
        m_window->pendingDocuments.clear();
        m_window->pendingDocumentPaths.clear();
        m_mouse->doubleClickTimes.clear();
    }

    // Each command's main path, then what the fixture holds afterwards.
    void commands_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("xpath");   // queried after the command
        QTest::addColumn<QString>("after");

        QTest::newRow("queryProfile") << QByteArray("{\"funcname\":\"queryProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//key[@id='2']\"}")
            << "<key id=\"2\" code=\"ab\" />\n" << "" << "";
        QTest::newRow("queryProfile: attribute is no node") << QByteArray("{\"funcname\":\"queryProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//key/@id\"}")
            << "" << "" << "";
        QTest::newRow("nodeCounterProfile: text and element") << QByteArray("{\"funcname\":\"nodeCounterProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//note\"}")
            << "2" << "" << "";
        QTest::newRow("nodeCounterProfile: nothing selected") << QByteArray("{\"funcname\":\"nodeCounterProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//none\"}")
            << "0" << "" << "";
        QTest::newRow("queryHexByte") << QByteArray("{\"funcname\":\"queryHexByte\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//key[@id='1']\",\"args\":\"7,8,9\"}")
            << "7,1,8,3,%" << "" << "";
        QTest::newRow("queryHexByte: too few arguments") << QByteArray("{\"funcname\":\"queryHexByte\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//key[@id='1']\",\"args\":\"7,,\"}")
            << "7,1,%,3,%" << "" << "";
        QTest::newRow("queryHexByte: no code") << QByteArray("{\"funcname\":\"queryHexByte\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//mode\",\"args\":\"7\"}")
            << "" << "" << "";
        QTest::newRow("modifyProfile a;b = 1;") << QByteArray("{\"funcname\":\"modifyProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//mode\",\"attribute\":\"a;b;zz\",\"attributeValue\":\"1;\"}")
            << "modifyProfile success!" << "//mode[@index='1']" << "<mode index=\"1\" a=\"1\" b=\"\">";
        QTest::newRow("modifyProfileEx: two nodes") << QByteArray("{\"funcname\":\"modifyProfileEx\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//mode\",\"subTreeString\":\"<x/><y/>\"}")
            << "modifyProfileEx success" << "/profile"
            << "<profile>\n\t<mode index=\"0\" a=\"x\" b=\"y\">\n\t\t<x />\n\t\t<y />\n\t</mode>\n\t<mode index=\"1\" a=\"p\" b=\"q\" />\n</profile>\n";
        QTest::newRow("modifyProfileEx: nested selection") << QByteArray("{\"funcname\":\"modifyProfileEx\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//mode | //key\",\"subTreeString\":\"<x/>\"}")
            << "modifyProfileEx success" << "//x" << "<x />\n";
        QTest::newRow("modifyRemoveProfile: node with its ancestor") << QByteArray("{\"funcname\":\"modifyRemoveProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//mode[1] | //key\"}")
            << "modifyRemoveProfile success" << "/profile/*"
            << "<mode index=\"1\" a=\"p\" b=\"q\">\n\t<note>text<b />\n\t</note>\n</mode>\n";
        QTest::newRow("modifyAddProfile 1;;2") << QByteArray("{\"funcname\":\"modifyAddProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//note\",\"attribute\":\"p;q\",\"attributeValue\":\"1;;2\",\"addNodeName\":\"n\"}")
            << "modifyAddProfile success" << "//n" << "<n p=\"1\" q=\"2\" />\n";
        QTest::newRow("modifyReplaceProfile") << QByteArray("{\"funcname\":\"modifyReplaceProfile\",\"srcFilePath\":\"xml/default.xml\",\"desFilePath\":\"xml/profile.xml\",\"srcXpath\":\"//mode\",\"desXpath\":\"//mode[@index='1']\"}")
            << "modifyReplaceProfile success" << "/profile/mode[2]" << "<mode index=\"0\" a=\"default\" />\n";
        QTest::newRow("modifyReplaceProfile: first child") << QByteArray("{\"funcname\":\"modifyReplaceProfile\",\"srcFilePath\":\"xml/default.xml\",\"desFilePath\":\"xml/profile.xml\",\"srcXpath\":\"//mode\",\"desXpath\":\"//mode[1]\"}")
            << "modifyReplaceProfile success" << "/profile/mode[1]/@a" << "";
        QTest::newRow("modifyReplaceProfile: source selects nothing") << QByteArray("{\"funcname\":\"modifyReplaceProfile\",\"srcFilePath\":\"xml/default.xml\",\"desFilePath\":\"xml/profile.xml\",\"srcXpath\":\"//none\",\"desXpath\":\"//mode[1]\"}")
            << "modifyReplaceProfile success" << "//mode[@index='0']" << "";
        QTest::newRow("modifyReplaceProfile: target selects nothing") << QByteArray("{\"funcname\":\"modifyReplaceProfile\",\"srcFilePath\":\"xml/default.xml\",\"desFilePath\":\"xml/profile.xml\",\"srcXpath\":\"//mode\",\"desXpath\":\"//none\"}")
            << "modifyReplaceProfile success" << "//mode[@a='default']" << "";
        QTest::newRow("resetProfile") << QByteArray("{\"funcname\":\"resetProfile\",\"srcFilePath\":\"xml/default.xml\",\"desFilePath\":\"xml/profile.xml\"}")
            << "resetProfile success" << "//mode" << "<mode index=\"0\" a=\"default\" />\n";
    }
    void commands()
    {
        QFETCH(QByteArray, request);
        QFETCH(QString, answer);
        QFETCH(QString, xpath);
        QFETCH(QString, after);
        const Answer a = run(request);
        QCOMPARE(a.count, 1);
        QVERIFY(a.ok);
        QCOMPARE(a.text, answer);
        if (!xpath.isEmpty()) {
            const QString got = query(xpath);
            if (after.endsWith('>') && !after.endsWith("/>\n"))
                QVERIFY2(got.startsWith(after), qPrintable(got));
            else
                QCOMPARE(got, after);
        }
        // Nothing reaches the disk before a flush.
        QCOMPARE(readBytes(file("profile.xml")), readBytes(QStringLiteral(TESK_PROFILE_FIXTURES "/profile.xml")));
    }

    void modifyProfileSetsDoubleClickFirst()
    {
        run("{\"funcname\":\"modifyProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//mode\",\"attribute\":\"a\"}");
        QCOMPARE(m_mouse->doubleClickTimes, QList<int>{970});  // also with a member missing
        const Answer a = run("{\"funcname\":\"modifyProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//mode\",\"attribute\":\"a\",\"attributeValue\":\"z\"}");
        QCOMPARE(a.text, QStringLiteral("modifyProfile success!"));
        QCOMPARE(m_mouse->doubleClickTimes.size(), 2);
    }

    // Failure texts for a kept text that does not parse, and for an
    // expression that is not XPath; silence for a missing file or member.
    void failures_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        const QStringList names{"queryProfile", "nodeCounterProfile", "modifyProfile", "modifyProfileEx",
                                "modifyRemoveProfile", "modifyAddProfile", "queryHexByte"};
        const QStringList texts{"queryProfile load xml file failed!", "nodeCounterProfile load xml file failed!",
                                "modifyProfile load xml file failed!", "modifyProfileEx load xml file failed!",
                                "modifyProfile load xml file failed!", "modifyProfile load xml file failed!",
                                "modifyProfile load xml file failed!"};
        for (int i = 0; i < names.size(); ++i) {
            for (const QString& mode : {QStringLiteral("broken"), QStringLiteral("bad xpath"), QStringLiteral("missing file")}) {
                QJsonObject o{{"funcname", names[i]}, {"attribute", "a"}, {"attributeValue", "1"},
                              {"subTreeString", "<x/>"}, {"args", "1"}, {"addNodeName", "n"},
                              {"filePath", mode == "broken" ? "xml/broken.xml" : mode == "missing file" ? "xml/none.xml" : "xml/profile.xml"},
                              {"xpath", mode == "bad xpath" ? "//[" : "//mode"}};
                QTest::addRow("%s, %s", qPrintable(names[i]), qPrintable(mode))
                    << QJsonDocument(o).toJson(QJsonDocument::Compact) << (mode == "missing file" ? 0 : 1)
                    << (mode == "missing file" ? QString() : texts[i]);
            }
        }
        QTest::newRow("modifyAddProfile without addNodeName") << QByteArray("{\"funcname\":\"modifyAddProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//mode\",\"attribute\":\"a\",\"attributeValue\":\"1\"}")
            << 1 << "modifyProfile load xml file failed!";
        QTest::newRow("modifyReplaceProfile broken source") << QByteArray("{\"funcname\":\"modifyReplaceProfile\",\"srcFilePath\":\"xml/broken.xml\",\"desFilePath\":\"xml/profile.xml\",\"srcXpath\":\"/\",\"desXpath\":\"/\"}")
            << 1 << "modifyReplaceProfile load xml file failed!";
        QTest::newRow("saveXmlAs broken source") << QByteArray("{\"funcname\":\"saveXmlAs\",\"srcFilePath\":\"xml/broken.xml\",\"desFilePath\":\"/tmp/x.pfd\",\"xpath\":\"/\"}")
            << 1 << "saveXmlAs load xml file failed!";
        QTest::newRow("resetProfile missing source") << QByteArray("{\"funcname\":\"resetProfile\",\"srcFilePath\":\"xml/none.xml\",\"desFilePath\":\"xml/profile.xml\"}")
            << 0 << "";
        QTest::newRow("member missing") << QByteArray("{\"funcname\":\"queryProfile\",\"filePath\":\"xml/profile.xml\"}") << 0 << "";
        QTest::newRow("savexml with nothing kept") << QByteArray("{\"funcname\":\"savexml\"}") << 0 << "";
    }
    void failures()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, count);
        QFETCH(QString, text);
        const Answer a = run(request);
        QCOMPARE(a.count, count);
        if (count) {
            QVERIFY(!a.ok);
            QCOMPARE(a.text, text);
        }
        QVERIFY(m_window->pendingDocumentPaths.isEmpty());
        QVERIFY(!m_window->pendingDocuments.contains(file("none.xml")));
    }

    void cacheSemantics()
    {
        const QString before = query("//key[@id='2']");
        QVERIFY(writeBytes(file("profile.xml"), "<profile><key id=\"2\" code=\"changed\"/></profile>"));
        QCOMPARE(query("//key[@id='2']"), before);  // the kept text is the document
        QVERIFY(m_window->pendingDocumentPaths.isEmpty());  // reading alone keeps nothing pending

        const Answer reset = run("{\"funcname\":\"resetProfile\",\"srcFilePath\":\"xml/default.xml\",\"desFilePath\":\"xml/profile.xml\"}");
        QCOMPARE(reset.text, QStringLiteral("resetProfile success"));
        QCOMPARE(m_window->pendingDocumentPaths, QStringList{file("profile.xml")});
        QCOMPARE(readBytes(file("profile.xml")), QByteArray("<profile><key id=\"2\" code=\"changed\"/></profile>"));

        run("{\"funcname\":\"modifyProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//mode\",\"attribute\":\"a\",\"attributeValue\":\"é\"}");
        const Answer saved = run("{\"funcname\":\"savexml\"}");
        QCOMPARE(saved.text, QStringLiteral("save xml success"));
        QVERIFY(m_window->pendingDocumentPaths.isEmpty());
        QCOMPARE(readBytes(file("profile.xml")),
                 QByteArray("<?xml version=\"1.0\"?>\r\n<profile>\r\n\t<mode index=\"0\" a=\"\xC3\xA9\" />\r\n</profile>\r\n"));
    }

    void declarationAndCommentsGoAfterAChange()
    {
        run("{\"funcname\":\"modifyProfile\",\"filePath\":\"xml/profile.xml\",\"xpath\":\"//none\",\"attribute\":\"a\",\"attributeValue\":\"1\"}");
        const Answer saved = run("{\"funcname\":\"savexml\"}");
        QVERIFY(saved.ok);
        const QByteArray bytes = readBytes(file("profile.xml"));
        QVERIFY(bytes.startsWith("<?xml version=\"1.0\"?>\r\n<profile>"));
        QVERIFY(!bytes.contains("<!--"));
        QVERIFY(!bytes.contains("encoding"));
    }

    // A file that cannot be written stops the flush: earlier ones are
    // written, it and the later ones stay pending; none is ever truncated.
    void flushStopsAtAFailedWrite()
    {
        const QString first = file("first.xml"), big = file("big.xml"), last = file("last.xml");
        for (const QString& p : {first, big, last})
            QVERIFY(writeBytes(p, "<old/>"));
        m_window->pendingDocuments = {{first, "<new/>"}, {big, QString(64 * 1024, 'x')}, {last, "<new/>"}};
        m_window->pendingDocumentPaths = QStringList{first, big, last};

        Answer a;
        {
            const FileSizeLimit diskFull(16 * 1024);  // the disk fills up during the second file
            a = run("{\"funcname\":\"savexml\"}");
        }

        QCOMPARE(a.count, 0);
        QCOMPARE(readBytes(first), QByteArray("<new/>"));
        QCOMPARE(readBytes(big), QByteArray("<old/>"));
        QCOMPARE(readBytes(last), QByteArray("<old/>"));
        QCOMPARE(m_window->pendingDocumentPaths, (QStringList{big, last}));
        QCOMPARE(QDir(folder() + "/xml").entryList({"*.xml"}, QDir::Files).size(), 6);  // no temp files left

        // The next flush writes the rest.
        const Answer again = run("{\"funcname\":\"savexml\"}");
        QVERIFY(again.ok);
        QCOMPARE(readBytes(last), QByteArray("<new/>"));
    }

    void exportAndImport()
    {
        const QString pfd = m_root.path() + QStringLiteral("/mode one.pfd");
        QJsonObject save{{"funcname", "saveXmlAs"}, {"srcFilePath", "xml/profile.xml"},
                         {"desFilePath", pfd}, {"xpath", "//mode[@index='1']"}};
        QCOMPARE(run(QJsonDocument(save).toJson()).text, QStringLiteral("saveXmlAs success"));
        const QByteArray bytes = readBytes(pfd);
        const QByteArray xml = "<?xml version=\"1.0\"?>\n<mode index=\"1\" a=\"p\" b=\"q\">\n\t<note>text<b />\n\t</note>\n</mode>\n";
        const QByteArray b64 = xml.toBase64();
        QCOMPARE(bytes.left(8), QByteArray("\x0A\x0B\x0C\x0D", 4) + QByteArray::fromHex(QByteArray::number(b64.size(), 16).rightJustified(8, '0')));
        QCOMPARE(bytes.mid(8), b64);

        QJsonObject import{{"funcname", "modifyReplaceProfileEx"}, {"srcFilePath", pfd},
                           {"desFilePath", "xml/default.xml"}, {"srcXpath", ""}, {"desXpath", "//mode"}};
        QCOMPARE(run(QJsonDocument(import).toJson()).text, QStringLiteral("modifyReplaceProfile success"));
        QCOMPARE(query("//mode", "xml/default.xml"),
                 QStringLiteral("<mode index=\"0\" a=\"default\">\n\t<note>text<b />\n\t</note>\n</mode>\n"));

        // Bad exported files are refused and change nothing.
        const QByteArray good = bytes;
        const QList<QByteArray> bad{good.left(6), good.left(20), QByteArray("\x0D\x0C\x0B\x0A", 4) + good.mid(4),
                                    good.left(4) + QByteArray("\xFF\xFF\xFF\xF0", 4) + good.mid(8),
                                    encodeProfileFile("<not xml")};
        const QString before = query("//mode", "xml/default.xml");
        for (const QByteArray& b : bad) {
            QVERIFY(writeBytes(pfd, b));
            const Answer a = run(QJsonDocument(import).toJson());
            QCOMPARE(a.count, 1);
            QCOMPARE(a.text, QStringLiteral("modifyReplaceProfile load xml file failed!"));
        }
        QFile::remove(pfd);
        QCOMPARE(run(QJsonDocument(import).toJson()).text, QStringLiteral("modifyReplaceProfile load xml file failed!"));
        QCOMPARE(query("//mode", "xml/default.xml"), before);

        save["desFilePath"] = m_root.path() + QStringLiteral("/no/such/folder/x.pfd");
        QCOMPARE(run(QJsonDocument(save).toJson()).text, QStringLiteral("saveXmlAs desFilePath is failed!"));
    }

    void profileFileCodec()
    {
        QByteArray xml;
        QVERIFY(decodeProfileFile(encodeProfileFile("<a/>"), &xml));
        QCOMPARE(xml, QByteArray("<a/>"));
        QVERIFY(!decodeProfileFile(QByteArray("\x0A\x0B\x0C\x0D\x7F\xFF\xFF\xFF", 8), &xml));
        QCOMPARE(fillHexByteCode("%,%", "1,2,3"), QStringLiteral("1,2"));
        QCOMPARE(fillHexByteCode("a,b", "1"), QStringLiteral("a,b"));
        QCOMPARE(fillHexByteCode("%,%,%,%,%", "1,2,3,4,5"), QStringLiteral("1,2,3,4,%"));
    }
};

TESK_WEBENGINE_TEST_MAIN(TestProfileCommands)
#include "test_profile_commands.moc"
