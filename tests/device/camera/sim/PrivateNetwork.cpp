#include "tests/device/camera/sim/PrivateNetwork.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool writeFile(const char* path, const QByteArray& text)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

QString enterPrivateNetwork()
{
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0)
        return QStringLiteral("no unprivileged user and network namespace: %1")
            .arg(QString::fromLocal8Bit(strerror(errno)));
    writeFile("/proc/self/setgroups", "deny");
    if (!writeFile("/proc/self/uid_map", QByteArray("0 ") + QByteArray::number(uid) + " 1")
        || !writeFile("/proc/self/gid_map", QByteArray("0 ") + QByteArray::number(gid) + " 1"))
        return QStringLiteral("the namespace's user map cannot be written");

    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return QStringLiteral("no socket in the namespace");
    ifreq request {};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    close(fd);
    return up ? QString() : QStringLiteral("the namespace's loopback interface cannot be brought up");
}
