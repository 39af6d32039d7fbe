#pragma once
// The one HTTP client of the program: fill an HttpRequestParams, call
// execute, and read the result members of the worker that
// on_execution_finished hands back. Variables travel in the query, as a
// url-encoded body or as a multipart body; their wire order is their
// alphabetical order.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QNetworkReply>
#include <QObject>
#include <QString>

class QNetworkAccessManager;

enum VariableLayout { Unset = 0, Query = 1, FormUrlEncoded = 2, Multipart = 3 };

struct HttpUploadFile
{
    QString fieldName;
    QString localPath;
    QString uploadName;
    QString mimeType;
};

struct HttpRequestParams
{
    explicit HttpRequestParams(const QString& url = QString(), const QString& method = QStringLiteral("GET"))
        : url(url), method(method)
    {
    }
    QString url;
    QString method;
    VariableLayout layout = Unset;
    QMap<QString, QString> variables;
    QList<HttpUploadFile> files;
};

class HttpRequestWorker : public QObject
{
    Q_OBJECT
public:
    explicit HttpRequestWorker(QObject* parent = nullptr);
    ~HttpRequestWorker() override;

    void execute(HttpRequestParams* params);

    QByteArray response;
    QNetworkReply::NetworkError errorType = QNetworkReply::NoError;
    QString errorString;

    // RFC 3986: unreserved characters stay, every other UTF-8 byte is %XX.
    static QByteArray percentEncode(const QString& text);
    // RFC 5987 form-data attribute: name="plain" or, when the value needs
    // it, name="plain"; name*=utf-8''encoded.
    static QByteArray encodeHeaderAttribute(const QString& name, const QString& value);
    // The request body and content type as execute builds them.
    static QByteArray buildBody(HttpRequestParams& params, const QByteArray& boundary, QByteArray* contentType);

signals:
    void on_execution_finished(HttpRequestWorker* worker);

private slots:
    void on_manager_finished(QNetworkReply* reply);

private:
    QNetworkAccessManager* m_manager = nullptr;
};
