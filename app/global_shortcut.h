#pragma once
// A system-wide hot key: setShortcut binds the first key of a sequence with
// its modifiers, releasing the earlier binding; activated() fires on the main
// thread whatever program has the focus.

#include <QKeySequence>
#include <QObject>

class GlobalShortcut : public QObject
{
    Q_OBJECT
public:
    explicit GlobalShortcut(QObject* parent = nullptr);
    ~GlobalShortcut() override;

    // true when the system accepted the combination.
    bool setShortcut(const QKeySequence& shortcut);
    QKeySequence shortcut() const { return m_shortcut; }

signals:
    void activated();

private:
    QKeySequence m_shortcut;
    int m_binding = 0;  // the system's binding, 0 when none
};
