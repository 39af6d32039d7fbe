#include "tools/update_service/update_service.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray statusLine(int code)
{
    switch (code) {
    case 200: return "HTTP/1.1 200 OK\r\n";
    case 206: return "HTTP/1.1 206 Partial Content\r\n";
    case 404: return "HTTP/1.1 404 Not Found\r\n";
    case 416: return "HTTP/1.1 416 Range Not Satisfiable\r\n";
    default: return "HTTP/1.1 500 Internal Server Error\r\n";
    }
}

void reply(QTcpSocket* socket, int code, const QByteArray& body, const QByteArray& extra = QByteArray())
{
    socket->write(statusLine(code) + extra + "Content-Length: " + QByteArray::number(body.size())
                  + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

}  // namespace

UpdateService::Fault faultFromName(const QString& name)
{
    if (name == QLatin1String("drop"))
        return UpdateService::Fault::DropAfter;
    if (name == QLatin1String("ignore-range"))
        return UpdateService::Fault::IgnoreRange;
    if (name == QLatin1String("416"))
        return UpdateService::Fault::Always416;
    if (name == QLatin1String("500"))
        return UpdateService::Fault::ServerError;
    if (name == QLatin1String("trickle"))
        return UpdateService::Fault::Trickle;
    return UpdateService::Fault::None;
}

UpdateService::UpdateService(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto* head = new QByteArray;
            connect(socket, &QObject::destroyed, [head] { delete head; });
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, head] {
                if (head->contains("\r\n\r\n"))
                    return;
                head->append(socket->readAll());
                if (head->contains("\r\n\r\n"))
                    serve(socket, *head);
            });
        }
    });
}

bool UpdateService::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

QString UpdateService::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void UpdateService::serve(QTcpSocket* socket, const QByteArray& head)
{
    const QList<QByteArray> lines = head.left(head.indexOf("\r\n\r\n")).split('\n');
    const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
    const QByteArray target = request.value(1);
    QByteArray range;
    for (const QByteArray& line : lines)
        if (line.toLower().startsWith("range:"))
            range = line.mid(6).trimmed();
    const QString logged = QString::fromLatin1(request.value(0) + ' ' + target + " | " + range);
    requests.append(logged);
    emit requested(logged);

    if (target.startsWith("/api/system/upgrade"))
        return reply(socket, 200, upgradeAnswer, "Content-Type: application/json\r\n");
    if (!target.startsWith("/packages/"))
        return reply(socket, 404, "no such thing");
    const QString name = QString::fromUtf8(target.mid(10)).section(QLatin1Char('?'), 0, 0);
    QFile file(packageFolder + QLatin1Char('/') + name);
    if (name.contains(QLatin1Char('/')) || !file.open(QIODevice::ReadOnly))
        return reply(socket, 404, "no such package");
    const QByteArray data = file.readAll();
    if (fault == Fault::ServerError)
        return reply(socket, 500, "broken");
    if (fault == Fault::Always416)
        return reply(socket, 416, "range not satisfiable");

    qint64 from = 0;
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^bytes=(\\d+)-$")).match(QString::fromLatin1(range));
    if (m.hasMatch())
        from = m.captured(1).toLongLong();
    int code = 200;
    QByteArray extra = "Content-Type: application/octet-stream\r\n";
    QByteArray body = data;
    if (fault != Fault::IgnoreRange && m.hasMatch() && from > 0) {
        if (from >= data.size())
            return reply(socket, 416, "range not satisfiable",
                         "Content-Range: bytes */" + QByteArray::number(data.size()) + "\r\n");
        code = 206;
        body = data.mid(int(from));
        extra += "Content-Range: bytes " + QByteArray::number(from) + '-' + QByteArray::number(data.size() - 1)
                 + '/' + QByteArray::number(data.size()) + "\r\n";
    }
    socket->write(statusLine(code) + extra + "Content-Length: " + QByteArray::number(body.size())
                  + "\r\nConnection: close\r\n\r\n");
    if (fault == Fault::DropAfter) {
        socket->write(body.left(int(faultBytes)));
        socket->flush();
        socket->abort();
        return;
    }
    if (fault == Fault::Trickle) {
        auto* timer = new QTimer(socket);
        auto* sent = new qint64(0);
        const qint64 step = qMax<qint64>(1, faultBytes);
        connect(timer, &QTimer::destroyed, [sent] { delete sent; });
        connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent, step] {
            socket->write(body.mid(int(*sent), int(step)));
            *sent += step;
            if (*sent >= body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(10);
        return;
    }
    socket->write(body);
    socket->disconnectFromHost();
}
