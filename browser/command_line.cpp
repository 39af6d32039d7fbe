#include "browser/command_line.h"

namespace {
QStringList g_arguments;

// "--name=value" -> ("name", "value"); arguments that are not switches give
// an empty name.
QString switchName(const QString& arg, QString* value)
{
    if (!arg.startsWith(QLatin1Char('-')))
        return QString();
    QString body = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
    const int eq = body.indexOf(QLatin1Char('='));
    if (value)
        *value = eq >= 0 ? body.mid(eq + 1) : QString();
    return eq >= 0 ? body.left(eq) : body;
}
}  // namespace

void setProcessArguments(int argc, char** argv)
{
    g_arguments.clear();
    for (int i = 0; i < argc; ++i)
        g_arguments.append(QString::fromLocal8Bit(argv[i]));
}

const QStringList& processArguments()
{
    return g_arguments;
}

bool hasSwitch(const QString& name)
{
    for (int i = 1; i < g_arguments.size(); ++i)
        if (switchName(g_arguments.at(i), nullptr) == name)
            return true;
    return false;
}

QString switchValue(const QString& name)
{
    for (int i = 1; i < g_arguments.size(); ++i) {
        QString value;
        if (switchName(g_arguments.at(i), &value) == name)
            return value;
    }
    return QString();
}
