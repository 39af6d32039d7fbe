// Baseline for the start-up benchmark: the least a Qt program does to reach a
// running event loop with a window and a local server that answers.

#include <QApplication>
#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(800, 600);
    window.show();
    QLocalServer server;
    const QString name = QStringLiteral("Global\\{3c5e0b7d-9a41-4f2e-b6d8-1e7a90c4d253}");
    QLocalServer::removeServer(name);
    server.listen(name);
    QObject::connect(&server, &QLocalServer::newConnection, [&] {
        while (QLocalSocket* s = server.nextPendingConnection())
            QObject::connect(s, &QLocalSocket::readyRead, s, [s] {
                s->readAll();
                s->write("RES:" + QByteArray::number(QCoreApplication::applicationPid()) + ';');
            });
    });
    return app.exec();
}
