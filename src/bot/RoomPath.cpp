// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/RoomPath.h"

QString roomPath(const QString& typed)
{
    return QString(typed).replace(u'\\', u'/');
}
