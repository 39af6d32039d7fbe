// The client configuration document: the start-up read into map and text,
// the edit-and-write of one attribute, and the bytes that reach the disk.

#include "app/client_conf.h"
#include "app/text_file.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>


namespace {

const HostIdentity kHost{QStringLiteral("52:54:00:AB:CD:EF"), QStringLiteral("10.0.2.15")};

}  // namespace

class TestClientConf : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("conf.xml")); }

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");  // empty: no file at all
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("text");

        const QStringList four{"IpAddress", "MacAddress", "autoStart", "language"};
        QTest::newRow("four keys") << QByteArray("<root><client autoStart=\"true\" language=\"de-DE\"/></root>")
                                   << four << kHost.hardwareAddress
                                   << "<root><client autoStart=\"true\" language=\"de-DE\"/></root>";
        QTest::newRow("file's MacAddress replaced in memory")
            << QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- kept on disk -->\r\n"
                          "<root><client MacAddress=\"00:00:00:00:00:01\" language=\"zh\"/></root>\r\n")
            << QStringList{"IpAddress", "MacAddress", "language"} << kHost.hardwareAddress
            << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- kept on disk -->\n"
               "<root><client MacAddress=\"00:00:00:00:00:01\" language=\"zh\"/></root>\n";
        QTest::newRow("byte-order mark dropped")
            << QByteArray("\xEF\xBB\xBF<root><client version=\"1.0.0\"/></root>")
            << QStringList{"IpAddress", "MacAddress", "version"} << kHost.hardwareAddress
            << "<root><client version=\"1.0.0\"/></root>";
        QTest::newRow("later attribute of the same name wins")
            << QByteArray("<root><client language=\"ja\" language=\"ko\"/></root>")
            << QStringList() << QString() << QString();
        QTest::newRow("no client element: host keys only")
            << QByteArray("<root><other a=\"1\"/></root>") << QStringList{"IpAddress", "MacAddress"}
            << kHost.hardwareAddress << "<root><other a=\"1\"/></root>";
        QTest::newRow("malformed: nothing at all")
            << QByteArray("<root><client language=\"en\"></root>") << QStringList() << QString()
            << QString();
        QTest::newRow("missing file: nothing at all") << QByteArray() << QStringList() << QString()
                                                       << QString();
    }
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, keys);
        QFETCH(QString, mac);
        QFETCH(QString, text);
        QFile::remove(path());
        if (!file.isEmpty())
            QVERIFY(writeBytes(path(), file));
        const ClientConfData conf = readClientConf(path(), kHost);
        if (QByteArray(QTest::currentDataTag()) == "later attribute of the same name wins") {
            // pugixml keeps both attributes; the map holds the later value.
            QCOMPARE(conf.values.value(QStringLiteral("language")), QStringLiteral("ko"));
            return;
        }
        QCOMPARE(conf.values.keys(), keys);
        QCOMPARE(conf.values.value(QStringLiteral("MacAddress")), mac);
        QCOMPARE(conf.text, text);
        if (!keys.isEmpty())
            QCOMPARE(conf.values.value(QStringLiteral("IpAddress")), kHost.ipv4Address);
    }

    // Setting one key rewrites the whole document in the serialised form:
    // declaration line, tabs, CR LF, no byte-order mark, comments and the old
    // declaration gone, other elements kept in order.
    void editAndWrite()
    {
        QVERIFY(writeBytes(path(),
                   "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                   "<!-- shipped -->\r\n<root>\r\n  <client language=\"en\" closeFunc=\"hide\" "
                   "MacAddress=\"file-mac\"/>\r\n  <产品信息 id=\"0x1234\">鼠标</产品信息>\r\n"
                   "  <z b=\"2\" a=\"1\"/>\r\n</root>\r\n"));
        ClientConfData conf = readClientConf(path(), kHost);
        const QString edited = editConfAttribute(conf.text, QStringLiteral("language"),
                                                 QStringLiteral("zh-TW & <x>"));
        QVERIFY(writeTextFile(path(), edited));
        const QByteArray expected =
            "<?xml version=\"1.0\"?>\r\n<root>\r\n"
            "\t<client language=\"zh-TW &amp; &lt;x>\" closeFunc=\"hide\" MacAddress=\"file-mac\" />\r\n"
            "\t<\xE4\xBA\xA7\xE5\x93\x81\xE4\xBF\xA1\xE6\x81\xAF id=\"0x1234\">\xE9\xBC\xA0\xE6\xA0\x87"
            "</\xE4\xBA\xA7\xE5\x93\x81\xE4\xBF\xA1\xE6\x81\xAF>\r\n"
            "\t<z b=\"2\" a=\"1\" />\r\n</root>\r\n";
        QCOMPARE(readBytes(path()), expected);
        // Read back, the text has LF line ends again and the value round-trips.
        conf = readClientConf(path(), kHost);
        QCOMPARE(conf.values.value(QStringLiteral("language")), QStringLiteral("zh-TW & <x>"));
        QVERIFY(!conf.text.contains(QLatin1Char('\r')));
    }

    void editOnlyExistingAttributes()
    {
        const QString text = QStringLiteral("<root><client language=\"en\"/></root>");
        // A key the document does not have still gives the serialised form,
        // unchanged in content; host keys never reach the file.
        QCOMPARE(editConfAttribute(text, QStringLiteral("IpAddress"), QStringLiteral("1.2.3.4")),
                 QStringLiteral("<?xml version=\"1.0\"?>\n<root>\n\t<client language=\"en\" />\n</root>\n"));
        // Text that does not parse (the empty text of a missing file) writes nothing.
        QVERIFY(editConfAttribute(QString(), QStringLiteral("language"), QStringLiteral("en")).isNull());
        QVERIFY(editConfAttribute(QStringLiteral("<root>"), QStringLiteral("language"),
                                  QStringLiteral("en")).isNull());
    }

    // A write that cannot complete leaves the old file whole.
    void failedWriteKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("conf.xml"));
        QVERIFY(writeBytes(file, "<root><client language=\"en\"/></root>"));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const bool written = writeTextFile(file, QStringLiteral("<root/>"));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (written)
            QSKIP("the folder stays writable for this user (running as root)");
        QCOMPARE(readBytes(file), QByteArray("<root><client language=\"en\"/></root>"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"conf.xml"});
    }

    // A disk that fills up midway (a file-size limit stands in for it): the
    // writer reports failure and the old file is still whole, with no
    // truncated or temporary file left beside it.
    void fullDiskKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("conf.xml"));
        const QByteArray old("<root><client language=\"en\"/></root>");
        QVERIFY(writeBytes(file, old));

        bool written = true;
        {
            const FileSizeLimit diskFull(4096);
            written = writeTextFile(file, QString(20000, QLatin1Char('x')));
        }

        QVERIFY(!written);
        QCOMPARE(readBytes(file), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"conf.xml"});
        QVERIFY(!writeTextFile(dir.filePath(QStringLiteral("missing/conf.xml")), QStringLiteral("x")));
    }
};

QTEST_GUILESS_MAIN(TestClientConf)
#include "test_client_conf.moc"
