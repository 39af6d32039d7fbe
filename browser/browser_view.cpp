#include "browser/browser_view.h"

#include <QChildEvent>
#include <QDragEnterEvent>

BrowserView::BrowserView(QWidget* parent, bool keepCursor)
    : QWebEngineView(parent)
    , m_keepCursor(keepCursor)
{
    setContextMenuPolicy(Qt::NoContextMenu);
}

void BrowserView::dragEnterEvent(QDragEnterEvent* event)
{
    // Dropping a link would navigate away from the program's page.
    if (event->possibleActions() & Qt::LinkAction) {
        event->ignore();
        return;
    }
    QWebEngineView::dragEnterEvent(event);
}

bool BrowserView::event(QEvent* e)
{
    // The engine renders into a child widget made after the page; the
    // cursor rule and the link-drag rule must reach it too.
    if (e->type() == QEvent::ChildPolished)
        watchFocusProxy();
    return QWebEngineView::event(e);
}

void BrowserView::watchFocusProxy()
{
    if (QWidget* proxy = focusProxy())
        proxy->installEventFilter(this);
}

bool BrowserView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::DragEnter) {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (drag->possibleActions() & Qt::LinkAction) {
            drag->ignore();
            return true;
        }
    }
    if (m_keepCursor && event->type() == QEvent::CursorChange) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->cursor().shape() != Qt::ArrowCursor)
            widget->setCursor(Qt::ArrowCursor);
    }
    return QWebEngineView::eventFilter(watched, event);
}
