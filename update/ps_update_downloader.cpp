#include "update/ps_update_downloader.h"

#include "app/logging.h"
#include "update/update_cache.h"
#include "update/update_package.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <cstdlib>

namespace {

constexpr qint64 kResumeUnit = 102400;

// Deletes the plain files directly in `folder` (creating it when missing),
// sparing `keep`.
void cleanFolder(const QString& folder, const QString& keep = QString())
{
    QDir dir(folder);
    if (!dir.exists()) {
        QDir().mkpath(folder);
        return;
    }
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        if (f.absoluteFilePath() != QFileInfo(keep).absoluteFilePath())
            QFile::remove(f.absoluteFilePath());
}

}  // namespace

QString PsUpdateDownloader::outputFileName(const QString& url)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("/([^/\\?]+)(\\?|$)")).match(url);
    if (m.hasMatch())
        return m.captured(1);
    return QStringLiteral("tupdate-%1").arg(std::rand());
}

PsUpdateDownloader::PsUpdateDownloader(QThread* thread, const QString& url, const QString& kind)
    : m_url(url)
    , m_kind(kind)
{
    m_manager = new QNetworkAccessManager(this);
    moveToThread(thread);
    connect(thread, &QThread::started, this, &PsUpdateDownloader::start);

    const QString kindFolder = updateCacheFolder(kind);
    const QString name = outputFileName(url);
    // A name that could leave the cache folder is replaced by a plain one.
    const QString safeName = (name == QLatin1String(".") || name == QLatin1String("..")) ? QStringLiteral("tupdate-%1").arg(std::rand()) : name;
    m_output.setFileName(kindFolder + QLatin1Char('/') + safeName);
    cleanFolder(updateCacheFolder(QString()));
    cleanFolder(kindFolder, m_output.fileName());

    const qint64 size = m_output.exists() ? m_output.size() : 0;
    if (size > 0 && size < 2147483647) {
        const qint64 resumable = size / kResumeUnit * kResumeUnit;
        if (resumable == size) {
            m_downloaded = qint32(size);
        } else if (resumable > 0 && m_output.resize(resumable)) {
            m_downloaded = qint32(resumable);
        }
    }
    if (m_downloaded == 0)
        m_output.remove();
}

PsUpdateDownloader::~PsUpdateDownloader()
{
    if (m_reply)
        m_reply->deleteLater();
}

qint32 PsUpdateDownloader::downloadedBytes()
{
    QMutexLocker lock(&m_mutex);
    return m_downloaded;
}

void PsUpdateDownloader::start()
{
    sendRequest();
}

void PsUpdateDownloader::sendRequest()
{
    QNetworkRequest request(QUrl(m_url, QUrl::TolerantMode));
    request.setRawHeader("Range", "bytes=" + QByteArray::number(downloadedBytes()) + "-");
    request.setAttribute(QNetworkRequest::HttpPipeliningAllowedAttribute, true);
    if (m_reply)
        m_reply->deleteLater();
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &PsUpdateDownloader::partFinished);
    connect(m_reply, &QNetworkReply::errorOccurred, this, &PsUpdateDownloader::partFailed);
}

void PsUpdateDownloader::partFinished(qint64 got, qint64 total)
{
    if (!m_reply)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        const int code = status.toInt();
        if (code != 200 && code != 206 && code != 416) {
            clearUpdateCache();
            return;
        }
        // A 416 says the file is complete already; its body is the server's
        // message and must not end up in the package.
        if (code == 416)
            return;
    }
    emit finishPart(got, total);
    if (!m_output.isOpen() && !m_output.open(QIODevice::Append)) {
        clearUpdateCache();
        return;
    }
    const QByteArray bytes = m_reply->readAll();
    m_output.write(bytes);
    {
        QMutexLocker lock(&m_mutex);
        m_downloaded += qint32(bytes.size());
    }
    // An unknown total (-1) waits for a known end instead of ending at once.
    if (total >= 0 && got >= total) {
        m_reply->deleteLater();
        m_reply = nullptr;
        m_output.close();
        emit downLoadFinished();
        unpackPackage();
    }
}

void PsUpdateDownloader::partFailed(QNetworkReply::NetworkError)
{
    if (!m_reply)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_reply->deleteLater();
    m_reply = nullptr;
    if (status == 416) {
        m_output.close();
        unpackPackage();
        return;
    }
    m_output.close();
    emit downLoadFailed();
}

void PsUpdateDownloader::unpackPackage()
{
    QString version, error;
    if (!unpackPackageFile(m_output.fileName(), updateCacheFolder(m_kind), &version, &error)) {
        if (!error.isEmpty())
            LOG_INFO(error);
        clearUpdateCache();
        return;
    }
    emit unpressFinished(version);
}
