#pragma once
// The frameless window through which the user accepts an offered update,
// watches the downloads and restarts into a new client. Page 0 offers,
// page 1 shows progress, page 2 says the client is up to date.

#include <QDialog>
#include <QJsonObject>
#include <QStringList>

class PsUpdateDownloader;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QThread;

class updateDlg : public QDialog
{
    Q_OBJECT
public:
    updateDlg();
    ~updateDlg() override;

    void setPackages(const QJsonObject& packageInfo, const QStringList& packageKinds);
    void showPage(int index);
    QStackedWidget* pages() const { return m_pages; }

signals:
    void needupdate();

public slots:
    void on_btn_closeSetuper_clicked();
    void on_uninstallButton_clicekd();
    void on_pb_ok_clicked();
    void on_finishPart(qint64 part, qint64 total);
    void on_downLoadFaild();
    void updateNow();
    void on_clientPackageDownLoadFinished(QString version);
    void on_htmlPackageDownLoadFinished(QString version);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Dragging anywhere outside the controls moves the frameless window.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void startDownload(const QString& kind, const QString& url);
    bool isDragArea(const QPoint& point) const;

    const int m_border = 10;
    QJsonObject packageInfo;
    QStringList packageKinds;
    QThread* m_clientThread = nullptr;
    PsUpdateDownloader* m_clientDownloader = nullptr;
    QThread* m_htmlThread = nullptr;
    PsUpdateDownloader* m_htmlDownloader = nullptr;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_text = nullptr;
    QLabel* m_install = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_update = nullptr;
    bool m_dragging = false;
    QPoint m_dragOffset;
};
