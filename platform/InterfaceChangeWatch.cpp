#include "platform/InterfaceChangeWatch.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#endif

InterfaceChangeWatch::InterfaceChangeWatch()
{
#ifdef Q_OS_LINUX
    m_socket = ::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (m_socket < 0)
        return;
    sockaddr_nl address {};
    address.nl_family = AF_NETLINK;
    address.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR;
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(m_socket);
        m_socket = -1;
    }
#endif
}

InterfaceChangeWatch::~InterfaceChangeWatch()
{
#ifdef Q_OS_LINUX
    if (m_socket >= 0)
        ::close(m_socket);
#endif
}

bool InterfaceChangeWatch::changedSinceLastLook()
{
    bool changed = !m_hasLooked || m_socket < 0;
    m_hasLooked = true;
#ifdef Q_OS_LINUX
    // What a notice says does not matter, only that one came.
    std::array<char, 8192> buffer {};
    for (int socket = m_socket; socket >= 0;) {
        const ssize_t received = ::recv(socket, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (received > 0 || (received < 0 && errno == ENOBUFS)) {
            // ENOBUFS: notices were lost for a full queue.
            changed = true;
            continue;
        }
        if (received < 0 && errno == EINTR)
            continue;
        if (received < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            changed = true;
        break;
    }
#endif
    return changed;
}
