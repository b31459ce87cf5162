// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/LocalRoom.h"

#include <pwd.h>
#include <unistd.h>

QString LocalRoom::loginName()
{
    // The user the program runs as, by the user database; $USER only for a
    // user it does not list (a container's).
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_name && *user->pw_name)
        return QString::fromLocal8Bit(user->pw_name);
    const QString fromEnvironment = qEnvironmentVariable("USER");
    return fromEnvironment.isEmpty() ? QStringLiteral("owner") : fromEnvironment;
}
