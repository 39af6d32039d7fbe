#pragma once
// Fetches one update package into "tupdates/<kind>/" on a thread of its
// own, resuming a partial file left by an earlier attempt at a multiple of
// 102,400 bytes, and unpacks it when it is complete.

#include <QFile>
#include <QMutex>
#include <QNetworkReply>
#include <QObject>

class QNetworkAccessManager;
class QThread;

class PsUpdateDownloader : public QObject
{
    Q_OBJECT
public:
    PsUpdateDownloader(QThread* thread, const QString& url, const QString& kind);
    ~PsUpdateDownloader() override;

    // The output file's name for `url`: its last path segment, or
    // "tupdate-<n>" when it has none.
    static QString outputFileName(const QString& url);
    QString outputPath() const { return m_output.fileName(); }
    qint32 downloadedBytes();

signals:
    void finishPart(qint64 got, qint64 total);
    void downLoadFinished();
    void downLoadFailed();
    void unpressFinished(QString version);

public slots:
    void start();
    void partFinished(qint64 got, qint64 total);
    void partFailed(QNetworkReply::NetworkError e);
    void sendRequest();

private:
    void unpackPackage();

    QString m_url;
    QString m_kind;
    QNetworkAccessManager* m_manager = nullptr;
    QNetworkReply* m_reply = nullptr;
    qint32 m_downloaded = 0;
    QFile m_output;
    QMutex m_mutex;
};
