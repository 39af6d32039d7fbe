// Latency of "queryProfile" and "modifyProfile" through the dispatcher on
// generated profiles of about 10 KB, 100 KB and 1 MB, against the floor the
// design implies: one pugixml parse + serialise of the same document.
//
// usage: bench_profile_commands    (needs an X display: the main window is real)

#include "app/globals.h"
#include "browser/client_handler.h"
#include "browser/engine_settings.h"
#include "commands/tesk.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct StringWriter : pugi::xml_writer
{
    std::string out;
    void write(const void* d, size_t n) override { out.append(static_cast<const char*>(d), n); }
};

QByteArray makeProfile(int bytes)
{
    QByteArray xml = "<profile>\n";
    for (int i = 0; xml.size() < bytes; ++i)
        xml += "\t<mode index=\"" + QByteArray::number(i) + "\" dpi=\"800\" rate=\"1000\" colour=\"#00aaff\">"
               "<key id=\"1\" code=\"0x01,0x02,%,%\"/><key id=\"2\" code=\"0x03\"/></mode>\n";
    return xml + "</profile>\n";
}

double medianMicros(int runs, const std::function<void()>& work)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        t.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QTemporaryDir root;
    g_exeDir = root.path() + QLatin1Char('/');
    QDir().mkpath(root.path() + QStringLiteral("/xml"));
    ClientHandler handler;
    g_clientHandler = &handler;
    startEngine();
    tesk window;

    auto call = [&](const QJsonObject& o) {
        auto cb = std::make_shared<QueryCallback>([](bool, int, const QString&) {});
        window.dispatchCommand(o.value("funcname").toString(), o.toVariantMap(), cb);
    };

    std::printf("%-8s %12s %12s %12s %8s %8s\n", "size", "floor us", "query us", "modify us",
                "query/x", "modify/x");
    for (int size : {10 * 1024, 100 * 1024, 1024 * 1024}) {
        const QByteArray xml = makeProfile(size);
        const QString name = QStringLiteral("xml/p%1.xml").arg(size);
        QFile f(g_exeDir + name);
        f.open(QIODevice::WriteOnly);
        f.write(xml);
        f.close();
        const int runs = size > 500000 ? 15 : 60;
        const QByteArray utf8 = QString::fromUtf8(xml).toUtf8();
        const double floor = medianMicros(runs, [&] {
            pugi::xml_document doc;
            doc.load_buffer(utf8.constData(), size_t(utf8.size()));
            StringWriter w;
            doc.save(w, "\t");
        });
        const QJsonObject query{{"funcname", "queryProfile"}, {"filePath", name},
                                {"xpath", "//mode[@index='5']"}};
        const QJsonObject modify{{"funcname", "modifyProfile"}, {"filePath", name},
                                 {"xpath", "//mode[@index='5']"}, {"attribute", "dpi"},
                                 {"attributeValue", "1600"}};
        call(query);  // first use reads the file
        const double q = medianMicros(runs, [&] { call(query); });
        const double m = medianMicros(runs, [&] { call(modify); });
        std::printf("%-8d %12.0f %12.0f %12.0f %8.2f %8.2f\n", size, floor, q, m, q / floor, m / floor);
    }
    g_clientHandler = nullptr;
    return 0;
}
