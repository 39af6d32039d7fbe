#include "commands/settings_commands.h"

#include "app/cefapplication.h"
#include "app/global_shortcut.h"
#include "app/globals.h"
#include "automation/hook_handler.h"
#include "browser/browser_page.h"
#include "browser/client_handler.h"
#include "commands/argument_readings.h"
#include "commands/tesk.h"
#include "platform/autostart.h"
#include "platform/mouse_settings.h"
#include "platform/platform.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {

// Flags travel as one character: U+0001 for true, U+0000 for false.
QString flag(bool value)
{
    return QString(QChar(value ? 1 : 0));
}

// Double-click times by the page's slider position.
int doubleClickTime(int position)
{
    return 970 - 70 * position;
}

QString documentsFolder()
{
    return QDir::homePath() + QStringLiteral("/Documents");
}

QString programFile()
{
    return QDir::toNativeSeparators(exeDir() + QStringLiteral("tesk"));
}

}  // namespace

SettingsCommands::SettingsCommands(tesk& window)
    : m_window(window)
{
}

void SettingsCommands::run(const QString& funcname, const QVariantMap& params,
                           const CallbackPtr& callback)
{
    BrowserPage* browser = g_clientHandler ? g_clientHandler->GetBrowser() : nullptr;
    if (funcname == QLatin1String("getConf")) {
        getConf(callback);
    } else if (funcname == QLatin1String("setConf")) {
        setConf(params, callback);
    } else if (funcname == QLatin1String("checkUpdate")) {
        if (g_application)
            g_application->runUpdateCheck(true);
        callback->Success(QStringLiteral("checkUpdate success"));
    } else if (funcname == QLatin1String("modifyMouseSpeed")) {
        if (platform::mouseSettings().setPointerSpeed(readInteger(params, QStringLiteral("speednum"))))
            callback->Success(QStringLiteral("modifyMouseSpeed success"));
        else
            callback->Failure(0, QStringLiteral("modifyMouseSpeed failed"));
    } else if (funcname == QLatin1String("modifyMouseScrollLines")) {
        if (platform::mouseSettings().setWheelScrollLines(readInteger(params, QStringLiteral("linenum"))))
            callback->Success(QStringLiteral("modifyMouseScrollLines success"));
        else
            callback->Failure(0, QStringLiteral("modifyMouseScrollLines failed"));
    } else if (funcname == QLatin1String("modifyMouseDoubleClick")) {
        const int position = readInteger(params, QStringLiteral("position"));
        if (position >= 0 && position <= 11
            && platform::mouseSettings().setDoubleClickTime(doubleClickTime(position)))
            callback->Success(QStringLiteral("modifyMouseDoubleClick success"));
        else
            callback->Failure(0, QStringLiteral("modifyMouseDoubleClick failed"));
    } else if (funcname == QLatin1String("closeApp")) {
        const ConfMap conf = g_application ? g_application->clientConf : ConfMap();
        const auto it = conf.find(QStringLiteral("closeFunc"));
        if (it != conf.end() && *it == QLatin1String("closeapp"))
            m_window.oncloseApp();
        else if (it != conf.end())
            m_window.quitApp();
        callback->Success(QStringLiteral("modify conf sucess"));
    } else if (funcname == QLatin1String("startRecord")) {
        hook_handler::startRecording();
        callback->Success(QStringLiteral("startRecord success!"));
    } else if (funcname == QLatin1String("stopRecord")) {
        hook_handler::stopRecording();
        callback->Success(QStringLiteral("stopRecord success"));
    } else if (funcname == QLatin1String("saveFileDialog")) {
        const QString path = QFileDialog::getSaveFileName(&m_window, QStringLiteral("SaveFileDialog"),
                                                          documentsFolder(), QStringLiteral("pfd(*.pfd)"));
        if (!path.isEmpty())
            callback->Success(path);
    } else if (funcname == QLatin1String("openFileDialog")) {
        const QString path = QFileDialog::getOpenFileName(&m_window, QStringLiteral("OpenFileDialog"),
                                                          documentsFolder(), QStringLiteral("pfd(*.pfd)"));
        if (!path.isEmpty())
            callback->Success(path);
    } else if (funcname == QLatin1String("openFileDialogExe")) {
        // Programs carry no suffix here, so the filter shows every file.
        const QString path = QFileDialog::getOpenFileName(&m_window, QStringLiteral("OpenFileDialog"),
                                                          documentsFolder(), QStringLiteral("(*)"));
        if (!path.isEmpty())
            callback->Success(QDir::toNativeSeparators(path));
    } else if (funcname == QLatin1String("openUrl")) {
        QDesktopServices::openUrl(QUrl(readText(params, QStringLiteral("url")), QUrl::TolerantMode));
        callback->Success(QStringLiteral("open successed"));
    } else if (funcname == QLatin1String("loadurl")) {
        m_window.loadLocalPage(readText(params, QStringLiteral("url")));
    } else if (funcname == QLatin1String("goback")) {
        if (browser)
            browser->triggerAction(QWebEnginePage::Back);
        callback->Success(QStringLiteral("goback"));
    } else if (funcname == QLatin1String("goforward")) {
        if (browser)
            browser->triggerAction(QWebEnginePage::Forward);
        callback->Success(QStringLiteral("goforward"));
    } else if (funcname == QLatin1String("confChanged")) {
        if (!m_window.processMonitor())
            return;
        m_window.flushPendingDocuments();
        m_window.restartProcessMonitor();
        callback->Success(QStringLiteral("confChanged"));
    }
}

void SettingsCommands::getConf(const CallbackPtr& callback)
{
    const ConfMap conf = g_application ? g_application->clientConf : ConfMap();
    if (conf.isEmpty())
        callback->Failure(0, QStringLiteral("cant find conf.xml"));  // a later answer is not delivered
    QJsonObject object;
    for (auto it = conf.cbegin(); it != conf.cend(); ++it) {
        QString value = it.value();
        if (it.key() == QLatin1String("showConf"))
            value += QLatin1Char(',') + flag(m_window.confShortcutBound);
        else if (it.key() == QLatin1String("testTool"))
            value += QLatin1Char(',') + flag(m_window.testShortcutBound);
        object.insert(it.key(), value);
    }
    callback->Success(QString::fromUtf8(QJsonDocument(QJsonArray{object}).toJson(QJsonDocument::Compact)));
}

void SettingsCommands::setConf(const QVariantMap& params, const CallbackPtr& callback)
{
    const QString key = readText(params, QStringLiteral("confKey"));
    const QString value = readText(params, QStringLiteral("confValue"));
    if (key == QLatin1String("autoStart"))
        platform::autostart().setEnabled(value == QLatin1String("true"), programFile());
    if (key == QLatin1String("showConf") && m_window.confShortcut())
        m_window.confShortcutBound = m_window.confShortcut()->setShortcut(QKeySequence(value, QKeySequence::NativeText));
    if (key == QLatin1String("testTool") && m_window.testShortcut())
        m_window.testShortcutBound = m_window.testShortcut()->setShortcut(QKeySequence(value, QKeySequence::NativeText));

    if (!g_application || !g_application->setConfValue(key, value))
        callback->Failure(0, QStringLiteral("can't find conf name"));  // a later answer is not delivered
    if (!g_application)
        return;
    const QString text = editConfAttribute(g_application->clientConfText, key, value);
    if (text.isNull())
        return;  // the document does not parse: the file keeps its content
    g_application->setConfText(text);
    g_application->saveConfFile();

    if (key == QLatin1String("showConf"))
        callback->Success(flag(m_window.confShortcutBound));
    else if (key == QLatin1String("testTool"))
        callback->Success(flag(m_window.testShortcutBound));
    else
        callback->Success(QStringLiteral("modify conf sucess"));
}
