#include "bot/ChatUsers.h"

#include "chatlink/WindowSystem.h"
#include "controls/ListBox.h"

void GetChatUsers(WindowSystem& windows, ListBox& L)
{
    Q_UNUSED(windows);
    Q_UNUSED(L);
}
