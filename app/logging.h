#pragma once
// The program's log, "web.log": one line per message, naming the source file
// and line, written only when the message's level reaches the minimum level.
// Usable from any thread.

#include <QString>

namespace logging {

enum class Level { Verbose = -1, Debug = 0, Info = 1, Warning = 2, Error = 3 };

// Where the log goes; a relative path is taken from the working directory.
void setFile(const QString& path);
void setMinimumLevel(Level level);
Level minimumLevel();
// Reads a level name ("verbose", "debug", "info", "warning", "error");
// anything else gives `fallback`.
Level levelFromName(const QString& name, Level fallback);

bool enabled(Level level);
void write(Level level, const char* file, int line, const QString& text);

}  // namespace logging

#define TESK_LOG(level, text)                                                   \
    do {                                                                        \
        if (logging::enabled(level))                                            \
            logging::write(level, __FILE__, __LINE__, text);                    \
    } while (0)
#define LOG_INFO(text) TESK_LOG(logging::Level::Info, text)
#define LOG_DEBUG(text) TESK_LOG(logging::Level::Debug, text)
#define LOG_WARNING(text) TESK_LOG(logging::Level::Warning, text)
