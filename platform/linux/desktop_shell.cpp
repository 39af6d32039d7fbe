#include "platform/linux/desktop_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

bool DesktopShell::startProgram(const QString& program, const QStringList& arguments,
                                bool elevated, const QString& workingDirectory)
{
    if (elevated) {
        const QString pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
        if (!pkexec.isEmpty())
            return QProcess::startDetached(pkexec, QStringList{program} + arguments, workingDirectory);
    }
    return QProcess::startDetached(program, arguments, workingDirectory);
}

bool DesktopShell::openWithDesktop(const QString& urlOrPath)
{
    const QUrl url = QUrl::fromUserInput(urlOrPath);
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::deleteFolder(const QString& path)
{
    QDir dir(path);
    return !dir.exists() || dir.removeRecursively();
}
