#include "app/logging.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>

namespace logging {
namespace {

std::atomic<int> g_minimum{int(Level::Info)};
QMutex g_mutex;
QString g_path = QStringLiteral("web.log");
QFile* g_file = nullptr;

const char* levelName(Level level)
{
    switch (level) {
    case Level::Verbose: return "VERBOSE";
    case Level::Debug: return "DEBUG";
    case Level::Info: return "INFO";
    case Level::Warning: return "WARNING";
    case Level::Error: return "ERROR";
    }
    return "INFO";
}

QByteArray baseName(const char* file)
{
    QByteArray name(file);
    const int slash = name.lastIndexOf('/');
    return slash >= 0 ? name.mid(slash + 1) : name;
}

}  // namespace

void setFile(const QString& path)
{
    QMutexLocker lock(&g_mutex);
    g_path = path;
    delete g_file;
    g_file = nullptr;
}

void setMinimumLevel(Level level)
{
    g_minimum = int(level);
}

Level minimumLevel()
{
    return Level(g_minimum.load());
}

Level levelFromName(const QString& name, Level fallback)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("verbose")) return Level::Verbose;
    if (n == QLatin1String("debug")) return Level::Debug;
    if (n == QLatin1String("info")) return Level::Info;
    if (n == QLatin1String("warning")) return Level::Warning;
    if (n == QLatin1String("error")) return Level::Error;
    return fallback;
}

bool enabled(Level level)
{
    return int(level) >= g_minimum.load();
}

void write(Level level, const char* file, int line, const QString& text)
{
    // Same shape as the engine's own log lines:
    // [MMDD/hhmmss.zzz:LEVEL:file.cpp(line)] text
    const QByteArray stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("MMdd/hhmmss.zzz")).toLatin1();
    QByteArray out;
    out.reserve(64 + text.size());
    out += '[';
    out += stamp;
    out += ':';
    out += levelName(level);
    out += ':';
    out += baseName(file);
    out += '(';
    out += QByteArray::number(line);
    out += ")] ";
    out += text.toUtf8();
    out += '\n';

    QMutexLocker lock(&g_mutex);
    if (!g_file) {
        g_file = new QFile(g_path);
        if (!g_file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return;  // tried again with the next line
    }
    if (!g_file->isOpen() && !g_file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return;
    g_file->write(out);
}

}  // namespace logging
