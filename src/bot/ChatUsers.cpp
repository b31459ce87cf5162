#include "bot/ChatUsers.h"

#include "chatlink/WindowSystem.h"
#include "controls/ListBox.h"

void GetChatUsers(WindowSystem& windows, ListBox& L)
{
    Q_UNUSED(windows);
    Q_UNUSED(L);
}

void IgnoreUser(WindowSystem& windows, int user)
{
    Q_UNUSED(windows);
    Q_UNUSED(user);
}

void ClickWindow(WindowSystem& windows, std::uintptr_t window)
{
    Q_UNUSED(windows);
    Q_UNUSED(window);
}
