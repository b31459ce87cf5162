// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/LocalRoom.h"

QString LocalRoom::loginName()
{
    // Windows keeps the name of the user signed on to the session here.
    const QString fromEnvironment = qEnvironmentVariable("USERNAME");
    return fromEnvironment.isEmpty() ? QStringLiteral("owner") : fromEnvironment;
}
