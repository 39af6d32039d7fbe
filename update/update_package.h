#pragma once
// The update package file: 128 leading bytes (the signature), the SHA-1 of
// everything from byte 148 on, the 5-byte LZMA properties, the payload
// length (32-bit little-endian) and the raw LZMA1 payload. The payload is
// Qt data-stream text: the version, a file count, then per file its name
// (first path component dropped on unpacking), size and bytes.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

constexpr int kPackageMinimumSize = 157;
// A payload larger than this is refused before anything is allocated.
constexpr qint64 kMaxPayloadSize = qint64(1) << 30;

using PackageFiles = QList<QPair<QString, QByteArray>>;

// The whole package file, signed with `secretKey` (64-byte Ed25519 key).
QByteArray buildPackage(const QString& version, const PackageFiles& files, const QByteArray& secretKey);
// The payload alone, as the package carries it before compression.
QByteArray packagePayload(const QString& version, const PackageFiles& files);
// A package around an arbitrary payload (tests use it for damaged payloads).
QByteArray wrapPayload(const QByteArray& payload, const QByteArray& secretKey);

// Unpacks the package file at `packagePath` into `kindFolder` + "/ready"
// (through "/temp"), and deletes the package file. On failure `error`
// holds the message to log ("" for the failures that have none) and
// nothing is left outside the temp folder.
bool unpackPackageFile(const QString& packagePath, const QString& kindFolder, QString* version, QString* error);

// A payload name as a path below the temp folder: the first component
// dropped, and refused (empty result) when it would leave the folder.
QString packageRelativePath(const QString& name);
