#include "platform/linux/proc_process_list.h"

#include <QFile>

#include <dirent.h>
#include <unistd.h>

#include <cctype>
#include <climits>

ProcProcessList::ProcProcessList(const QString& procRoot)
    : m_root(procRoot)
{
}

QSet<QString> ProcProcessList::runningPrograms() const
{
    QSet<QString> programs;
    const QByteArray root = QFile::encodeName(m_root);
    DIR* dir = opendir(root.constData());
    if (!dir)
        return programs;
    while (dirent* entry = readdir(dir)) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0])))
            continue;
        const QByteArray link = root + '/' + entry->d_name + "/exe";
        char target[PATH_MAX];
        const ssize_t n = readlink(link.constData(), target, sizeof target - 1);
        if (n <= 0)
            continue;  // gone, a kernel thread, or not ours to read
        QString path = QFile::decodeName(QByteArray(target, int(n)));
        // A program replaced on disk while it runs still counts as itself.
        if (path.endsWith(QLatin1String(" (deleted)")))
            path.chop(10);
        programs.insert(path);
    }
    closedir(dir);
    return programs;
}
