#include "update/update_check.h"

#include "app/cefapplication.h"
#include "app/globals.h"
#include "app/logging.h"
#include "commands/tesk.h"
#include "update/http_request_worker.h"
#include "update/update_dialog.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStackedWidget>

QString webServiceBase()
{
    const QString configured = QString::fromLocal8Bit(qgetenv("TESK_UPDATE_SERVICE"));
    return configured.isEmpty() ? QStringLiteral(TESK_UPDATE_SERVICE_DEFAULT) : configured;
}

UpdateCheck::UpdateCheck(QObject* parent)
    : QObject(parent)
{
}

UpdateCheck::~UpdateCheck()
{
    if (m_worker)
        m_worker->deleteLater();
    delete m_dialog;
}

void UpdateCheck::checkForUpdate(const QString& deviceId, const QString& firmwareVersion,
                                 const QString& clientVersion, bool isInteractive)
{
    interactive = isInteractive;
    HttpRequestParams params(webServiceBase() + QStringLiteral("/api/system/upgrade"), QStringLiteral("GET"));
    params.variables.insert(QStringLiteral("deviceid"), deviceId);
    params.variables.insert(QStringLiteral("test"), QStringLiteral("1"));
    params.variables.insert(QStringLiteral("fwversion"), firmwareVersion);
    params.variables.insert(QStringLiteral("version"), clientVersion);
    params.variables.insert(QStringLiteral("noencrypt"), QStringLiteral("1"));
    m_worker = new HttpRequestWorker(this);
    connect(m_worker, SIGNAL(on_execution_finished(HttpRequestWorker*)), this,
            SLOT(handle_doCheckUpdate(HttpRequestWorker*)));
    m_worker->execute(&params);
}

void UpdateCheck::runDialog(updateDlg* dialog)
{
    delete m_dialog;
    m_dialog = dialog;
    // Centred over the main window, keeping its size.
    if (tesk* window = g_application ? g_application->mainWindow() : nullptr)
        dialog->move(window->x() + (window->width() - 1) / 2 - dialog->width() / 2,
                     window->y() + (window->height() - 1) / 2 - dialog->height() / 2);
    m_dialogRunning = true;
    QPointer<UpdateCheck> self(this);
    dialog->exec();
    if (self)
        m_dialogRunning = false;
}

void UpdateCheck::handle_doCheckUpdate(HttpRequestWorker* worker)
{
    QString result;
    if (worker->errorType != QNetworkReply::NoError) {
        result = QStringLiteral("Error: ") + worker->errorString + QString::fromUtf8(worker->response);
    } else {
        result = QString::fromUtf8(worker->response);
        const QJsonDocument doc = QJsonDocument::fromJson(worker->response);
        const QJsonObject reply = doc.object();
        if (doc.isObject() && reply.contains(QStringLiteral("code"))) {
            const int code = reply.value(QStringLiteral("code")).toInt();  // a string reads as 0
            if (code == 0 && reply.contains(QStringLiteral("ret"))) {
                const QJsonObject ret = reply.value(QStringLiteral("ret")).toObject();
                emit FindNewVersion();
                const QString type = ret.value(QStringLiteral("type")).toString();
                const QString deployment = ret.value(QStringLiteral("deployment")).toString();
                if (!deployment.isEmpty() && type == QLatin1String("0")) {
                    auto* dialog = new updateDlg;
                    connect(dialog, SIGNAL(needupdate()), this, SLOT(on_needupdate()));
                    dialog->setPackages(ret, deployment.split(QLatin1Char(',')));
                    LOG_INFO(result);
                    runDialog(dialog);
                    return;
                }
            } else if (code == 1 && interactive) {
                auto* dialog = new updateDlg;
                dialog->showPage(2);
                LOG_INFO(result);
                runDialog(dialog);
                return;
            }
        }
    }
    LOG_INFO(result);
}

void UpdateCheck::on_needupdate()
{
    emit closeApp();
}
