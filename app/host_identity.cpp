#include "app/host_identity.h"

#include <QHostAddress>
#include <QNetworkInterface>

HostIdentity discoverHostIdentity()
{
    HostIdentity id;
    // The first interface that is not a loopback one, up or not.
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        if (iface.flags() & QNetworkInterface::IsLoopBack)
            continue;
        id.hardwareAddress = iface.hardwareAddress().toUpper();
        break;
    }
    const QHostAddress localhost(QHostAddress::LocalHost);
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && address != localhost) {
            id.ipv4Address = address.toString();
            break;
        }
    }
    return id;
}
