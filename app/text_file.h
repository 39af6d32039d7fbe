#pragma once
// Writing the program's text files (configuration, profile documents): UTF-8
// without byte-order mark, CR LF line ends, replaced atomically so that a
// crash, a killed process or a full disk leaves either the old file or the
// new one, never a truncated one. Returns false (old file untouched) on any
// failure.

#include <QString>

bool writeTextFile(const QString& path, const QString& text);
