#include "commands/tesk.h"

#include "app/cefapplication.h"
#include "app/global_shortcut.h"
#include "app/globals.h"
#include "app/system_tray.h"
#include "automation/process_moniter.h"
#include "app/text_file.h"
#include "browser/browser_page.h"
#include "browser/client_handler.h"
#include "browser/tesk_web_view.h"
#include "commands/argument_readings.h"
#include "commands/command_table.h"
#include "commands/device_commands.h"
#include "commands/profile_commands.h"
#include "commands/settings_commands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopWidget>
#include <QIcon>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

const char kProductModelName[] = "tesk";

namespace {

ConfMap currentConf()
{
    return g_application ? g_application->clientConf : ConfMap();
}

QString programFolder()
{
    QString folder = exeDir();
    while (folder.endsWith(QLatin1Char('/')) && folder.size() > 1)
        folder.chop(1);
    return folder;
}

// Binds a configured hot key; a missing key leaves it unbound.
bool bindShortcut(GlobalShortcut* shortcut, const ConfMap& conf, const QString& key)
{
    const auto it = conf.find(key);
    if (it == conf.end())
        return false;
    return shortcut->setShortcut(QKeySequence(*it, QKeySequence::NativeText));
}

// The last activated window receives the page queries and is the window the
// window commands move and minimise.
void routeQueriesTo(TeskWebView* view, QWidget* window)
{
    if (g_clientHandler) {
        g_clientHandler->listener = view;
        g_clientHandler->SetMainWindowHandle(window->winId());
    }
}

}  // namespace

QSize clientSizeFromConf(const ConfMap& conf)
{
    const QSize fallback(800, 600);
    const auto it = conf.find(QStringLiteral("clientSize"));
    if (it == conf.end())
        return fallback;
    const QStringList parts = it->split(QLatin1Char(','));
    if (parts.size() < 2)
        return fallback;
    const int width = parts.at(0).toInt();
    const int height = parts.at(1).toInt();
    if (width <= 0 || height <= 0)
        return fallback;
    return QSize(width, height);
}

QUrl mainPageUrl()
{
    return QUrl::fromLocalFile(programFolder() + QStringLiteral("/view/index.html"));
}

tesk::tesk()
{
    setObjectName(QStringLiteral("teskClass"));
    setWindowTitle(QStringLiteral("tesk"));

    const ConfMap conf = currentConf();
    const QSize size = clientSizeFromConf(conf);
    resize(size);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/tesk/desk_icon")));

    m_webView = new TeskWebView(this);
    m_webView->resize(size);
    setMinimumSize(size);
    setMouseTracking(true);

    const QUrl page = mainPageUrl();
    if (g_clientHandler) {
        g_clientHandler->startUrl = page.toString(QUrl::FullyEncoded).toUtf8();
        g_clientHandler->flushPendingDocuments = [this] { flushPendingDocuments(); };
    }
    m_webView->load(page);
    connect(m_webView, &TeskWebView::jsMessage, this, &tesk::onJsMessage);

    m_confShortcut = new GlobalShortcut(this);
    m_testShortcut = new GlobalShortcut(this);
    confShortcutBound = bindShortcut(m_confShortcut, conf, QStringLiteral("showConf"));
    testShortcutBound = bindShortcut(m_testShortcut, conf, QStringLiteral("testTool"));
    connect(m_confShortcut, &GlobalShortcut::activated, this, &tesk::showMouseConf);
    connect(m_testShortcut, &GlobalShortcut::activated, this, &tesk::showDebug);

    installEventFilter(this);
    restartProcessMonitor();

    m_deviceCommands = std::make_unique<DeviceCommands>();
    m_profileCommands = std::make_unique<ProfileCommands>(*this);
    m_settingsCommands = std::make_unique<SettingsCommands>(*this);

    setWindowTitle(QString::fromUtf8(kProductModelName));
}

tesk::~tesk()
{
    if (g_clientHandler)
        g_clientHandler->flushPendingDocuments = nullptr;
    stopProcessMonitor();
    delete m_tray;
    m_tray = nullptr;
    delete m_confShortcut;
    m_confShortcut = nullptr;
    delete m_testShortcut;
    m_testShortcut = nullptr;
    delete m_popup;
    m_popup = nullptr;
}

void tesk::setupTray()
{
    // Without a tray on the desktop the icon stays invisible; the window is
    // still reached through a second start of the program.
    m_tray = new SystemTray(this);
    m_tray->show();
    connect(m_tray, &QSystemTrayIcon::activated, this, &tesk::onSystemtrayActive, Qt::UniqueConnection);
    connect(m_tray, &SystemTray::showWidget, this, &tesk::onshowWidget);
    connect(m_tray, &SystemTray::closeApp, this, &tesk::oncloseApp);
}

void tesk::flushPendingDocuments()
{
    writePendingDocuments();
}

bool tesk::writePendingDocuments()
{
    if (!pendingDocuments.isEmpty()) {
        while (!pendingDocumentPaths.isEmpty()) {
            const QString path = pendingDocumentPaths.first();
            if (!writeTextFile(path, pendingDocuments.value(path)))
                return false;
            pendingDocumentPaths.removeFirst();
        }
    }
    pendingDocumentPaths.clear();
    return true;
}

void tesk::stopProcessMonitor()
{
    if (m_monitorThread) {
        if (m_monitor)
            m_monitor->keepRunning = false;
        m_monitorThread->quit();
        m_monitorThread = nullptr;  // deletes itself when it has finished
    }
    if (m_monitor) {
        m_monitor->deleteLater();
        m_monitor = nullptr;
    }
}

void tesk::restartProcessMonitor()
{
    stopProcessMonitor();
    m_monitorThread = new QThread;
    m_monitor = new ProcessMoniter(m_monitorThread, processPollInterval());
    connect(m_monitorThread, &QThread::finished, m_monitorThread, &QObject::deleteLater);
    m_monitorThread->start(QThread::InheritPriority);
}

void tesk::loadLocalPage(const QString& relativePath)
{
    BrowserPage* browser = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr;
    if (browser)
        browser->load(QUrl::fromLocalFile(programFolder() + relativePath));
}

void tesk::dispatchCommand(QString funcname, QVariantMap params, CallbackPtr callback)
{
    const CommandEntry* command = findCommand(funcname);
    // Every profile change resets the double-click time first, even one
    // that goes no further for a missing member.
    if (command && funcname == QLatin1String("modifyProfile"))
        ProfileCommands::resetDoubleClickTime();
    if (!command || !hasRequiredMembers(*command, params))
        return;  // no answer
    switch (command->family) {
    case CommandFamilyId::Device:
        m_deviceCommands->run(funcname, params, callback);
        break;
    case CommandFamilyId::Profile:
        m_profileCommands->run(funcname, params, callback);
        break;
    case CommandFamilyId::Settings:
        m_settingsCommands->run(funcname, params, callback);
        break;
    }
}

void tesk::onJsMessage(const QString& name, const CallbackPtr& callbackPtr)
{
    if (name == QLatin1String(R"({"funcname":"maxsizeWindow"})")) {
        normalGeometry = geometry();
        setGeometry(QApplication::desktop()->availableGeometry(-1));
        return;
    }
    if (name == QLatin1String(R"({"funcname":"restoreWindow"})")) {
        setGeometry(normalGeometry);
        return;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(name.toUtf8());
    if (!doc.isObject())
        return;
    const QVariantMap params = doc.object().toVariantMap();
    if (!params.contains(QStringLiteral("funcname")))
        return;
    dispatchCommand(readText(params, QStringLiteral("funcname")), params, callbackPtr);
}

void tesk::onSystemtrayActive(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Unknown:
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::Trigger:
        setWindowState(Qt::WindowActive);
        show();
        break;
    case QSystemTrayIcon::Context:
        if (m_tray)
            m_tray->setLanguage(currentConf().value(QStringLiteral("language")));
        break;
    default:
        break;
    }
}

void tesk::onCurrentPropChanged(int propIndex, int proMode)
{
    if (g_clientHandler)
        g_clientHandler->currentPropChanged(propIndex, proMode);
}

void tesk::quitApp()
{
    hide();
    flushPendingDocuments();
}

void tesk::finishLoading(bool) {}

void tesk::reload_currentPage()
{
    if (BrowserPage* browser = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr)
        browser->triggerAction(QWebEnginePage::Reload);
}

void tesk::oncloseApp()
{
    flushPendingDocuments();
    quitOnce();
}

void tesk::onshowWidget()
{
    show();
}

void tesk::showMouseConf()
{
    if (!m_popup)
        m_popup = new PopWidget(this);
    if (m_popup->isVisible()) {
        routeQueriesTo(m_webView, this);
        m_popup->deleteLater();
        m_popup = nullptr;
        return;
    }
    routeQueriesTo(m_popup->webView(), m_popup);
    m_popup->show();
}

void tesk::showDebug() {}

void tesk::closeEvent(QCloseEvent* event)
{
    hide();
    event->ignore();
}

void tesk::resizeEvent(QResizeEvent* event)
{
    if (m_webView)
        m_webView->resize(size());
    QWidget::resizeEvent(event);
}

bool tesk::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::WindowActivate) {
        routeQueriesTo(m_webView, this);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

PopWidget::PopWidget(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    resize(1000, 670);
    m_webView = new TeskWebView(this);
    m_webView->resize(1000, 1000);
    m_webView->load(mainPageUrl());
    installEventFilter(this);
}

bool PopWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::WindowActivate) {
        routeQueriesTo(m_webView, this);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
