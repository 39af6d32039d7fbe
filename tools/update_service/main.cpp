// update_service: the loopback stand-in for the update web service.
//
//   update_service --port 0 --answer answer.json --packages DIR [--fault drop --fault-bytes 1000]
//
// Prints "listening on <port>" once it is ready, then one line per request.

#include "tools/update_service/update_service.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("port (0: any)"), QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption answer(QStringLiteral("answer"), QStringLiteral("file with the upgrade answer"), QStringLiteral("file"));
    const QCommandLineOption packages(QStringLiteral("packages"), QStringLiteral("folder of package files"), QStringLiteral("dir"));
    const QCommandLineOption fault(QStringLiteral("fault"), QStringLiteral("none, drop, ignore-range, 416, 500, trickle"), QStringLiteral("name"));
    const QCommandLineOption faultBytes(QStringLiteral("fault-bytes"), QStringLiteral("bytes for drop and trickle"), QStringLiteral("n"), QStringLiteral("0"));
    parser.addOptions({port, answer, packages, fault, faultBytes});
    parser.process(app);

    UpdateService service;
    if (parser.isSet(answer)) {
        QFile f(parser.value(answer));
        if (f.open(QIODevice::ReadOnly))
            service.upgradeAnswer = f.readAll();
    }
    service.packageFolder = parser.value(packages);
    service.fault = faultFromName(parser.value(fault));
    service.faultBytes = parser.value(faultBytes).toLongLong();
    if (!service.listen(quint16(parser.value(port).toUInt()))) {
        std::fprintf(stderr, "update_service: cannot listen\n");
        return 1;
    }
    QObject::connect(&service, &UpdateService::requested, [](const QString& line) {
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    });
    std::printf("listening on %u\n", service.port());
    std::fflush(stdout);
    return app.exec();
}
