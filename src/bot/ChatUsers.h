// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <cstdint>

class WindowSystem;

// The member names of the chat window's member list, in the window's
// order, each once.
QStringList readChatMembers(WindowSystem& windows);

// Selects the member at position `user` of the chat window's member list and
// clicks the window's ignore button, which toggles the member's ignore.
void clickIgnore(WindowSystem& windows, int user);
// A left click: button down, pending events, button up, pending events.
void clickWindow(WindowSystem& windows, std::uintptr_t window);
