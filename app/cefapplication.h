#pragma once
// The program's Qt application object. It lets only one copy run (a local
// socket probe: a second start asks the running copy to show itself and
// quits), holds the client configuration and the device table, and creates
// the main window in the copy that runs.

#include "app/client_conf.h"
#include "device/device_table.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMap>
#include <QPair>

class devices_handler;
class tesk;
class UpdateCheck;

class cefApplication : public QApplication
{
    Q_OBJECT
public:
    cefApplication(int& argc, char** argv);
    ~cefApplication() override;

    // Start-up step: style sheet, crash reporting, the single-instance probe.
    void init();

    // Client configuration.
    void loadClientConf();
    QString confValue(const QString& key) const;
    bool setConfValue(const QString& key, const QString& value);
    QString confText() const;
    void setConfText(const QString& text);
    void saveConfFile();
    // Sets one attribute of the document and writes the document back.
    void writeConfAttribute(const QString& key, const QString& value);
    QString confFilePath() const;

    void refreshDeviceTable();
    void runUpdateCheck(bool interactive);

    devices_handler* deviceHandler() const { return m_devicesHandler; }
    tesk* mainWindow() const { return m_mainWindow; }
    bool startedForAutostart() const { return autostart; }

    // The attached devices and how often each was listed (deviceTable.counts()).
    DeviceTable deviceTable;
    ConfMap clientConf;
    QString clientConfText;

public slots:
    void socketConnected();
    void socketError(QLocalSocket::LocalSocketError e);
    void socketDisconnected();
    void socketReading();
    void newInstanceConnected();
    void readClients();
    void removeClients();
    void on_closeApp();

private:
    void becomeRunningCopy();
    void createMainWindow();

    UpdateCheck* m_updateCheck = nullptr;
    tesk* m_mainWindow = nullptr;
    devices_handler* m_devicesHandler = nullptr;
    const QString instanceName;
    QLocalSocket probeSocket;
    QString replyBuffer;
    QLocalServer server;
    QList<QPair<QLocalSocket*, QByteArray>> clients;
    bool connected = false;
    bool autostart = false;
};

// The local-socket name shared by every copy of the program.
extern const char kInstanceName[];
