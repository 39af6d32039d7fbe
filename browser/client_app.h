#pragma once
// The program's process-wide browser-engine object: which schemes keep
// cookies. Qt WebEngine runs its renderers in its own helper program, so
// there is no sub-process role here.

#include <QStringList>

class ClientApp
{
public:
    // Schemes whose cookies the engine stores.
    const QStringList& cookieSchemes() const { return m_cookieSchemes; }

private:
    QStringList m_cookieSchemes{QStringLiteral("http"), QStringLiteral("https")};
};
