#pragma once
// A stand-in for the maker's update web service on the loopback interface:
// it answers the upgrade query with a configured JSON text and serves
// package files from a folder with byte ranges, with faults that can be
// switched on to show how the client copes with a bad network or server.

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class UpdateService : public QObject
{
    Q_OBJECT
public:
    enum class Fault {
        None,
        DropAfter,     // close the connection after `faultBytes` body bytes
        IgnoreRange,   // answer 200 with the whole file whatever Range says
        Always416,     // answer 416 to every package request
        ServerError,   // answer 500
        Trickle,       // send the body slowly, `faultBytes` bytes every 10 ms
    };

    explicit UpdateService(QObject* parent = nullptr);
    bool listen(quint16 port = 0);
    quint16 port() const { return m_server.serverPort(); }
    QString baseUrl() const;

    // What "/api/system/upgrade" answers.
    QByteArray upgradeAnswer = "{\"code\":1}";
    // Where "/packages/<name>" files come from.
    QString packageFolder;
    Fault fault = Fault::None;
    qint64 faultBytes = 0;
    // Every request line and its Range header, in order ("GET /x?y | bytes=0-").
    QStringList requests;

signals:
    void requested(const QString& line);

private:
    void serve(QTcpSocket* socket, const QByteArray& head);
    QTcpServer m_server;
};

// A fault by name: none, drop, ignore-range, 416, 500, trickle.
UpdateService::Fault faultFromName(const QString& name);
