#include "tests/support/sim_control.h"

#include "sim/control_address.h"

#include <QDir>
#include <QFile>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

bool installSimulatedLibrary(const QString& library, const QString& folder, const QStringList& devices)
{
    QDir().mkpath(folder);
    const QString target = folder + QStringLiteral("/libhx.so");
    QFile::remove(target);
    QFile::remove(folder + QStringLiteral("/libhx.state"));
    if (!QFile::copy(library, target))
        return false;
    QFile conf(folder + QStringLiteral("/libhx.conf"));
    if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray text = "report_interval_ms = 0\n";
    for (const QString& d : devices)
        text += "device = " + d.toUtf8() + "\n";
    return conf.write(text) == text.size();
}

QString simDevice(const QString& deviceId, const QString& hardwareId)
{
    return QStringLiteral("%1, 2.0.1, SN-%1, 01, %2, /dev/hidraw-%1").arg(deviceId, hardwareId);
}

QString simControl(const QString& folder, const QString& command)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string name = hxsim::controlSocketName(QFile::encodeName(folder).toStdString());
    std::memcpy(addr.sun_path + 1, name.data(), name.size());
    const socklen_t len = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
        if (fd >= 0)
            ::close(fd);
        return QStringLiteral("error no channel");
    }
    const QByteArray line = command.toUtf8() + '\n';
    QByteArray reply;
    if (::write(fd, line.constData(), size_t(line.size())) == line.size()) {
        char buf[8192];
        while (!reply.contains('\n')) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            reply.append(buf, int(n));
        }
    }
    ::close(fd);
    return QString::fromUtf8(reply).trimmed();
}
