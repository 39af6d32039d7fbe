#pragma once
// The main window: frameless, of the configured client size, covered by the
// web view that shows "view/index.html". It receives every page query
// (onJsMessage), handles maximise and restore itself and hands the rest to
// the command dispatcher. Closing it only hides it. It keeps the cache of
// profile documents that wait to be written.

#include "app/client_conf.h"
#include "browser/query_callback.h"

#include <QMap>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QVariantMap>
#include <QWidget>

#include <memory>

class CommandFamily;
class GlobalShortcut;
class ProcessMoniter;
class QThread;
class SystemTray;
class PopWidget;
class TeskWebView;

// The window's size from the configuration key "clientSize" ("width,height").
// Without the key, or without two positive numbers, 800 x 600.
QSize clientSizeFromConf(const ConfMap& conf);

// The title the window carries: the product's model name.
extern const char kProductModelName[];

// The page's address: "view/index.html" in the program folder.
QUrl mainPageUrl();

class tesk : public QWidget
{
    Q_OBJECT
public:
    tesk();
    ~tesk() override;

    void setupTray();
    // Writes every pending profile document, in order of first change. A
    // document that cannot be written stops the flush; it and the later ones
    // stay pending.
    void flushPendingDocuments();
    // The same, telling whether every pending document was written (each
    // one atomically: a failed write leaves the old file whole).
    bool writePendingDocuments();
    void restartProcessMonitor();
    // Asks the monitor to stop; its thread ends within one poll step.
    void stopProcessMonitor();
    // Loads program folder + `relativePath` (which starts with "/") into the
    // current browser.
    void loadLocalPage(const QString& relativePath);
    void dispatchCommand(QString funcname, QVariantMap params, CallbackPtr callback);

    TeskWebView* webView() const { return m_webView; }
    PopWidget* popWidget() const { return m_popup; }
    GlobalShortcut* confShortcut() const { return m_confShortcut; }
    GlobalShortcut* testShortcut() const { return m_testShortcut; }
    SystemTray* tray() const { return m_tray; }
    ProcessMoniter* processMonitor() const { return m_monitor; }

    QMap<QString, QString> pendingDocuments;
    QStringList pendingDocumentPaths;
    bool confShortcutBound = false;
    bool testShortcutBound = false;

public slots:
    void quitApp();
    void finishLoading(bool);
    void reload_currentPage();
    void onJsMessage(const QString& name, const CallbackPtr& callbackPtr);
    void onSystemtrayActive(QSystemTrayIcon::ActivationReason reason);
    void onCurrentPropChanged(int propIndex, int proMode);
    void onshowWidget();
    void oncloseApp();
    void showMouseConf();
    void showDebug();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SystemTray* m_tray = nullptr;
    QThread* m_monitorThread = nullptr;
    ProcessMoniter* m_monitor = nullptr;
    GlobalShortcut* m_confShortcut = nullptr;
    GlobalShortcut* m_testShortcut = nullptr;
    TeskWebView* m_webView = nullptr;
    PopWidget* m_popup = nullptr;
    QRect normalGeometry;
    std::unique_ptr<CommandFamily> m_deviceCommands;
    std::unique_ptr<CommandFamily> m_profileCommands;
    std::unique_ptr<CommandFamily> m_settingsCommands;
};

// The pop-up window the conf hot key toggles: its own view of the page.
class PopWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PopWidget(QWidget* parent);
    TeskWebView* webView() const { return m_webView; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TeskWebView* m_webView = nullptr;
};
