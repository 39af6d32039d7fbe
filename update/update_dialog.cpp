#include "update/update_dialog.h"

#include "app/cefapplication.h"
#include "app/globals.h"
#include "update/ps_update_downloader.h"
#include "update/update_cache.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QThread>

namespace {

QFrame* page(QStackedWidget* pages, const char* name)
{
    auto* frame = new QFrame(pages);
    frame->setObjectName(QLatin1String(name));
    frame->setFixedSize(580, 310);
    frame->setContentsMargins(0, 0, 0, 0);
    pages->addWidget(frame);
    return frame;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(x, y);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->move(x, y);
    return b;
}

}  // namespace

updateDlg::updateDlg()
    : QDialog(nullptr)
{
    setObjectName(QStringLiteral("updateDlg"));
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowIcon(QIcon(QStringLiteral(":/brivok/icon.png")));
    setFixedSize(600, 380);
    setContentsMargins(m_border, m_border, m_border, m_border);

    auto* close = button(this, "btn_closeSetuper", QString(), 562, 20);
    close->setFixedSize(18, 18);
    connect(close, SIGNAL(clicked()), this, SLOT(on_btn_closeSetuper_clicked()));

    m_pages = new QStackedWidget(this);
    m_pages->move(10, 60);
    m_pages->setFixedSize(580, 310);
    m_pages->setContentsMargins(0, 0, 0, 0);

    QFrame* first = page(m_pages, "pageFirst");
    m_text = label(first, "lb_text", QStringLiteral("Found the new version,update now?"), 110, 70);
    auto* cancel = button(first, "cancelButton", QStringLiteral("cancel"), 180, 190);
    connect(cancel, SIGNAL(clicked()), this, SLOT(on_btn_closeSetuper_clicked()));
    m_update = button(first, "uninstallButton", QStringLiteral("Update"), 300, 190);
    connect(m_update, SIGNAL(clicked()), this, SLOT(on_uninstallButton_clicekd()));

    QFrame* third = page(m_pages, "pageThird");
    label(third, "lb_logo", QString(), 156, 50);
    m_install = label(third, "lb_install", QString::fromUtf8("Downloading package resources。。。"), 10, 195);
    m_install->setFixedWidth(580);
    m_install->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_progress = new QProgressBar(third);
    m_progress->setObjectName(QStringLiteral("pb_install"));
    m_progress->move(47, 240);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);

    QFrame* info = page(m_pages, "pageInfo");
    label(info, "lb_info", QStringLiteral("The current version is the latest version"), 110, 70);
    auto* ok = button(info, "pb_ok", QStringLiteral("confirm"), 240, 190);
    connect(ok, SIGNAL(clicked()), this, SLOT(on_pb_ok_clicked()));
}

updateDlg::~updateDlg()
{
    // Downloads go on after the dialog has closed; they end with it here.
    for (PsUpdateDownloader* d : {m_clientDownloader, m_htmlDownloader})
        if (d)
            d->deleteLater();
    for (QThread* t : {m_clientThread, m_htmlThread})
        if (t)
            t->quit();
}

void updateDlg::setPackages(const QJsonObject& info, const QStringList& kinds)
{
    packageInfo = info;
    packageKinds = kinds;
}

void updateDlg::showPage(int index)
{
    m_pages->setCurrentIndex(index);
}

void updateDlg::on_btn_closeSetuper_clicked()
{
    reject();
}

void updateDlg::on_pb_ok_clicked()
{
    reject();
}

void updateDlg::on_uninstallButton_clicekd()
{
    showPage(1);
    m_progress->setTextVisible(true);
    const QString client = packageInfo.value(QStringLiteral("clientPackage")).toString();
    const QString html = packageInfo.value(QStringLiteral("devicePackage")).toString();
    if (packageKinds.contains(QStringLiteral("client")) && !client.isEmpty())
        startDownload(QStringLiteral("client"), client);
    if (packageKinds.contains(QStringLiteral("html")) && !html.isEmpty())
        startDownload(QStringLiteral("html"), html);
    // "firmware" packages are offered by the service but not installed here.
}

void updateDlg::startDownload(const QString& kind, const QString& url)
{
    auto* thread = new QThread;
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    auto* downloader = new PsUpdateDownloader(thread, url, kind);
    connect(downloader, &PsUpdateDownloader::finishPart, this, &updateDlg::on_finishPart);
    if (kind == QLatin1String("client")) {
        m_clientThread = thread;
        m_clientDownloader = downloader;
        connect(downloader, &PsUpdateDownloader::unpressFinished, this, &updateDlg::on_clientPackageDownLoadFinished);
    } else {
        m_htmlThread = thread;
        m_htmlDownloader = downloader;
        connect(downloader, &PsUpdateDownloader::unpressFinished, this, &updateDlg::on_htmlPackageDownLoadFinished);
    }
    connect(downloader, &PsUpdateDownloader::downLoadFailed, this, &updateDlg::on_downLoadFaild);
    thread->start(QThread::InheritPriority);
}

void updateDlg::on_finishPart(qint64 part, qint64 total)
{
    if (total == 0)
        return;
    m_progress->setValue(int(part * 100 / total));
}

void updateDlg::on_downLoadFaild()
{
    m_install->setText(QStringLiteral("Download failed, please check the network"));
}

void updateDlg::updateNow()
{
    emit needupdate();
}

void updateDlg::on_clientPackageDownLoadFinished(QString version)
{
    if (!prepareClientUpdate())
        return;
    m_text->setText(QStringLiteral("The download is complete,Restart now?"));
    m_update->setText(QStringLiteral("Restart Now"));
    disconnect(m_update, nullptr, this, nullptr);
    connect(m_update, SIGNAL(clicked()), this, SLOT(updateNow()));
    showPage(0);
    g_updatePending = true;
    // The file gets the new version; the running client keeps reporting its own.
    if (g_application && !g_application->clientConf.value(QStringLiteral("version")).isEmpty()) {
        const QString text = editConfAttribute(g_application->clientConfText, QStringLiteral("version"), version);
        if (!text.isNull()) {
            g_application->setConfText(text);
            g_application->saveConfFile();
        }
    }
}

void updateDlg::on_htmlPackageDownLoadFinished(QString)
{
    m_install->setText(QStringLiteral("Update Complete"));
    installHtmlPackage();
    accept();
}

void updateDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), QPixmap(QStringLiteral(":/image/background")));
}

bool updateDlg::isDragArea(const QPoint& point) const
{
    QWidget* child = childAt(point);
    return !child || child == m_pages->currentWidget() || child == m_pages;
}

void updateDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isDragArea(event->pos())) {
        m_dragging = true;
        m_dragOffset = event->globalPos() - frameGeometry().topLeft();
        return;
    }
    QDialog::mousePressEvent(event);
}

void updateDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPos() - m_dragOffset);
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void updateDlg::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}
