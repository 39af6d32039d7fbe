#include "app/cefapplication.h"

#include "app/crash_reporting.h"
#include "app/globals.h"
#include "app/host_identity.h"
#include "app/instance_messages.h"
#include "app/logging.h"
#include "app/text_file.h"
#include "browser/client_handler.h"
#include "browser/engine_settings.h"
#include "commands/tesk.h"
#include "device/devices_handler.h"
#include "update/update_check.h"
#include "platform/platform.h"
#include "platform/window_activation.h"

#include <QFile>
#include <QRegularExpression>

const char kInstanceName[] = "Global\\{3c5e0b7d-9a41-4f2e-b6d8-1e7a90c4d253}";

cefApplication::cefApplication(int& argc, char** argv)
    : QApplication(argc, argv)
    , instanceName(QString::fromLatin1(kInstanceName))
{
    // The program lives on in the tray when its windows are closed or hidden.
    setQuitOnLastWindowClosed(false);
    loadClientConf();
    m_devicesHandler = new devices_handler(this);
    // A device notification rebuilds the table on the library's thread.
    setDeviceListRefresh([this] { refreshDeviceTable(); });
    refreshDeviceTable();
    for (int i = 0; i < argc; ++i)
        if (qstrcmp(argv[i], "-autostart") == 0)
            autostart = true;
}

cefApplication::~cefApplication()
{
    probeSocket.close();
    delete m_mainWindow;
    m_mainWindow = nullptr;
    delete m_devicesHandler;
    m_devicesHandler = nullptr;
    if (g_application == this)
        g_application = nullptr;
}

void cefApplication::init()
{
    g_exeDir = applicationDirPath() + QLatin1Char('/');
    g_baseDir = g_exeDir;

    QFile qss(QStringLiteral(":/qss/tesk"));
    setStyleSheet(qss.open(QIODevice::ReadOnly) ? QString::fromUtf8(qss.readAll()) : QString());

    installCrashHandler(applicationDirPath());
    setReporter(QStringLiteral("CrashReporter"));

    g_application = this;

    connect(&probeSocket, &QLocalSocket::connected, this, &cefApplication::socketConnected);
    connect(&probeSocket, &QLocalSocket::errorOccurred, this, &cefApplication::socketError);
    connect(&probeSocket, &QLocalSocket::disconnected, this, &cefApplication::socketDisconnected);
    connect(&probeSocket, &QLocalSocket::readyRead, this, &cefApplication::socketReading);
    connect(&server, &QLocalServer::newConnection, this, &cefApplication::newInstanceConnected);

    probeSocket.connectToServer(instanceName, QIODevice::ReadWrite);
}

// ---- configuration -------------------------------------------------------

QString cefApplication::confFilePath() const
{
    return applicationDirPath() + QStringLiteral("/Resources/profiles/conf.xml");
}

void cefApplication::loadClientConf()
{
    const ClientConfData conf = readClientConf(confFilePath(), discoverHostIdentity());
    clientConf = conf.values;
    clientConfText = conf.text;
}

QString cefApplication::confValue(const QString& key) const
{
    return clientConf.value(key);
}

bool cefApplication::setConfValue(const QString& key, const QString& value)
{
    auto it = clientConf.find(key);
    if (it == clientConf.end())
        return false;
    *it = value;
    return true;
}

QString cefApplication::confText() const
{
    return clientConfText;
}

void cefApplication::setConfText(const QString& text)
{
    clientConfText = text;
}

void cefApplication::saveConfFile()
{
    // A failed write keeps the old file whole; the change stays in memory.
    writeTextFile(confFilePath(), clientConfText);
}

void cefApplication::writeConfAttribute(const QString& key, const QString& value)
{
    const QString text = editConfAttribute(clientConfText, key, value);
    if (text.isNull())
        return;
    setConfText(text);
    saveConfFile();
}

// ---- devices and updates -------------------------------------------------

void cefApplication::refreshDeviceTable()
{
    if (!m_devicesHandler)
        return;
    deviceTable.refresh(*m_devicesHandler);
}

void cefApplication::runUpdateCheck(bool interactive)
{
    QString deviceId, firmwareVersion;
    const QMap<QString, DeviceInfo> devices = deviceTable.entries();
    if (!devices.isEmpty()) {
        deviceId = devices.first().deviceId;
        firmwareVersion = devices.first().version;
    }
    // A check whose dialog is still in its modal loop is not replaced: the
    // user is looking at it, and deleting it would pull the loop away.
    if (m_updateCheck && m_updateCheck->dialogRunning())
        return;
    delete m_updateCheck;
    m_updateCheck = new UpdateCheck(this);
    connect(m_updateCheck, &UpdateCheck::closeApp, this, &cefApplication::on_closeApp);
    if (!clientConf.contains(QStringLiteral("version")))
        clientConf.insert(QStringLiteral("version"), QString());
    m_updateCheck->checkForUpdate(deviceId, firmwareVersion, clientConf.value(QStringLiteral("version")),
                                  interactive);
}

// ---- single instance: the new copy ----------------------------------------

void cefApplication::socketConnected()
{
    connected = true;
    probeSocket.write(QByteArrayLiteral("CMD:show;"));
}

void cefApplication::socketError(QLocalSocket::LocalSocketError e)
{
    if (connected) {
        quitOnce();
        return;
    }
    probeSocket.close();
    if (server.listen(instanceName)) {
        becomeRunningCopy();
        return;
    }
    // A copy that crashed leaves its socket file behind: nobody answers on it,
    // so it can go, once.
    if (e == QLocalSocket::ConnectionRefusedError || e == QLocalSocket::ServerNotFoundError) {
        QLocalServer::removeServer(instanceName);
        if (server.listen(instanceName)) {
            becomeRunningCopy();
            return;
        }
    }
    quitOnce();
}

void cefApplication::socketDisconnected()
{
    if (connected)
        quitOnce();
}

void cefApplication::socketReading()
{
    if (probeSocket.state() != QLocalSocket::ConnectedState)
        return;
    replyBuffer += QString::fromUtf8(probeSocket.readAll());
    quint64 pid = 0;
    if (!parseInstanceReply(replyBuffer, &pid))
        return;
    if (pid != 0) {
        static const QRegularExpression title(QStringLiteral("^tesk(\\s*\\(\\d+\\))?$"));
        platform::windowActivation().activateProcessWindow(qint64(pid), title);
    }
    quitOnce();
}

// ---- single instance: the running copy ------------------------------------

void cefApplication::becomeRunningCopy()
{
    createMainWindow();
}

void cefApplication::createMainWindow()
{
    startEngine();
    m_mainWindow = new tesk();
    if (g_clientHandler)
        g_clientHandler->SetMainWindowHandle(m_mainWindow->winId());
    m_mainWindow->setupTray();
    if (!autostart)
        m_mainWindow->show();
    runUpdateCheck(false);
    LOG_INFO(QStringLiteral("mainwindow show!"));
}

void cefApplication::newInstanceConnected()
{
    while (QLocalSocket* socket = server.nextPendingConnection()) {
        clients.append(qMakePair(socket, QByteArray()));
        connect(socket, &QLocalSocket::readyRead, this, &cefApplication::readClients);
        connect(socket, &QLocalSocket::disconnected, this, &cefApplication::removeClients);
    }
}

void cefApplication::readClients()
{
    for (auto& client : clients) {
        client.second += client.first->readAll();
        if (client.second.isEmpty())
            continue;
        const InstanceCommandScan scan = scanInstanceCommands(client.second);
        for (const QString& command : scan.commands) {
            if (command == QLatin1String("show") && m_mainWindow) {
                m_mainWindow->setWindowState(m_mainWindow->windowState() & ~Qt::WindowMinimized);
                m_mainWindow->show();
                m_mainWindow->raise();
                m_mainWindow->activateWindow();
            }
            client.first->write(instanceReply(QCoreApplication::applicationPid()));
        }
        client.second = scan.rest;
    }
}

void cefApplication::removeClients()
{
    for (int i = clients.size() - 1; i >= 0; --i) {
        QLocalSocket* socket = clients.at(i).first;
        if (socket->state() != QLocalSocket::ConnectedState) {
            clients.removeAt(i);
            socket->deleteLater();
        }
    }
}

void cefApplication::on_closeApp()
{
    if (m_mainWindow)
        m_mainWindow->flushPendingDocuments();
    quitOnce();
}
