#include "app/text_file.h"

#include <QSaveFile>

bool writeTextFile(const QString& path, const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace("\r\n", "\n");
    bytes.replace("\n", "\r\n");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
