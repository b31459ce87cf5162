// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/KeepAlive.h"

#include <QAbstractSocket>
#include <QVariant>

#include <utility>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

void keepAlive(QAbstractSocket& socket)
{
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    const int fd = int(socket.socketDescriptor());
    for (const auto& [option, value] :
         {std::pair {TCP_KEEPIDLE, 60}, {TCP_KEEPINTVL, 10}, {TCP_KEEPCNT, 6}, {TCP_USER_TIMEOUT, 120000}})
        ::setsockopt(fd, IPPROTO_TCP, option, &value, sizeof value);
}
