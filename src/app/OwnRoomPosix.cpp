// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OwnRoom.h"

#include "chatlink/LocalRoom.h"

std::unique_ptr<LocalRoom> openOwnRoom(DesktopWindows& desktop, const QString& screenName)
{
    return std::make_unique<LocalRoom>(desktop, screenName);
}
