#include "app/crash_reporting.h"

#include "app/logging.h"
#include "platform/crash_handler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
bool g_installed = false;
}

void installCrashHandler(const QString& dumpFolder)
{
    if (g_installed)
        return;
    g_installed = true;
    const QByteArray folder = QFile::encodeName(dumpFolder);
    if (!platform::installCrashHandler(folder.constData(), ""))
        LOG_WARNING(QStringLiteral("crash handler: dump folder path too long: ") + dumpFolder);
}

QString setReporter(const QString& program)
{
    QString resolved = program;
    const bool relative = QFileInfo(program).isRelative();
    if (relative && !QFileInfo::exists(program))
        resolved = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + program);
    if (relative)
        LOG_DEBUG(QStringLiteral("BreakpadQt: setReporter: %1 -> %2").arg(program, resolved));
    const QByteArray path = QFile::encodeName(resolved);
    // A path that does not fit the handler's fixed buffer starts no reporter.
    if (!platform::setCrashReporterPath(path.constData())) {
        platform::setCrashReporterPath("");
        LOG_WARNING(QStringLiteral("crash reporter path too long, no reporter: ") + resolved);
    }
    return resolved;
}
