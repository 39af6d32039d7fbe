#include "tests/support/program_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

QString stagedProgramFolder()
{
    return QString::fromLocal8Bit(qgetenv("TESK_STAGE_DIR"));
}

bool copyFolder(const QString& from, const QString& to)
{
    QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(entry);
        const QFileInfo info(entry);
        if (info.isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else {
            QDir().mkpath(QFileInfo(target).path());
            if (!QFile::copy(entry, target))
                return false;
            QFile::setPermissions(target, info.permissions() | QFile::WriteOwner);
        }
    }
    return true;
}

ProgramFolder::ProgramFolder()
{
    m_valid = m_root.isValid() && copyFolder(stagedProgramFolder(), path())
              && QDir().mkpath(tempPath());
}

QProcessEnvironment ProgramFolder::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tempPath());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("HOME"), m_root.path() + QStringLiteral("/home"));
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    return env;
}
