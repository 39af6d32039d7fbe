#include "app/global_shortcut.h"

#include "platform/global_hotkeys.h"
#include "platform/platform.h"

#include <QPointer>

GlobalShortcut::GlobalShortcut(QObject* parent)
    : QObject(parent)
{
}

GlobalShortcut::~GlobalShortcut()
{
    if (m_binding)
        platform::globalHotkeys().release(m_binding);
}

bool GlobalShortcut::setShortcut(const QKeySequence& shortcut)
{
    if (m_binding)
        platform::globalHotkeys().release(m_binding);
    m_binding = 0;
    m_shortcut = shortcut;
    if (shortcut.isEmpty())
        return false;
    QPointer<GlobalShortcut> self(this);
    m_binding = platform::globalHotkeys().bind(shortcut, [self] {
        if (self)
            emit self->activated();
    });
    return m_binding != 0;
}
