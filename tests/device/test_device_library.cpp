// The device binding against the simulated library: what the client reads
// out of the list block, how it degrades without the library or one of its
// exports, the one-in-five notification rule, and the device table under
// notifications from the library's own thread.

#include "device/device_blocks.h"
#include "device/device_table.h"
#include "device/devices_handler.h"
#include "tests/support/sim_control.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstring>

namespace {

const QString kFirst = QStringLiteral("HX\\VID_F0D1&PID_0001&MI_01\\0");
const QString kSecond = QStringLiteral("HX\\VID_F0D1&PID_0002&MI_01\\0");

void putText16(uint8_t* field, const QString& text, bool terminate)
{
    for (int i = 0; i < text.size(); ++i) {
        field[2 * i] = uint8_t(text.at(i).unicode() & 0xff);
        field[2 * i + 1] = uint8_t(text.at(i).unicode() >> 8);
    }
    if (terminate)
        field[2 * text.size()] = field[2 * text.size() + 1] = 0;
}

}  // namespace

class TestDeviceLibrary : public QObject
{
    Q_OBJECT
    QTemporaryDir m_root;

    QString folder(const QString& name) const { return m_root.path() + QLatin1Char('/') + name; }

private slots:
    void recordFieldsEndAtTheirFieldWhenUnterminated()
    {
        DeviceListBlock block;
        block.bytes[0] = 1;
        uint8_t* r = block.bytes.data() + 2;
        std::memset(r, 'A', 40);           // DeviceID fills its field: no NUL
        std::memcpy(r + 40, "1.0", 3);
        std::memset(r + 71, 'M', 2);
        // 255 characters fill the 510 bytes of DevicePath; HardwareID follows it.
        putText16(r + 1085, QString(255, QLatin1Char('p')), false);
        putText16(r + 1595, QStringLiteral("HW\u00e9"), true);
        const DeviceInfo d = block.record(0);
        QCOMPARE(d.deviceId, QString(40, QLatin1Char('A')));
        QCOMPARE(d.version, QStringLiteral("1.0"));
        QCOMPARE(d.mask, QStringLiteral("MM"));
        QCOMPARE(d.devicePath, QString(255, QLatin1Char('p')));
        QCOMPARE(d.hardwareId, QStringLiteral("HW\u00e9"));
    }

    void moreThanTwentyDevicesReadAsTwenty()
    {
        QStringList devices;
        for (int i = 0; i < 23; ++i)
            devices << simDevice(QStringLiteral("D%1").arg(i), QStringLiteral("HW%1").arg(i));
        QVERIFY(installSimulatedLibrary(QStringLiteral(HX_LIBRARY), folder("many"), devices));
        devices_handler handler(nullptr, folder("many") + QStringLiteral("/libhx.so"));
        const DeviceListBlock block = handler.listDevices();
        QCOMPARE(int(block.bytes[0]), 23);  // what the library says
        QCOMPARE(block.count(), 20);
        QCOMPARE(block.record(19).hardwareId, QStringLiteral("HW19"));
        QCOMPARE(block.record(0).sn, QStringLiteral("SN-D0"));
        QCOMPARE(block.record(0).version, QStringLiteral("2.0.1"));
        QCOMPARE(block.record(0).devicePath, QStringLiteral("/dev/hidraw-D0"));
    }

    void missingLibraryLeavesEveryEntryNull()
    {
        devices_handler handler(nullptr, folder("nowhere") + QStringLiteral("/libhx.so"));
        QVERIFY(!handler.isLoaded());
        QVERIFY(!handler.hxDevices && !handler.hxRead && !handler.hxWrite && !handler.hxNotify
                && !handler.hxReadProp && !handler.hxWriteProp && !handler.hxonDeviceData);
        QCOMPARE(handler.listDevices().count(), 0);
        QCOMPARE(devices_handler::current(), &handler);
    }

    void libraryWithoutDataExportStillLists()
    {
        QVERIFY(installSimulatedLibrary(QStringLiteral(HX_LIBRARY_WITHOUT_DEVICE_DATA), folder("nodata"),
                                        {simDevice(QStringLiteral("HX-M1"), kFirst)}));
        devices_handler handler(nullptr, folder("nodata") + QStringLiteral("/libhx.so"));
        QVERIFY(handler.isLoaded());
        QVERIFY(!handler.hxonDeviceData);
        QVERIFY(handler.hxDevices && handler.hxRead && handler.hxWrite && handler.hxEraseRom);
        const DeviceListBlock block = handler.listDevices();
        QCOMPARE(block.count(), 1);
        QCOMPARE(block.record(0).hardwareId, kFirst);
        // Nothing armed the reports, so the mouse has nobody to send them to.
        QCOMPARE(simControl(folder("nodata"), QStringLiteral("data ") + kFirst + QStringLiteral(" 0aff000000000000")),
                 QStringLiteral("ok 0"));
    }

    // The remaining cases share one library, loaded once.
    void onlyEveryFifthNotificationRefreshes()
    {
        QVERIFY(installSimulatedLibrary(QStringLiteral(HX_LIBRARY), folder("main"),
                                        {simDevice(QStringLiteral("HX-M1"), kFirst),
                                         simDevice(QStringLiteral("HX-M2"), kSecond)}));
        devices_handler handler(nullptr, folder("main") + QStringLiteral("/libhx.so"));
        DeviceTable table;
        std::atomic<int> refreshes{0};
        setDeviceListRefresh([&] {
            ++refreshes;
            table.refresh(handler);
        });
        QCOMPARE(simControl(folder("main"), QStringLiteral("event 0x10003 10")), QStringLiteral("ok"));
        QCOMPARE(refreshes.load(), 2);
        QCOMPARE(table.entries().keys(), QStringList({"HX-M1", "HX-M2"}));
        QCOMPARE(table.entries().value("HX-M2").hardwareId, kSecond);
        QCOMPARE(table.counts().value("HX-M1"), 2);

        // Arrival is the 11th notification: it refreshes, and the table grows.
        QCOMPARE(simControl(folder("main"), QStringLiteral("plug HW3 HX-M3")), QStringLiteral("ok"));
        QCOMPARE(refreshes.load(), 3);
        QCOMPARE(table.entries().size(), 3);
        QCOMPARE(table.counts().value("HX-M3"), 1);
        QCOMPARE(simControl(folder("main"), QStringLiteral("unplug HW3")), QStringLiteral("ok"));
        QCOMPARE(simControl(folder("main"), QStringLiteral("event 1 3")), QStringLiteral("ok"));
        setDeviceListRefresh(nullptr);
    }

    // The library thread rebuilds the table as fast as it can while this
    // thread rebuilds and reads it: every table read is one whole listing.
    void tableStaysWholeUnderNotifications()
    {
        devices_handler handler(nullptr, folder("main") + QStringLiteral("/libhx.so"));
        DeviceTable table;
        setDeviceListRefresh([&] { table.refresh(handler); });
        std::atomic<bool> stop{false};
        std::atomic<int> sent{0};
        QThread* hammer = QThread::create([&] {
            while (!stop) {
                const bool ok = simControl(folder("main"), QStringLiteral("plug HW3 HX-M3")) == "ok"
                                && simControl(folder("main"), QStringLiteral("event 7 9")) == "ok"
                                && simControl(folder("main"), QStringLiteral("unplug HW3")) == "ok";
                if (ok)
                    sent += 11;
            }
        });
        hammer->start();
        int reads = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 3000 || (sent < 200 && clock.elapsed() < 60000)) {
            table.refresh(handler);
            const QMap<QString, DeviceInfo> entries = table.entries();
            QVERIFY(entries.size() == 2 || entries.size() == 3);
            const QMap<QString, QString> hardware{{"HX-M1", kFirst}, {"HX-M2", kSecond}, {"HX-M3", "HW3"}};
            for (auto it = entries.cbegin(); it != entries.cend(); ++it)
                QCOMPARE(it.value().hardwareId, hardware.value(it.key()));
            ++reads;
        }
        stop = true;
        hammer->wait();
        delete hammer;
        setDeviceListRefresh(nullptr);
        QVERIFY(sent >= 200);
        QVERIFY(reads > 100);
        QVERIFY(table.counts().value("HX-M1") >= reads);
    }
};

QTEST_GUILESS_MAIN(TestDeviceLibrary)
#include "test_device_library.moc"
