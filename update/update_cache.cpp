#include "update/update_cache.h"

#include "app/globals.h"
#include "app/logging.h"
#include "platform/platform.h"
#include "platform/shell.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QQueue>
#include <QThread>

#include <cerrno>

std::atomic<bool> g_updatePending{false};
std::atomic<bool> g_updaterNeedsElevation{false};

namespace {

QString updaterName()
{
    return QStringLiteral("Updater");
}

void cleanUpHtmlInstall(const QString& sourceRoot)
{
    deleteFolderSilently(sourceRoot);
    QDir(baseDir()).rmdir(QStringLiteral("tupdates"));  // only when empty
}

}  // namespace

QString updateCacheFolder(const QString& kind)
{
    return baseDir() + QStringLiteral("tupdates/") + kind;
}

bool deleteFolderSilently(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isDir() && !info.isSymLink())
        return platform::shell().deleteFolder(path);
    return QFile::remove(path);
}

void clearUpdateCache()
{
    deleteFolderSilently(updateCacheFolder(QStringLiteral("client")));
}

bool prepareClientUpdate()
{
    const QString ready = updateCacheFolder(QStringLiteral("client")) + QStringLiteral("/ready");
    if (!QFileInfo(ready).isDir())
        return false;
    const QString source = ready + QLatin1Char('/') + updaterName();
    if (!QFileInfo::exists(source))
        return true;
    const QString target = exeDir() + updaterName();
    const QFileInfo folder(exeDir());
    if (!folder.isWritable() || (QFileInfo::exists(target) && !QFileInfo(target).isWritable())) {
        g_updaterNeedsElevation = true;  // the updater runs elevated from the ready folder
        return true;
    }
    QFile::remove(target);
    if (!QFile::copy(source, target)) {
        clearUpdateCache();
        return false;
    }
    QFile::setPermissions(target, QFile::permissions(source));
    if (!QFile::remove(source)) {
        clearUpdateCache();
        return false;
    }
    return true;
}

void launchUpdater()
{
    const QString program = QDir::toNativeSeparators(
        g_updaterNeedsElevation ? updateCacheFolder(QStringLiteral("client")) + QStringLiteral("/ready/") + updaterName()
                                : exeDir() + updaterName());
    const QString workingDirectory = QDir::toNativeSeparators(exeDir());
    LOG_INFO(QStringLiteral("Application Info: executing %1 %2").arg(exeDir() + updaterName(), QStringLiteral("-update")));
    if (!platform::shell().startProgram(program, {QStringLiteral("-update")}, g_updaterNeedsElevation,
                                        workingDirectory)) {
        LOG_INFO(QStringLiteral("Application Error: failed to execute %1, working directory: '%2', result: %3")
                     .arg(program, workingDirectory)
                     .arg(errno));
        deleteFolderSilently(updateCacheFolder(QStringLiteral("client")) + QStringLiteral("/ready"));
    }
}

bool installHtmlPackage()
{
    const QString sourceRoot = updateCacheFolder(QStringLiteral("html")) + QStringLiteral("/ready");
    const QString destinationRoot = baseDir() + QStringLiteral("view/");
    if (!QFileInfo::exists(sourceRoot))
        return true;
    QList<QString> folders;
    QList<QPair<QString, QString>> files;
    QQueue<QString> queue;
    queue.enqueue(sourceRoot);
    const QDir root(sourceRoot);
    while (!queue.isEmpty()) {
        const QString folder = queue.dequeue();
        QDir dir(folder);
        if (!dir.exists()) {
            cleanUpHtmlInstall(sourceRoot);
            return false;
        }
        const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                                        QDir::Name);
        for (const QFileInfo& entry : entries) {
            const QString relative = root.relativeFilePath(entry.absoluteFilePath());
            if (entry.isDir() && !entry.isSymLink()) {
                queue.enqueue(entry.absoluteFilePath());
                folders.append(destinationRoot + relative + QLatin1Char('/'));
            } else if (entry.isFile()) {
                files.append({entry.absoluteFilePath(), destinationRoot + relative});
            }
        }
    }
    for (const QString& folder : folders) {
        if (!QDir().mkpath(folder)) {
            cleanUpHtmlInstall(sourceRoot);
            return false;
        }
    }
    for (const auto& file : files) {
        for (;;) {
            bool copied = false;
            for (int attempt = 0; attempt < 30 && !copied; ++attempt) {
                // Written aside and renamed, so the page never sees half a file.
                const QString temp = file.second + QStringLiteral(".tesk-new");
                QFile::remove(temp);
                copied = QFile::copy(file.first, temp)
                         && (!QFileInfo::exists(file.second) || QFile::remove(file.second))
                         && QFile::rename(temp, file.second);
                if (!copied) {
                    QFile::remove(temp);
                    QThread::msleep(100);
                }
            }
            if (copied)
                break;
            const auto answer = QMessageBox::critical(
                nullptr, QStringLiteral("Update error!"),
                QStringLiteral("Failed to update tesk :(\n%1 is not accessible.").arg(file.second),
                QMessageBox::Retry | QMessageBox::Cancel);
            if (answer != QMessageBox::Retry) {
                cleanUpHtmlInstall(sourceRoot);
                return false;
            }
        }
    }
    cleanUpHtmlInstall(sourceRoot);
    return true;
}
