#pragma once

class ListBox;
class WindowSystem;

// Fills the list with the member names of the chat window's member list,
// in the window's order, skipping names already in the list.
void GetChatUsers(WindowSystem& windows, ListBox& L);
