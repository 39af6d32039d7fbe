#include "update/package_signature.h"

#include <sodium.h>

#include <cstring>

namespace {

const char kMagic[4] = {'T', 'S', 'I', 'G'};

}  // namespace

QByteArray packagePublicKey()
{
    return QByteArray::fromHex(TESK_UPDATE_PUBLIC_KEY);
}

bool verifyPackageSignature(const QByteArray& package, const QByteArray& publicKey)
{
    if (package.size() <= kPackageHeaderSize || publicKey.size() != crypto_sign_PUBLICKEYBYTES
        || sodium_init() < 0)
        return false;
    if (std::memcmp(package.constData(), kMagic, sizeof kMagic) != 0)
        return false;
    const auto* signature = reinterpret_cast<const unsigned char*>(package.constData() + sizeof kMagic);
    const auto* signedPart = reinterpret_cast<const unsigned char*>(package.constData() + kPackageHeaderSize);
    return crypto_sign_verify_detached(signature, signedPart, size_t(package.size() - kPackageHeaderSize),
                                       reinterpret_cast<const unsigned char*>(publicKey.constData())) == 0;
}

bool signPackage(QByteArray& package, const QByteArray& secretKey)
{
    if (package.size() <= kPackageHeaderSize || secretKey.size() != crypto_sign_SECRETKEYBYTES
        || sodium_init() < 0)
        return false;
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr,
                         reinterpret_cast<const unsigned char*>(package.constData() + kPackageHeaderSize),
                         size_t(package.size() - kPackageHeaderSize),
                         reinterpret_cast<const unsigned char*>(secretKey.constData()));
    package.replace(0, kPackageHeaderSize, QByteArray(kPackageHeaderSize, '\0'));
    package.replace(0, sizeof kMagic, QByteArray(kMagic, sizeof kMagic));
    package.replace(int(sizeof kMagic), crypto_sign_BYTES,
                    QByteArray(reinterpret_cast<const char*>(signature), crypto_sign_BYTES));
    return true;
}
