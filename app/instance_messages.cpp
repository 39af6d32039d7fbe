#include "app/instance_messages.h"

#include <QRegularExpression>

InstanceCommandScan scanInstanceCommands(const QByteArray& buffer)
{
    InstanceCommandScan scan;
    const int lastEnd = buffer.lastIndexOf(';');
    if (lastEnd < 0) {
        scan.rest = buffer;
        return scan;
    }
    const QString text = QString::fromLocal8Bit(buffer.left(lastEnd + 1));
    int start = 0;
    for (int end = text.indexOf(QLatin1Char(';')); end >= 0;
         start = end + 1, end = text.indexOf(QLatin1Char(';'), start)) {
        const QStringRef message = text.midRef(start, end - start);
        if (message.startsWith(QLatin1String("CMD:")))
            scan.commands.append(message.mid(4).toString());
    }
    scan.rest = buffer.mid(lastEnd + 1);
    return scan;
}

QByteArray instanceReply(qint64 pid)
{
    return "RES:" + QByteArray::number(pid) + ';';
}

bool parseInstanceReply(const QString& reply, quint64* pid)
{
    static const QRegularExpression complete(QStringLiteral("RES:(\\d+);"));
    if (!complete.match(reply).hasMatch())
        return false;
    bool ok = false;
    const quint64 value = reply.mid(4, reply.size() - 5).toULongLong(&ok);
    *pid = ok ? value : 0;
    return true;
}
