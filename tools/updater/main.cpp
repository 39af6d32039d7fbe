// Updater: started by the client with "-update" as it exits. It waits until
// the client has gone, replaces the program folder's files with those of
// "tupdates/client/ready", and starts the client again.
//
// Every file it replaces is moved to "tupdates/client/backup" first, and a
// journal lists what has been done; a failure restores the backup, and a
// journal left by an interrupted run is rolled back before anything else,
// so the folder ends with the old client or the new one, never a mix.

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTextStream>
#include <QThread>

#include <unistd.h>

#include <cstdio>

namespace {

struct Folders
{
    QString program;  // ends without "/"
    QString ready() const { return program + QStringLiteral("/tupdates/client/ready"); }
    QString backup() const { return program + QStringLiteral("/tupdates/client/backup"); }
    QString journal() const { return program + QStringLiteral("/tupdates/client/journal"); }
    QString client() const { return program + QStringLiteral("/tesk"); }
};

bool clientRunning(const QString& client)
{
    const QString wanted = QFileInfo(client).canonicalFilePath();
    for (const QFileInfo& p : QDir(QStringLiteral("/proc")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        p.fileName().toLongLong(&numeric);
        if (!numeric || p.fileName().toLongLong() == QCoreApplication::applicationPid())
            continue;
        if (QFileInfo(p.absoluteFilePath() + QStringLiteral("/exe")).symLinkTarget() == wanted)
            return true;
    }
    return false;
}

// Each line of the journal: "N <relative>" (the file is new) or
// "B <relative>" (the old file is in the backup).
void rollBack(const Folders& f)
{
    QFile journal(f.journal());
    if (!journal.open(QIODevice::ReadOnly))
        return;
    QStringList entries;
    while (!journal.atEnd())
        entries.prepend(QString::fromUtf8(journal.readLine()).trimmed());
    journal.close();
    for (const QString& entry : entries) {
        const QString relative = entry.mid(2);
        const QString target = f.program + QLatin1Char('/') + relative;
        QFile::remove(target);
        if (entry.startsWith(QLatin1String("B ")))
            QFile::rename(f.backup() + QLatin1Char('/') + relative, target);
    }
    QFile::remove(f.journal());
    QDir(f.backup()).removeRecursively();
}

bool install(const Folders& f)
{
    QFile journal(f.journal());
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QDirIterator it(f.ready(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir ready(f.ready());
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = ready.relativeFilePath(source);
        const QString target = f.program + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(target).path());
        const bool existed = QFileInfo::exists(target);
        if (existed) {
            const QString saved = f.backup() + QLatin1Char('/') + relative;
            QDir().mkpath(QFileInfo(saved).path());
            QFile::remove(saved);
            if (!QFile::rename(target, saved))
                return false;
        }
        // Recorded before the new file appears, so a rollback always knows it.
        journal.write((existed ? "B " : "N ") + relative.toUtf8() + '\n');
        journal.flush();
        fsync(journal.handle());
        if (!QFile::copy(source, target))
            return false;
        QFile::setPermissions(target, QFile::permissions(source));
    }
    journal.close();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!app.arguments().contains(QStringLiteral("-update"))) {
        std::fprintf(stderr, "usage: Updater -update\n");
        return 2;
    }
    Folders f{QCoreApplication::applicationDirPath()};
    // An earlier run that was interrupted is undone first.
    rollBack(f);

    QElapsedTimer waited;
    waited.start();
    while (clientRunning(f.client()) && waited.elapsed() < 30000)
        QThread::msleep(100);

    int status = 0;
    if (QFileInfo(f.ready()).isDir()) {
        if (install(f)) {
            QFile::remove(f.journal());
            QDir(f.backup()).removeRecursively();
            QDir(f.ready()).removeRecursively();
        } else {
            std::fprintf(stderr, "Updater: the update could not be installed; the old client is kept\n");
            rollBack(f);
            status = 1;
        }
    }
    QProcess::startDetached(f.client(), {}, f.program);
    return status;
}
