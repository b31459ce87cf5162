// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

class ListBox;
class WindowSystem;

// Fills the list with the member names of the chat window's member list,
// in the window's order, skipping names already in the list.
void GetChatUsers(WindowSystem& windows, ListBox& L);

// Selects the member at position `user` of the chat window's member list and
// clicks the window's ignore button, which toggles the member's ignore.
void IgnoreUser(WindowSystem& windows, int user);
// A left click: button down, pending events, button up, pending events.
void ClickWindow(WindowSystem& windows, std::uintptr_t window);
