#include "browser/message_event.h"

MessageEvent::MessageEvent(const QString& name, CallbackPtr callback)
    : QEvent(eventType())
    , m_name(name)
    , m_callback(std::move(callback))
{
}

QEvent::Type MessageEvent::eventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}
