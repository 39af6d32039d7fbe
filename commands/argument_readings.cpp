#include "commands/argument_readings.h"

#include <QLocale>

#include <climits>
#include <cmath>
#include <cstdlib>

QString readText(const QVariantMap& params, const QString& key)
{
    const QVariant v = params.value(key);
    switch (v.userType()) {
    case QMetaType::QString:
        return v.toString();
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(v.toLongLong());
    default:
        return QString();
    }
}

int readInteger(const QVariantMap& params, const QString& key)
{
    const QVariant v = params.value(key);
    switch (v.userType()) {
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QString: {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok, 10);
        return ok ? n : 0;
    }
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong: {
        const double d = std::round(v.toDouble());
        if (std::isnan(d))
            return 0;
        if (d >= double(INT_MAX))
            return INT_MAX;
        if (d <= double(INT_MIN))
            return INT_MIN;
        return int(d);
    }
    default:
        return 0;
    }
}

long readHexadecimalText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::strtol(utf8.constData(), nullptr, 16);
}

long readHexadecimal(const QVariantMap& params, const QString& key)
{
    return readHexadecimalText(readText(params, key));
}
