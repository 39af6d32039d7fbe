#pragma once
// The engine's view of one browser inside a TeskWebView: no context menu,
// links dragged onto it refused, cursor changes optionally ignored.

#include <QWebEngineView>

class BrowserView : public QWebEngineView
{
    Q_OBJECT
public:
    explicit BrowserView(QWidget* parent, bool keepCursor);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void watchFocusProxy();
    bool m_keepCursor;
};
