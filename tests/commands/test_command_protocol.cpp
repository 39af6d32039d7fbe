// The command protocol's pure rules: argument readings, the command table's
// required members, and the moveWindow numbers.

#include "browser/window_handler.h"
#include "commands/argument_readings.h"
#include "commands/command_table.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {
// A request member as the page sends it, parsed like a real request.
QVariantMap request(const QByteArray& json)
{
    return QJsonDocument::fromJson(json).object().toVariantMap();
}
}  // namespace

class TestCommandProtocol : public QObject
{
    Q_OBJECT
private slots:
    void readings_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("integer");
        QTest::addColumn<long>("hex");
        QTest::newRow("number 16") << QByteArray(R"({"v":16})") << "16" << 16 << 0x16L;
        QTest::newRow("string 16") << QByteArray(R"({"v":"16"})") << "16" << 16 << 0x16L;
        QTest::newRow("string 0x16") << QByteArray(R"({"v":"0x16"})") << "0x16" << 0 << 0x16L;
        QTest::newRow("string 0X16") << QByteArray(R"({"v":"0X16"})") << "0X16" << 0 << 0x16L;
        QTest::newRow("string 10") << QByteArray(R"({"v":"10"})") << "10" << 10 << 0x10L;
        QTest::newRow("number 4.6") << QByteArray(R"({"v":4.6})") << "4.6" << 5 << 0x4L;
        QTest::newRow("number -2.5") << QByteArray(R"({"v":-2.5})") << "-2.5" << -3 << -0x2L;
        QTest::newRow("string 4") << QByteArray(R"({"v":"4"})") << "4" << 4 << 0x4L;
        QTest::newRow("number 26 is hex 26") << QByteArray(R"({"v":26})") << "26" << 26 << 0x26L;
        QTest::newRow("true") << QByteArray(R"({"v":true})") << "true" << 1 << 0L;
        QTest::newRow("false") << QByteArray(R"({"v":false})") << "false" << 0 << 0xfaL;
        QTest::newRow("null") << QByteArray(R"({"v":null})") << "" << 0 << 0L;
        QTest::newRow("absent") << QByteArray(R"({})") << "" << 0 << 0L;
        QTest::newRow("blank and sign") << QByteArray(R"({"v":"  -ff"})") << "  -ff" << 0 << -0xffL;
        QTest::newRow("digits up to a non-digit") << QByteArray(R"({"v":"1fz9"})") << "1fz9" << 0 << 0x1fL;
        QTest::newRow("no digits") << QByteArray(R"({"v":"zz"})") << "zz" << 0 << 0L;
        QTest::newRow("unicode text") << QByteArray(R"({"v":"鼠标 é"})") << "鼠标 é" << 0 << 0L;
    }
    void readings()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, text);
        QFETCH(int, integer);
        QFETCH(long, hex);
        const QVariantMap p = request(json);
        QCOMPARE(readText(p, QStringLiteral("v")), text);
        QCOMPARE(readInteger(p, QStringLiteral("v")), integer);
        QCOMPARE(readHexadecimal(p, QStringLiteral("v")), hex);
    }

    void commandTable()
    {
        QCOMPARE(::commandTable().size(), 38);
        QVERIFY(!findCommand(QStringLiteral("GetDevicesList")));
        QVERIFY(!findCommand(QStringLiteral("nothing")));
        const CommandEntry* read = findCommand(QStringLiteral("readDevicesProp"));
        QVERIFY(read);
        // The device path is required although the command does not use it.
        QVERIFY(!hasRequiredMembers(*read, request(R"({"funcname":"readDevicesProp","HardwareID":"x","PARAMSIZE":2,"PARAMID":1})")));
        QVERIFY(hasRequiredMembers(*read, request(R"({"funcname":"readDevicesProp","HardwareID":"x","DevicePath":null,"PARAMSIZE":2,"PARAMID":1})")));
        QVERIFY(hasRequiredMembers(*findCommand(QStringLiteral("goback")), request(R"({"funcname":"goback"})")));
        QVERIFY(!hasRequiredMembers(*findCommand(QStringLiteral("setConf")), request(R"({"confKey":"language"})")));
    }

    void moveWindowNumbers_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QVector<int>>("numbers");
        QTest::newRow("four") << QByteArray("moveWindow:10,-5,900,650") << QVector<int>{10, -5, 900, 650};
        QTest::newRow("any separator") << QByteArray("moveWindow#1,2,3,4") << QVector<int>{1, 2, 3, 4};
        QTest::newRow("blanks, plus") << QByteArray("moveWindow: 1, +2,3 ,4") << QVector<int>{1, 2, 3};
        QTest::newRow("blank separated") << QByteArray("moveWindow:1 2 3 4") << QVector<int>{1, 2, 3, 4};
        QTest::newRow("stops at a non-number") << QByteArray("moveWindow:1,2,x,4") << QVector<int>{1, 2};
        QTest::newRow("two commas") << QByteArray("moveWindow:1,,2") << QVector<int>{1};
        QTest::newRow("trailing text") << QByteArray("moveWindow:1,2,3,4px") << QVector<int>{1, 2, 3, 4};
        QTest::newRow("overflow fails") << QByteArray("moveWindow:1,2,3,4294967296") << QVector<int>{1, 2, 3};
        QTest::newRow("too short") << QByteArray("moveWindow:") << QVector<int>{};
    }
    void moveWindowNumbers()
    {
        QFETCH(QByteArray, request);
        QFETCH(QVector<int>, numbers);
        QCOMPARE(parseMoveWindowNumbers(request), numbers);
    }
};

QTEST_GUILESS_MAIN(TestCommandProtocol)
#include "test_command_protocol.moc"
