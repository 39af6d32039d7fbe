// Page -> native -> page round trips of "getDevicesList" and
// "readDevicesProp" against the simulated library with 1 and with 20 mice,
// each as a ratio against the trivial "goback" round trip in the same run.
//
// usage: bench_device_commands [N]    (needs an X display)

#include "app/globals.h"
#include "browser/browser_page.h"
#include "browser/client_handler.h"
#include "browser/engine_settings.h"
#include "browser/tesk_web_view.h"
#include "commands/device_commands.h"
#include "commands/tesk.h"
#include "device/devices_handler.h"
#include "tests/support/page_driver.h"
#include "tests/support/program_folder.h"
#include "tests/support/sim_control.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

double medianOf(PageDriver& driver, int n, const QString& sender)
{
    driver.eval(QStringLiteral("runRoundTrips(%1, %2)").arg(n).arg(sender));
    driver.waitFor(QStringLiteral("window.times !== null"), 600000);
    std::vector<double> t;
    for (const QVariant& v : driver.eval(QStringLiteral("times")).toList())
        t.push_back(v.toDouble());
    std::sort(t.begin(), t.end());
    return t.empty() ? 0 : t[t.size() / 2];
}

// The dispatcher alone, without the page channel: median microseconds of
// one command answered through a native callback.
double nativeMicros(tesk& window, const QString& request, int n)
{
    const QVariantMap params = QJsonDocument::fromJson(request.toUtf8()).object().toVariantMap();
    const QString funcname = params.value(QStringLiteral("funcname")).toString();
    auto callback = std::make_shared<QueryCallback>([](bool, int, const QString&) {}, true);
    std::vector<double> t;
    QElapsedTimer clock;
    for (int i = 0; i < n; ++i) {
        clock.start();
        window.dispatchCommand(funcname, params, callback);
        t.push_back(clock.nsecsElapsed() / 1000.0);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

QString sender(const QString& request)
{
    return QStringLiteral("function (done) { cefQuery({request: %1, onSuccess: done}); }")
        .arg(QStringLiteral("'") + request + QStringLiteral("'"));
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const int n = argc > 1 ? atoi(argv[1]) : 1000;

    QTemporaryDir root;
    const QString folder = root.path() + QStringLiteral("/program");
    copyFolder(QStringLiteral(TESK_BENCH_PAGES), folder + QStringLiteral("/view"));
    QFile::rename(folder + QStringLiteral("/view/roundtrip.html"), folder + QStringLiteral("/view/index.html"));
    g_exeDir = folder + QLatin1Char('/');
    ClientHandler handler;
    g_clientHandler = &handler;
    setEngineSettings(programEngineSettings());
    startEngine();

    QFile conf(QStringLiteral(TESK_SHIPPED_CONF));
    conf.open(QIODevice::ReadOnly);
    const QString confText = QString::fromUtf8(conf.readAll());
    setProductConfSource([confText] { return confText; });

    tesk window;
    window.show();
    PageDriver page(window.webView()->page());
    page.waitForLoad();
    page.waitFor(QStringLiteral("typeof runRoundTrips === 'function'"));

    const QString trivial = QStringLiteral("viaCefQuery");
    const QString gobackRequest = QStringLiteral("{\"funcname\":\"goback\"}");
    const QString listRequest = QStringLiteral("{\"funcname\":\"getDevicesList\"}");
    const QString readRequest = QStringLiteral(
        "{\"funcname\":\"readDevicesProp\",\"HardwareID\":\"HW0\",\"DevicePath\":\"\","
        "\"PARAMSIZE\":42,\"PARAMID\":16}");
    const QString list = sender(listRequest);
    const QString readProp = sender(readRequest);
    for (int mice : {1, 20}) {
        QStringList devices;
        for (int i = 0; i < mice; ++i)
            devices << simDevice(i == 0 ? QStringLiteral("HX-M1") : QStringLiteral("HX-D%1").arg(i),
                                 QStringLiteral("HW%1").arg(i));
        const QString libFolder = root.path() + QStringLiteral("/mice%1").arg(mice);
        installSimulatedLibrary(QStringLiteral(HX_LIBRARY), libFolder, devices);
        devices_handler device(nullptr, libFolder + QStringLiteral("/libhx.so"));
        medianOf(page, 200, trivial);  // warm up
        medianOf(page, 200, list);
        const double base = medianOf(page, n, trivial);
        const double l = medianOf(page, n, list);
        const double r = medianOf(page, n, readProp);
        const double base2 = medianOf(page, n, trivial);
        const double b = (base + base2) / 2;
        std::printf("%2d mice, %d round trips, medians (ms): goback %.3f; getDevicesList %.3f "
                    "(ratio %.2f); readDevicesProp %.3f (ratio %.2f)\n",
                    mice, n, b, l, l / b, r, r / b);
        const double nb = nativeMicros(window, gobackRequest, n * 5);
        const double nl = nativeMicros(window, listRequest, n * 5);
        const double nr = nativeMicros(window, readRequest, n * 5);
        std::printf("%2d mice, dispatcher alone, medians (us): goback %.1f; getDevicesList %.1f "
                    "(ratio %.1f); readDevicesProp %.1f (ratio %.1f)\n",
                    mice, nb, nl, nl / nb, nr, nr / nb);
        std::fflush(stdout);
    }
    window.hide();
    g_clientHandler = nullptr;
    return 0;
}
