#pragma once
// The page commands in the order the dispatcher compares them, each with the
// members that must be present and the family that carries it out.

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

enum class CommandFamilyId { Device, Profile, Settings };

struct CommandEntry
{
    QString name;
    QStringList needs;
    CommandFamilyId family;
};

const QVector<CommandEntry>& commandTable();
// The first entry whose name equals `funcname` exactly, or null.
const CommandEntry* findCommand(const QString& funcname);
// Every needed member is present, whatever its value.
bool hasRequiredMembers(const CommandEntry& command, const QVariantMap& params);
