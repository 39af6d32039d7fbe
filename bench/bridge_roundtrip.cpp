// Page -> native -> page round trip of a trivial command ("goback") in the
// real main window, against a bare QWebChannel echo in the same process.
// Prints median and 99th percentile of N sequential queries and the ratio.
//
// usage: bench_bridge_roundtrip [N]    (needs an X display)

#include "app/globals.h"
#include "browser/browser_page.h"
#include "browser/client_handler.h"
#include "browser/engine_settings.h"
#include "browser/tesk_web_view.h"
#include "commands/tesk.h"
#include "tests/support/page_driver.h"
#include "tests/support/program_folder.h"
#include "tests/support/client_process.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <algorithm>
#include <cstdio>

class Echo : public QObject
{
    Q_OBJECT
public slots:
    QString echo(const QString& text) { return text; }
};

namespace {

struct Figures
{
    double median = 0, p99 = 0;
};

Figures measure(PageDriver& driver, int n, const QString& sender)
{
    driver.eval(QStringLiteral("runRoundTrips(%1, %2)").arg(n).arg(sender));
    driver.waitFor(QStringLiteral("window.times !== null"), 600000);
    QVariantList times = driver.eval(QStringLiteral("times")).toList();
    std::vector<double> t;
    for (const QVariant& v : times)
        t.push_back(v.toDouble());
    std::sort(t.begin(), t.end());
    Figures f;
    if (!t.empty()) {
        f.median = t[t.size() / 2];
        f.p99 = t[std::min(t.size() - 1, size_t(t.size() * 0.99))];
    }
    return f;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const int n = argc > 1 ? atoi(argv[1]) : 2000;

    QTemporaryDir root;
    const QString folder = root.path() + QStringLiteral("/program");
    copyFolder(QStringLiteral(TESK_BENCH_PAGES), folder + QStringLiteral("/view"));
    QFile::rename(folder + QStringLiteral("/view/roundtrip.html"), folder + QStringLiteral("/view/index.html"));
    g_exeDir = folder + QLatin1Char('/');
    ClientHandler handler;
    g_clientHandler = &handler;
    setEngineSettings(programEngineSettings());
    startEngine();

    tesk window;
    window.show();
    PageDriver client(window.webView()->page());
    client.waitForLoad();
    client.waitFor(QStringLiteral("typeof runRoundTrips === 'function'"));

    // The bare channel: the same page, an echo object, no bridge.
    QWebChannel channel;
    Echo echo;
    QWebEnginePage barePage;
    channel.registerObject(QStringLiteral("echo"), &echo);
    barePage.setWebChannel(&channel);
    QFile channelJs(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    channelJs.open(QIODevice::ReadOnly);
    QWebEngineScript script;
    script.setSourceCode(QString::fromUtf8(channelJs.readAll())
                         + QStringLiteral("\n(function connect() {"
                                          " if (typeof qt === 'undefined') { setTimeout(connect, 1); return; }"
                                          " new QWebChannel(qt.webChannelTransport, function (c) {"
                                          " window.echoObject = c.objects.echo; }); })();"));
    script.setName(QStringLiteral("bare-channel"));
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    barePage.scripts().insert(script);
    PageDriver bare(&barePage);
    barePage.load(QUrl::fromLocalFile(folder + QStringLiteral("/view/index.html")));
    bare.waitForLoad();
    if (!bare.waitFor(QStringLiteral("window.echoObject !== undefined"))) {
        std::printf("bare channel did not connect: qt=%s\n",
                    qPrintable(bare.eval(QStringLiteral("typeof qt + ' ' + typeof QWebChannel")).toString()));
        return 1;
    }
    const QString viaEcho = QStringLiteral("function (done) { echoObject.echo('x', done); }");

    // Warm both, then measure alternately.
    measure(client, 200, QStringLiteral("viaCefQuery"));
    measure(bare, 200, viaEcho);
    const Figures b = measure(bare, n, viaEcho);
    const Figures c = measure(client, n, QStringLiteral("viaCefQuery"));
    std::fflush(stdout);
    std::printf("round trip of %d sequential queries (ms): cefQuery median %.3f p99 %.3f; "
                "bare channel median %.3f p99 %.3f; median ratio %.2f, p99 ratio %.2f\n",
                n, c.median, c.p99, b.median, b.p99, c.median / b.median, c.p99 / b.p99);
    std::fflush(stdout);
    window.hide();
    g_clientHandler = nullptr;
    return 0;
}

#include "bridge_roundtrip.moc"
