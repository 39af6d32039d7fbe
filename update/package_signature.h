#pragma once
// Who made an update package. The SHA-1 in a package only proves that it
// arrived whole; an Ed25519 signature over everything from byte 128 on,
// kept in the 128 leading bytes, proves that the maker's key made it. The
// client knows only the public key, compiled in.
//
// Leading bytes: "TSIG" (4 bytes), the 64-byte signature, zeros.

#include <QByteArray>

constexpr int kPackageHeaderSize = 128;

// The public key packages must be signed with (32 bytes).
QByteArray packagePublicKey();

bool verifyPackageSignature(const QByteArray& package, const QByteArray& publicKey = packagePublicKey());
// Writes the signature into the leading bytes; `secretKey` is the 64-byte
// Ed25519 secret key. False when the package is too short or the key wrong.
bool signPackage(QByteArray& package, const QByteArray& secretKey);
