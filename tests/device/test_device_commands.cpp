// The device commands as a page uses them: a real page in the real main
// window, the real dispatcher and the simulated library, with the device
// events coming back from the library's thread into the page.

#include "commands/device_commands.h"
#include "device/devices_handler.h"
#include "tests/browser/browser_fixture.h"
#include "tests/support/sim_control.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "tests/support/webengine_test_main.h"

namespace {

const QString kFirst = QStringLiteral("HX\\VID_F0D1&PID_0001&MI_01\\0");
const QString kSecond = QStringLiteral("HX\\VID_F0D1&PID_0002&MI_01\\0");

// The configuration text: only the second mouse has a product entry, and it
// sits behind an element that merely looks like one.
const char kConfText[] =
    "<?xml version=\"1.0\"?>\n<root>\n"
    "\t<client language=\"en\" />\n"
    "\t<mouse deviceId=\"HX-M2\">\n"
    "\t\t<info name=\"other\" productName=\"wrong\" />\n"
    "\t\t<info name=\"\xe4\xba\xa7\xe5\x93\x81\xe4\xbf\xa1\xe6\x81\xaf\" productType=\"mouse\""
    " productName=\"Tesk M2\" productCN=\"\xe9\xbc\xa0\xe6\xa0\x87\" description=\"wireless\" device=\"m2\" />\n"
    "\t</mouse>\n</root>\n";

struct Answer
{
    bool answered = false;
    bool ok = false;
    QString text;
};

struct Case
{
    const char* request;  // the members after "funcname"
    bool ok;
    QString text;
};

}  // namespace

class TestDeviceCommands : public QObject
{
    Q_OBJECT
    BrowserFixture f;
    std::unique_ptr<devices_handler> m_handler;

    QString sim(const QString& command) { return simControl(f.folder(), command); }

    // Sends one request from the page and waits for its answer.
    Answer ask(const QString& request)
    {
        const int before = f.driver.eval(QStringLiteral("answers.length")).toInt();
        const QString quoted = QString::fromUtf8(QJsonDocument(QJsonArray{request}).toJson(QJsonDocument::Compact));
        f.driver.eval(QStringLiteral("q(%1[0]), true").arg(quoted));
        Answer a;
        if (!f.driver.waitFor(QStringLiteral("answers.length > %1").arg(before), 10000))
            return a;
        const QVariantMap m = f.driver.eval(QStringLiteral("answers[%1]").arg(before)).toMap();
        a.answered = true;
        a.ok = m.value("ok").toBool();
        a.text = m.value("text").toString();
        return a;
    }
    Answer command(const char* funcname, const QString& members)
    {
        return ask(QStringLiteral("{\"funcname\":\"%1\"%2}").arg(QLatin1String(funcname), members));
    }
    void runCases(const QList<Case>& cases, const QString& hardwareId)
    {
        for (const Case& c : cases) {
            QString members = QString::fromUtf8(c.request);
            members.replace(QStringLiteral("$ID"), QString(hardwareId).replace(QStringLiteral("\\"), QStringLiteral("\\\\")));
            const QString request = QStringLiteral("{%1}").arg(members);
            const Answer a = ask(request);
            QVERIFY2(a.answered, qPrintable(request));
            QVERIFY2(a.ok == c.ok, qPrintable(request + QStringLiteral(" -> ") + a.text));
            QVERIFY2(a.text == c.text, qPrintable(request + QStringLiteral(" -> ") + a.text));
        }
    }
    QVariantList events(const char* name)
    {
        return f.driver.eval(QStringLiteral("events.%1").arg(QLatin1String(name))).toList();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(installSimulatedLibrary(QStringLiteral(HX_LIBRARY), f.root.path() + QStringLiteral("/program"),
                                        {simDevice(QStringLiteral("HX-M1"), kFirst),
                                         simDevice(QStringLiteral("HX-M2"), kSecond)}));
        QVERIFY(f.setUp());
        m_handler = std::make_unique<devices_handler>(nullptr, f.folder() + QStringLiteral("/libhx.so"));
        QVERIFY(m_handler->isLoaded());
        setProductConfSource([] { return QString::fromUtf8(kConfText); });
    }
    void cleanupTestCase()
    {
        m_handler.reset();
        f.tearDown();
    }

    // First, while the notification counter is still at its start.
    void tenNotificationsReachThePageTwice()
    {
        QCOMPARE(sim(QStringLiteral("event 0x10003 10")), QStringLiteral("ok"));
        QVERIFY(f.driver.waitFor(QStringLiteral("events.devicesChanged.length >= 2")));
        QTest::qWait(300);
        QCOMPARE(events("devicesChanged"), QVariantList({3, 3}));
    }

    void listCarriesRecordsAndProductEntries()
    {
        const Answer a = command("getDevicesList", QString());
        QVERIFY(a.ok);
        QVERIFY(a.text.startsWith(QStringLiteral("[{\"")) && !a.text.contains(QStringLiteral("\": ")));
        const QJsonArray list = QJsonDocument::fromJson(a.text.toUtf8()).array();
        QCOMPARE(list.size(), 2);
        const QJsonObject first = list.at(0).toObject(), second = list.at(1).toObject();
        QCOMPARE(first.value("HardwareID").toString(), kFirst);
        QCOMPARE(first.value("DeviceID").toString(), QStringLiteral("HX-M1"));
        QCOMPARE(first.value("Version").toString(), QStringLiteral("2.0.1"));
        QCOMPARE(first.value("SN").toString(), QStringLiteral("SN-HX-M1"));
        QCOMPARE(first.value("MASK").toString(), QStringLiteral("01"));
        QCOMPARE(first.value("DevicePath").toString(), QStringLiteral("/dev/hidraw-HX-M1"));
        for (const char* key : {"productType", "productName", "productCN", "description", "device"})
            QCOMPARE(first.value(QLatin1String(key)), QJsonValue(QString()));
        QCOMPARE(first.size(), 11);
        QCOMPARE(second.value("productName").toString(), QStringLiteral("Tesk M2"));
        QCOMPARE(second.value("productCN").toString(), QString::fromUtf8("\xe9\xbc\xa0\xe6\xa0\x87"));
        QCOMPARE(second.value("productType").toString(), QStringLiteral("mouse"));
        QCOMPARE(second.value("description").toString(), QStringLiteral("wireless"));
        QCOMPARE(second.value("device").toString(), QStringLiteral("m2"));
    }

    void onlyTheFirstListedDeviceReportsData()
    {
        command("getDevicesList", QString());  // arms the first device's reports
        QCOMPARE(sim(QStringLiteral("data ") + kSecond + QStringLiteral(" 1111111111111111")), QStringLiteral("ok 0"));
        QCOMPARE(sim(QStringLiteral("data ") + kFirst + QStringLiteral(" 0aff000000000000")), QStringLiteral("ok 1"));
        QVERIFY(f.driver.waitFor(QStringLiteral("events.onDeviceData.length >= 1")));
        QTest::qWait(200);
        QCOMPARE(events("onDeviceData"), QVariantList({QStringLiteral("0aff000000000000")}));
    }

    void commandsReadAndWriteTheMouse()
    {
        const QString bytes16 = QStringLiteral("0x00,").repeated(15) + QStringLiteral("0x00");
        runCases({
            // properties: the firmware information is 1, 2, 0, ...
            {R"("funcname":"readDevicesProp","HardwareID":"$ID","DevicePath":"","PARAMSIZE":3,"PARAMID":1)", true, "0x01,0x02,0x00"},
            {R"("funcname":"readDevicesProp","HardwareID":"$ID","DevicePath":"","PARAMSIZE":0,"PARAMID":1)", true, ""},
            {R"("funcname":"writeDevicesProp","HardwareID":"$ID","DevicePath":"x","PARAMSIZE":1,"PARAMID":17,"PARAMDATA":"2")", true, "writeDevicesProp success!"},
            {R"("funcname":"readDevicesProp","HardwareID":"$ID","DevicePath":"","PARAMSIZE":"1","PARAMID":"17")", true, "0x02"},
            {R"("funcname":"writeDevicesProp","HardwareID":"$ID","DevicePath":"","PARAMSIZE":1,"PARAMID":17,"PARAMDATA":"9")", false, "writeDevicesProp failed!"},
            {R"("funcname":"writeDevicesProp","HardwareID":"$ID","DevicePath":"","PARAMSIZE":1,"PARAMID":1,"PARAMDATA":"9")", false, "writeDevicesProp failed!"},
            // memory
            {R"("funcname":"writeByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":3,"PARAMADDRESS":"1000","PARAMDATA":"0x01,,ff")", true, "writeByAddr success!"},
            {R"("funcname":"writeByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":1,"PARAMADDRESS":"0x1003","PARAMDATA":"100")", true, "writeByAddr success!"},
            {R"("funcname":"readByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":4,"PARAMADDRESS":"1000")", true, "0x01,0x00,0xff,0x00"},
            {R"("funcname":"writeByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":3,"PARAMADDRESS":"1010","PARAMDATA":" 1, 2,3,77")", true, "writeByAddr success!"},
            {R"("funcname":"readByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":3,"PARAMADDRESS":"1010")", true, "0x01,0x02,0x03"},
            // an address the device refuses: the zero-filled buffer comes back
            {R"("funcname":"readByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":16,"PARAMADDRESS":"fff8")", true, bytes16},
            {R"("funcname":"writeByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":16,"PARAMADDRESS":"fff8","PARAMDATA":"1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1")", false, "writeByAddr failed!"},
            {R"("funcname":"writeByAddr","HardwareID":"nobody","DevicePath":"","PARAMSIZE":1,"PARAMADDRESS":"0","PARAMDATA":"1")", false, "writeByAddr failed!"},
            // notifications: the low 8 bits of type and data
            {R"("funcname":"notifyDevice","HardwareID":"$ID","NotifyType":258,"NotifyData":259)", true, "notifyDevice success!"},
            {R"("funcname":"notifyDevice","HardwareID":"nobody","NotifyType":2,"NotifyData":0)", false, "notifyDevice failed!"},
            // macros
            {R"("funcname":"isPropEmpty","HardwareID":"$ID","DevicePath":"","PARAMSIZE":16,"PARAMADDRESS":"1c00")", true, "true"},
            {R"("funcname":"writeMacroByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":2,"PARAMADDRESS":"1c00","PARAMDATA":"5,6")", true, "true"},
            {R"("funcname":"writeMacroByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":2,"PARAMADDRESS":"1c00","PARAMDATA":"7,8")", true, "1c00"},
            {R"("funcname":"isPropEmpty","HardwareID":"$ID","DevicePath":"","PARAMSIZE":16,"PARAMADDRESS":"1c00")", true, "false"},
            {R"("funcname":"cleanMacroByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":2,"PARAMADDRESS":"1c00")", true, "cleanMacroByAddr success!"},
            {R"("funcname":"isPropEmpty","HardwareID":"$ID","DevicePath":"","PARAMSIZE":16,"PARAMADDRESS":"1c00")", true, "true"},
            {R"("funcname":"cleanMacroByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":2,"PARAMADDRESS":"ffff")", false, "cleanMacroByAddr failed!"},
        }, kFirst);
        QCOMPARE(sim(QStringLiteral("last-notify ") + kFirst), QStringLiteral("ok 1 2 3"));
        QCOMPARE(sim(QStringLiteral("read ") + kFirst + QStringLiteral(" 0x1000 4")), QStringLiteral("ok 01 00 ff 00"));
        QCOMPARE(sim(QStringLiteral("prop ") + kFirst + QStringLiteral(" 0x11 1")), QStringLiteral("ok 02"));
    }

    // Sizes beyond the 2,048-byte buffer, negative sizes and data shorter
    // than the size are refused before the device is touched.
    void badSizesAreRefused()
    {
        const QString before = sim(QStringLiteral("read ") + kFirst + QStringLiteral(" 0x1000 8"));
        runCases({
            {R"("funcname":"readByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":2049,"PARAMADDRESS":"0")", false, "readByAddr bad size!"},
            {R"("funcname":"readDevicesProp","HardwareID":"$ID","DevicePath":"","PARAMSIZE":-1,"PARAMID":1)", false, "readDevicesProp bad size!"},
            {R"("funcname":"isPropEmpty","HardwareID":"$ID","DevicePath":"","PARAMSIZE":4096,"PARAMADDRESS":"0")", false, "isPropEmpty bad size!"},
            {R"("funcname":"writeByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":3,"PARAMADDRESS":"1000","PARAMDATA":"9,9")", false, "writeByAddr failed!"},
            {R"("funcname":"writeByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":-4,"PARAMADDRESS":"1000","PARAMDATA":"9,9")", false, "writeByAddr failed!"},
            {R"("funcname":"writeDevicesProp","HardwareID":"$ID","DevicePath":"","PARAMSIZE":3000,"PARAMID":17,"PARAMDATA":"1")", false, "writeDevicesProp failed!"},
            {R"("funcname":"writeMacroByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":4,"PARAMADDRESS":"1000","PARAMDATA":"1")", false, "writeMacroByAddr failed!"},
            {R"("funcname":"cleanMacroByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":2049,"PARAMADDRESS":"1000")", false, "cleanMacroByAddr failed!"},
        }, kFirst);
        QCOMPARE(sim(QStringLiteral("read ") + kFirst + QStringLiteral(" 0x1000 8")), before);
    }

    void hotPlugChangesTheList()
    {
        // Ten notifications so far: the arrival is the 11th and reaches the page.
        QCOMPARE(sim(QStringLiteral("plug HW3 HX-M3")), QStringLiteral("ok"));
        QVERIFY(f.driver.waitFor(QStringLiteral("events.devicesChanged.length == 3")));
        QCOMPARE(events("devicesChanged").last().toInt(), 1);
        QCOMPARE(QJsonDocument::fromJson(command("getDevicesList", QString()).text.toUtf8()).array().size(), 3);
        QCOMPARE(sim(QStringLiteral("unplug HW3")), QStringLiteral("ok"));
        QCOMPARE(QJsonDocument::fromJson(command("getDevicesList", QString()).text.toUtf8()).array().size(), 2);
    }

    void unparsableConfigurationFailsTheList()
    {
        setProductConfSource([] { return QStringLiteral("<root><client"); });
        const Answer a = command("getDevicesList", QString());
        setProductConfSource([] { return QString::fromUtf8(kConfText); });
        QVERIFY(a.answered && !a.ok);
        QCOMPARE(a.text, QStringLiteral("queryProfile load xml file failed!"));
    }

    // Last: without the library every command gives its degraded answer.
    void missingLibraryGivesDegradedAnswers()
    {
        devices_handler missing(nullptr, f.root.path() + QStringLiteral("/nowhere/libhx.so"));
        QCOMPARE(devices_handler::current(), &missing);
        runCases({
            {R"("funcname":"getDevicesList")", true, "[]"},
            {R"("funcname":"readDevicesProp","HardwareID":"$ID","DevicePath":"","PARAMSIZE":2,"PARAMID":1)", true, "0x00,0x00"},
            {R"("funcname":"readByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":3,"PARAMADDRESS":"0")", true, "0x00,0x00,0x00"},
            {R"("funcname":"isPropEmpty","HardwareID":"$ID","DevicePath":"","PARAMSIZE":3,"PARAMADDRESS":"0")", true, "true"},
            {R"("funcname":"writeMacroByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":1,"PARAMADDRESS":"0","PARAMDATA":"1")", false, "writeMacroByAddr failed!"},
            {R"("funcname":"writeDevicesProp","HardwareID":"$ID","DevicePath":"","PARAMSIZE":1,"PARAMID":17,"PARAMDATA":"1")", false, "writeDevicesProp failed!"},
            {R"("funcname":"writeByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":1,"PARAMADDRESS":"0","PARAMDATA":"1")", false, "writeByAddr failed!"},
            {R"("funcname":"cleanMacroByAddr","HardwareID":"$ID","DevicePath":"","PARAMSIZE":1,"PARAMADDRESS":"0")", false, "cleanMacroByAddr failed!"},
            {R"("funcname":"notifyDevice","HardwareID":"$ID","NotifyType":1,"NotifyData":1)", false, "notifyDevice failed!"},
        }, kFirst);
    }
};

TESK_WEBENGINE_TEST_MAIN(TestDeviceCommands)
#include "test_device_commands.moc"
