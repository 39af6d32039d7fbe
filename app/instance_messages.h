#pragma once
// The single-instance channel's messages. A new copy sends "CMD:show;"; the
// running copy answers each "CMD:" message with "RES:<pid>;". A ";" ends a
// message, and both sides collect bytes until a message is complete.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct InstanceCommandScan
{
    QStringList commands;  // one entry per "CMD:" message, the text after the prefix
    QByteArray rest;       // bytes after the last ";", kept for the next read
};

// Walks the complete messages of `buffer` (decoded with the local 8-bit code
// page). Messages without the "CMD:" prefix are skipped. A buffer without any
// ";" is kept whole.
InstanceCommandScan scanInstanceCommands(const QByteArray& buffer);

// The running copy's answer to one command.
QByteArray instanceReply(qint64 pid);

// Reads the process identifier from the text received so far. Returns false
// while no "RES:<digits>;" message is in `reply`. The identifier is the text
// between the first 4 and the last character; anything that is not a number
// (two messages, trailing bytes) reads as 0.
bool parseInstanceReply(const QString& reply, quint64* pid);
