#pragma once
// Small file helpers for tests, and a way to make the disk "fill up".

#include <QByteArray>
#include <QString>

// The file's bytes; a null array when it cannot be read.
QByteArray readBytes(const QString& path);
// Replaces the file's bytes; false when it cannot be written.
bool writeBytes(const QString& path, const QByteArray& bytes);

// While it lives, this process cannot make a file larger than `bytes`: the
// write that crosses the limit fails as it would on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long long m_savedSoft = 0;
};
