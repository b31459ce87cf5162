// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/DesktopWindows.h"

#include <QString>

#include <memory>

class LocalRoom;

// The room the program serves when no chat client runs beside it: a room
// of its own on the simulated desktop, where the local member has the given
// screen name. None on Windows, whose desktop holds the real chat client.
std::unique_ptr<LocalRoom> openOwnRoom(DesktopWindows& desktop, const QString& screenName);
