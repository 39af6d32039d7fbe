#include "commands/byte_text.h"

#include "commands/argument_readings.h"

#include <QStringList>

QString byteListText(const uint8_t* bytes, int count)
{
    static const char digits[] = "0123456789abcdef";
    QString text;
    if (count <= 0)
        return text;
    text.reserve(count * 5);
    for (int i = 0; i < count; ++i) {
        if (i)
            text.append(QLatin1Char(','));
        text.append(QLatin1String("0x"));
        text.append(QLatin1Char(digits[bytes[i] >> 4]));
        text.append(QLatin1Char(digits[bytes[i] & 0xf]));
    }
    return text;
}

int readByteItems(const QString& text, uint8_t* bytes, int count)
{
    const QStringList items = text.split(QLatin1Char(','));
    for (int i = 0; i < count && i < items.size(); ++i)
        bytes[i] = uint8_t(readHexadecimalText(items.at(i)) & 0xff);
    return items.size();
}
