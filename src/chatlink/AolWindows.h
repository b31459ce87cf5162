// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/WindowSystem.h"

#include <QString>

// The window work on the AOL client's chat room. Every operation finds its
// windows again when it is called; a missing window makes it do nothing.

// The open chat room window, 0 when none.
WindowSystem::Hwnd findChatRoom(WindowSystem& windows);
// The room's second "RICHCNTL" box, 0 when none.
WindowSystem::Hwnd findChatInput(WindowSystem& windows);
// The client's version as told by its menu texts: "4", "5", "7", "8", or
// "9" when no menu tells.
QString aolVersion(WindowSystem& windows);
// Empties the box the client's version writes into.
void clearChatInput(WindowSystem& windows);
QString readAolText(WindowSystem& windows, WindowSystem::Hwnd window);
// Posts one line into the open chat room.
void sendAolChat(WindowSystem& windows, const QString& text);
