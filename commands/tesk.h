#pragma once
// The main window: frameless, of the configured client size, hosting the
// page; closing it only hides it. It keeps the cache of profile documents
// that wait to be written.

#include "app/client_conf.h"

#include <QMap>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QWidget>

// The window's size from the configuration key "clientSize" ("width,height").
// Without the key, or without two positive numbers, 800 x 600.
QSize clientSizeFromConf(const ConfMap& conf);

// The title the window carries: the product's model name.
extern const char kProductModelName[];

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

    QMap<QString, QString> pendingDocuments;
    QStringList pendingDocumentPaths;

public slots:
    void quitApp();
    void oncloseApp();
    void onshowWidget();

protected:
    void closeEvent(QCloseEvent* event) override;
};
