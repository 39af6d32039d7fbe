#pragma once
// One page query on its way to the Qt main thread: posted to the active web
// view with high priority, turned into its jsMessage signal there.

#include "browser/query_callback.h"

#include <QEvent>
#include <QString>

class MessageEvent : public QEvent
{
public:
    MessageEvent(const QString& name, CallbackPtr callback);

    // The event type, registered once per process.
    static QEvent::Type eventType();

    QString name() const { return m_name; }
    CallbackPtr callback() const { return m_callback; }

private:
    QString m_name;
    CallbackPtr m_callback;
};
