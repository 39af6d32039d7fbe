#include "commands/profile_file.h"

#include <QtEndian>

namespace {
void appendBigEndian(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}
}  // namespace

QByteArray encodeProfileFile(const QByteArray& xmlUtf8)
{
    const QByteArray payload = xmlUtf8.toBase64();
    QByteArray out;
    out.reserve(8 + payload.size());
    appendBigEndian(out, kProfileFileMagic);
    appendBigEndian(out, quint32(payload.size()));
    out += payload;
    return out;
}

bool decodeProfileFile(const QByteArray& file, QByteArray* xmlUtf8)
{
    if (file.size() < 8)
        return false;
    if (qFromBigEndian<quint32>(file.constData()) != kProfileFileMagic)
        return false;
    const quint32 length = qFromBigEndian<quint32>(file.constData() + 4);
    if (length == 0xFFFFFFFFu) {  // a null byte array
        xmlUtf8->clear();
        return true;
    }
    if (quint64(length) > quint64(file.size() - 8))
        return false;
    *xmlUtf8 = QByteArray::fromBase64(file.mid(8, int(length)));
    return true;
}
