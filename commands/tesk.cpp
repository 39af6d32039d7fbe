#include "commands/tesk.h"

#include "app/cefapplication.h"
#include "app/globals.h"
#include "app/text_file.h"

#include <QCloseEvent>
#include <QIcon>

const char kProductModelName[] = "tesk";

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

tesk::tesk()
{
    setObjectName(QStringLiteral("teskClass"));
    setWindowTitle(QStringLiteral("tesk"));

    const QSize size = clientSizeFromConf(g_application ? g_application->clientConf : ConfMap());
    resize(size);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/tesk/desk_icon")));
    setMinimumSize(size);
    setMouseTracking(true);

    setWindowTitle(QString::fromUtf8(kProductModelName));
}

tesk::~tesk() = default;

void tesk::setupTray()
{
    // The tray icon comes with the tray and shortcut work.
}

void tesk::flushPendingDocuments()
{
    if (!pendingDocuments.isEmpty()) {
        while (!pendingDocumentPaths.isEmpty()) {
            const QString path = pendingDocumentPaths.first();
            if (!writeTextFile(path, pendingDocuments.value(path)))
                return;
            pendingDocumentPaths.removeFirst();
        }
    }
    pendingDocumentPaths.clear();
}

void tesk::quitApp()
{
    hide();
    flushPendingDocuments();
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

void tesk::closeEvent(QCloseEvent* event)
{
    hide();
    event->ignore();
}
