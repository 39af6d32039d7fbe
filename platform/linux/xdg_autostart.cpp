#include "platform/linux/xdg_autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString XdgAutostart::entryPath()
{
    QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/brivok.desktop");
}

QString XdgAutostart::entryText(const QString& programPath)
{
    // Exec quotes the path so that spaces survive; a quote, backslash,
    // backtick or dollar inside it is escaped as the entry format requires.
    QString quoted;
    for (const QChar c : programPath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('\\'))
            quoted += QStringLiteral("\\\\\\");
        quoted += c;
    }
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=tesk\n"
                          "Comment=Mouse configuration\n"
                          "Exec=\"%1\" -autostart\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quoted);
}

bool XdgAutostart::setEnabled(bool enabled, const QString& programPath)
{
    const QString path = entryPath();
    if (!enabled)
        return !QFileInfo::exists(path) || QFile::remove(path);
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entryText(programPath).toUtf8());
    return file.commit();
}

bool XdgAutostart::isEnabled() const
{
    return QFileInfo::exists(entryPath());
}
