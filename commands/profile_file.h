#pragma once
// The exported profile file (".pfd"): magic 0x0A0B0C0D, then the Base64 text
// of the profile's UTF-8 XML as a length-prefixed byte array, both
// big-endian, exactly as a version-14 QDataStream writes an unsigned 32-bit
// integer followed by a QByteArray.

#include <QByteArray>

constexpr quint32 kProfileFileMagic = 0x0A0B0C0D;

QByteArray encodeProfileFile(const QByteArray& xmlUtf8);
// The XML the file holds. False for a wrong magic, a short file or a length
// larger than the bytes that follow (never allocated).
bool decodeProfileFile(const QByteArray& file, QByteArray* xmlUtf8);
