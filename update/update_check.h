#pragma once
// One check with the web service for newer packages: quietly at start-up,
// interactively on the page's "checkUpdate" (which also says when nothing
// newer exists). A newer package opens the update dialog modally.

#include <QObject>
#include <QPointer>
#include <QString>

class HttpRequestWorker;
class updateDlg;

// The web service: TESK_UPDATE_SERVICE when set, else the build's default.
QString webServiceBase();

class UpdateCheck : public QObject
{
    Q_OBJECT
public:
    explicit UpdateCheck(QObject* parent);
    ~UpdateCheck() override;

    void checkForUpdate(const QString& deviceId, const QString& firmwareVersion,
                        const QString& clientVersion, bool interactive);
    // True while this check's dialog runs its modal loop.
    bool dialogRunning() const { return m_dialogRunning; }
    updateDlg* dialog() const { return m_dialog; }

signals:
    void cantFindNewVersion();
    void FindNewVersion();
    void closeApp();

public slots:
    void handle_doCheckUpdate(HttpRequestWorker* worker);
    void on_needupdate();

private:
    void runDialog(updateDlg* dialog);

    HttpRequestWorker* m_worker = nullptr;
    updateDlg* m_dialog = nullptr;
    bool interactive = false;
    bool m_dialogRunning = false;
};
