// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/KeepAlive.h"

#include <QAbstractSocket>
#include <QVariant>

void keepAlive(QAbstractSocket& socket)
{
    socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
}
