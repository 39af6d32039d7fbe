#include "update/http_request_worker.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QUrl>

#include <cstdlib>

namespace {

bool unreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
           || c == '.' || c == '_' || c == '~';
}

QByteArray pairs(const QMap<QString, QString>& variables)
{
    QByteArray out;
    for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
        if (!out.isEmpty())
            out += '&';
        out += HttpRequestWorker::percentEncode(it.key()) + '=' + HttpRequestWorker::percentEncode(it.value());
    }
    return out;
}

}  // namespace

HttpRequestWorker::HttpRequestWorker(QObject* parent)
    : QObject(parent)
{
    qsrand(uint(QDateTime::currentDateTimeUtc().toSecsSinceEpoch()));
    m_manager = new QNetworkAccessManager(this);
    connect(m_manager, SIGNAL(finished(QNetworkReply*)), this, SLOT(on_manager_finished(QNetworkReply*)));
}

HttpRequestWorker::~HttpRequestWorker()
{
    m_manager->deleteLater();
}

QByteArray HttpRequestWorker::percentEncode(const QString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const char c : text.toUtf8()) {
        if (unreserved(c)) {
            out += c;
        } else {
            out += '%';
            out += hex[(uchar(c) >> 4) & 0xf];
            out += hex[uchar(c) & 0xf];
        }
    }
    return out;
}

QByteArray HttpRequestWorker::encodeHeaderAttribute(const QString& name, const QString& value)
{
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = value.toUtf8();
    QByteArray plain;
    bool extended = false;
    for (const char c : utf8) {
        const uchar b = uchar(c);
        if (b == '\\' || b == '/' || b == 0 || b < 0x20 || b > 0x7e) {
            extended = true;
        } else if (b == '"') {
            plain += "\\\"";
        } else {
            plain += c;
        }
    }
    if (!extended && !plain.isEmpty())
        return name.toUtf8() + "=\"" + plain + '"';
    QByteArray encoded;
    for (const char c : utf8) {
        const uchar b = uchar(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += hex[b >> 4];
            encoded += hex[b & 0xf];
        }
    }
    return name.toUtf8() + "=\"" + plain + "\"; " + name.toUtf8() + "*=utf-8''" + encoded;
}

QByteArray HttpRequestWorker::buildBody(HttpRequestParams& p, const QByteArray& boundary, QByteArray* contentType)
{
    if (!p.files.isEmpty())
        p.layout = Multipart;
    else if (p.layout == Unset)
        p.layout = (p.method == QLatin1String("GET") || p.method == QLatin1String("HEAD")) ? Query : FormUrlEncoded;

    contentType->clear();
    if (p.layout == Query) {
        if (!p.variables.isEmpty())
            p.url += QLatin1Char('?') + QString::fromLatin1(pairs(p.variables));
        return QByteArray();
    }
    if (p.layout == FormUrlEncoded) {
        *contentType = "application/x-www-form-urlencoded";
        return pairs(p.variables);
    }
    *contentType = "multipart/form-data; boundary=" + boundary;
    QByteArray body;
    for (auto it = p.variables.cbegin(); it != p.variables.cend(); ++it) {
        body += "--" + boundary + "\r\n";
        body += "Content-Disposition: form-data; " + encodeHeaderAttribute(QStringLiteral("name"), it.key()) + "\r\n";
        body += "Content-Type: text/plain\r\n\r\n";
        body += it.value().toUtf8() + "\r\n";
    }
    for (HttpUploadFile& file : p.files) {
        if (file.localPath.isEmpty() || file.fieldName.isEmpty())
            continue;
        const QFileInfo info(file.localPath);
        if (!info.exists() || !info.isFile() || !info.isReadable())
            continue;
        QFile f(file.localPath);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        if (file.uploadName.isEmpty())
            file.uploadName = info.fileName();
        if (file.uploadName.isEmpty())
            file.uploadName = QStringLiteral("file");
        body += "--" + boundary + "\r\n";
        body += "Content-Disposition: form-data; " + encodeHeaderAttribute(QStringLiteral("name"), file.fieldName)
                + "; " + encodeHeaderAttribute(QStringLiteral("filename"), file.uploadName) + "\r\n";
        if (!file.mimeType.isEmpty())
            body += "Content-Type: " + file.mimeType.toUtf8() + "\r\n";
        body += "Content-Transfer-Encoding: binary\r\n\r\n";
        body += f.readAll() + "\r\n";
        f.close();
    }
    body += "--" + boundary + "--";
    return body;
}

void HttpRequestWorker::execute(HttpRequestParams* params)
{
    response.clear();
    errorType = QNetworkReply::NoError;
    errorString.clear();

    const QByteArray boundary = "__-----------------------"
                                + QByteArray::number(QDateTime::currentDateTimeUtc().toSecsSinceEpoch())
                                + QByteArray::number(qrand());
    QByteArray contentType;
    const QByteArray body = buildBody(*params, boundary, &contentType);

    QNetworkRequest request(QUrl(params->url, QUrl::TolerantMode));
    request.setRawHeader("User-Agent", "Agent name goes here");
    if (!contentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);

    const QString& m = params->method;
    if (m == QLatin1String("GET")) {
        m_manager->get(request);
    } else if (m == QLatin1String("POST")) {
        m_manager->post(request, body);
    } else if (m == QLatin1String("PUT")) {
        m_manager->put(request, body);
    } else if (m == QLatin1String("HEAD")) {
        m_manager->head(request);
    } else if (m == QLatin1String("DELETE")) {
        m_manager->deleteResource(request);
    } else {
        // The body must outlive the request: it goes with the reply.
        auto* buffer = new QBuffer;
        buffer->setData(body);
        buffer->open(QIODevice::ReadOnly);
        QNetworkReply* reply = m_manager->sendCustomRequest(request, m.toLatin1(), buffer);
        buffer->setParent(reply);
    }
}

void HttpRequestWorker::on_manager_finished(QNetworkReply* reply)
{
    errorType = reply->error();
    if (errorType == QNetworkReply::NoError)
        response = reply->readAll();
    else
        errorString = reply->errorString();
    reply->deleteLater();
    emit on_execution_finished(this);
}
