#pragma once
// A family of page commands. The dispatcher has checked the name and the
// required members; the family reads the arguments, does the work and
// answers through the callback (or stays silent where the protocol says so).

#include "browser/query_callback.h"

#include <QString>
#include <QVariantMap>

class CommandFamily
{
public:
    virtual ~CommandFamily() = default;
    virtual void run(const QString& funcname, const QVariantMap& params,
                     const CallbackPtr& callback) = 0;
};
