#include "update/update_package.h"

#include "update/package_signature.h"
#include "update/update_cache.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <lzma.h>

#include <cstdlib>

namespace {

constexpr int kDigestOffset = 128;
constexpr int kPropertiesOffset = 148;
constexpr int kLengthOffset = 153;
constexpr int kPayloadOffset = 157;

// Reads the payload as QDataStream wrote it, checking every length against
// the bytes that are left before anything is allocated.
struct PayloadReader
{
    const QByteArray& data;
    qint64 pos = 0;
    int status = QDataStream::Ok;

    bool need(qint64 n)
    {
        if (status != QDataStream::Ok || n > data.size() - pos) {
            status = QDataStream::ReadPastEnd;
            return false;
        }
        return true;
    }
    quint32 u32()
    {
        if (!need(4))
            return 0;
        const auto* p = reinterpret_cast<const uchar*>(data.constData() + pos);
        pos += 4;
        return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
    }
    QString string()
    {
        const quint32 bytes = u32();
        if (status != QDataStream::Ok || bytes == 0xFFFFFFFFu)
            return QString();
        if (bytes % 2) {
            status = QDataStream::ReadCorruptData;
            return QString();
        }
        if (!need(bytes))
            return QString();
        QString s(int(bytes / 2), Qt::Uninitialized);
        const auto* p = reinterpret_cast<const uchar*>(data.constData() + pos);
        for (int i = 0; i < s.size(); ++i)
            s[i] = QChar(ushort((p[2 * i] << 8) | p[2 * i + 1]));
        pos += bytes;
        return s;
    }
    QByteArray bytes()
    {
        const quint32 n = u32();
        if (status != QDataStream::Ok || n == 0xFFFFFFFFu || !need(n))
            return QByteArray();
        const QByteArray b = data.mid(int(pos), int(n));
        pos += n;
        return b;
    }
};

QByteArray compress(const QByteArray& payload, QByteArray* properties)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_filter encodeProps[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    properties->resize(5);
    lzma_properties_encode(encodeProps, reinterpret_cast<uint8_t*>(properties->data()));
    // The size is known, so no end marker is written.
    options.ext_flags = 0;
    options.ext_size_low = uint32_t(payload.size());
    options.ext_size_high = 0;
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    QByteArray out(int(payload.size() + payload.size() / 2 + 4096), '\0');
    size_t outPos = 0;
    lzma_raw_buffer_encode(filters, nullptr, reinterpret_cast<const uint8_t*>(payload.constData()),
                           size_t(payload.size()), reinterpret_cast<uint8_t*>(out.data()), &outPos,
                           size_t(out.size()));
    out.resize(int(outPos));
    return out;
}

// The raw LZMA1 decoder with the properties and the known length; an end
// marker is accepted but not required. Returns the decoder's result code.
int decompress(const QByteArray& file, QByteArray* payload)
{
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_ret r = lzma_properties_decode(&filters[0], nullptr,
                                        reinterpret_cast<const uint8_t*>(file.constData() + kPropertiesOffset), 5);
    if (r != LZMA_OK)
        return r;
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    filters[0].id = LZMA_FILTER_LZMA1EXT;
    options->ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
    options->ext_size_low = uint32_t(payload->size());
    options->ext_size_high = 0;
    size_t inPos = 0, outPos = 0;
    r = lzma_raw_buffer_decode(filters, nullptr, reinterpret_cast<const uint8_t*>(file.constData() + kPayloadOffset),
                               &inPos, size_t(file.size() - kPayloadOffset),
                               reinterpret_cast<uint8_t*>(payload->data()), &outPos, size_t(payload->size()));
    free(options);
    if (r == LZMA_OK && outPos != size_t(payload->size()))
        r = LZMA_DATA_ERROR;
    return r;
}

}  // namespace

QByteArray packagePayload(const QString& version, const PackageFiles& files)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << version << quint32(files.size());
    for (const auto& f : files)
        out << f.first << quint32(f.second.size()) << f.second;
    return payload;
}

QByteArray wrapPayload(const QByteArray& payload, const QByteArray& secretKey)
{
    QByteArray properties;
    const QByteArray compressed = compress(payload, &properties);
    QByteArray file(kPayloadOffset, '\0');
    file.replace(kPropertiesOffset, 5, properties);
    const quint32 length = quint32(payload.size());
    for (int i = 0; i < 4; ++i)
        file[kLengthOffset + i] = char((length >> (8 * i)) & 0xff);
    file += compressed;
    const QByteArray digest = QCryptographicHash::hash(file.mid(kPropertiesOffset), QCryptographicHash::Sha1);
    file.replace(kDigestOffset, 20, digest);
    signPackage(file, secretKey);
    return file;
}

QByteArray buildPackage(const QString& version, const PackageFiles& files, const QByteArray& secretKey)
{
    return wrapPayload(packagePayload(version, files), secretKey);
}

QString packageRelativePath(const QString& name)
{
    if (name.contains(QChar(0)) || name.contains(QLatin1Char('\\')))
        return QString();
    QStringList parts = name.split(QLatin1Char('/'));
    if (parts.size() < 2)
        return QString();
    parts.removeFirst();
    for (const QString& part : parts)
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return QString();  // absolute, doubled separators or a way out of the folder
    return parts.join(QLatin1Char('/'));
}

bool unpackPackageFile(const QString& packagePath, const QString& kindFolder, QString* version, QString* error)
{
    error->clear();
    QFile package(packagePath);
    if (!package.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Update Erro: cant read updates file!");
        return false;
    }
    const QByteArray file = package.readAll();
    package.close();
    if (file.size() <= kPackageMinimumSize)
        return false;

    const QString temp = kindFolder + QStringLiteral("/temp");
    const QString ready = kindFolder + QStringLiteral("/ready");
    deleteFolderSilently(temp);
    deleteFolderSilently(ready);
    if (QFileInfo::exists(temp) || QFileInfo::exists(ready))
        return false;

    if (QCryptographicHash::hash(file.mid(kPropertiesOffset), QCryptographicHash::Sha1)
        != file.mid(kDigestOffset, 20)) {
        *error = QStringLiteral("Update Error: bad SHA1 hash of update file!");
        return false;
    }
    if (!verifyPackageSignature(file)) {
        *error = QStringLiteral("Update Error: bad signature of update file!");
        return false;
    }
    const auto* len = reinterpret_cast<const uchar*>(file.constData() + kLengthOffset);
    const quint32 length = quint32(len[0]) | (quint32(len[1]) << 8) | (quint32(len[2]) << 16) | (quint32(len[3]) << 24);
    if (qint64(length) > kMaxPayloadSize) {
        *error = QStringLiteral("Update Error: payload length %1 is out of range").arg(length);
        return false;
    }
    QByteArray payload(int(length), Qt::Uninitialized);
    const int code = decompress(file, &payload);
    if (code != LZMA_OK) {
        *error = QStringLiteral("Update Error: could not uncompress lzma, code: %1").arg(code);
        return false;
    }

    if (!QDir().mkpath(temp))
        return false;
    PayloadReader in{payload};
    *version = in.string();
    if (in.status != QDataStream::Ok) {
        *error = QStringLiteral("Update Error: cant read version from downloaded stream, status: %1").arg(in.status);
        deleteFolderSilently(temp);
        return false;
    }
    const quint32 count = in.u32();
    if (in.status != QDataStream::Ok || count == 0) {
        *error = in.status != QDataStream::Ok
            ? QStringLiteral("Update Error: cant read files count from downloaded stream, status: %1").arg(in.status)
            : QStringLiteral("Update Error: update is empty!");
        deleteFolderSilently(temp);
        return false;
    }
    for (quint32 i = 0; i < count; ++i) {
        const QString name = in.string();
        const quint32 size = in.u32();
        const QByteArray data = in.bytes();
        if (in.status != QDataStream::Ok) {
            *error = QStringLiteral("Update Error: cant read file from downloaded stream, status: %1").arg(in.status);
            deleteFolderSilently(temp);
            return false;
        }
        if (quint32(data.size()) != size) {
            *error = QStringLiteral("Update Error: bad file size %1 not matching data size %2").arg(size).arg(data.size());
            deleteFolderSilently(temp);
            return false;
        }
        const QString relative = packageRelativePath(name);
        const QString target = temp + QLatin1Char('/') + relative;
        QFile out(target);
        const bool opened = !relative.isEmpty() && QDir().mkpath(QFileInfo(target).path())
                            && out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        if (!opened) {
            *error = QStringLiteral("Update Error: cant open file '%1' for writing").arg(temp + QLatin1Char('/') + name);
            deleteFolderSilently(temp);
            return false;
        }
        if (out.write(data) != data.size()) {
            *error = QStringLiteral("Update Error: cant write file '%1'").arg(temp + QLatin1Char('/') + name);
            out.close();
            deleteFolderSilently(temp);
            return false;
        }
        out.close();
    }
    if (!QDir().rename(temp, ready)) {
        *error = QStringLiteral("Update Error: cant rename temp dir '%1' to ready dir '%2'")
                     .arg(QFileInfo(temp).absoluteFilePath(), QFileInfo(ready).absoluteFilePath());
        deleteFolderSilently(temp);
        return false;
    }
    deleteFolderSilently(temp);
    return QFile::remove(packagePath);
}
