#include "app/global_shortcut.h"

GlobalShortcut::GlobalShortcut(QObject* parent)
    : QObject(parent)
{
}

GlobalShortcut::~GlobalShortcut() = default;

bool GlobalShortcut::setShortcut(const QKeySequence& shortcut)
{
    m_shortcut = shortcut;
    // System-wide grabbing comes with the desktop hot-key support; until
    // then no combination is bound.
    return false;
}
