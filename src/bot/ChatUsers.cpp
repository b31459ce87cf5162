// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/ChatUsers.h"

#include "chatlink/AnsiText.h"
#include "chatlink/WindowSystem.h"

#include <algorithm>

namespace {

// The client may still be building a fresh chat window; the caller waits
// for the lookup, so it is tried a bounded number of times, letting the
// window's events run in between.
constexpr int kMemberListTries = 20;

}  // namespace

QStringList readChatMembers(WindowSystem& windows)
{
    QStringList members;
    const WindowSystem::Hwnd chat = windows.findWindow("AIM_ChatWnd");
    if (!chat)
        return members;
    WindowSystem::Hwnd tree = windows.findChild(chat, 0, "_Oscar_Tree");
    for (int tries = 1; !tree && tries < kMemberListTries; ++tries) {
        windows.doEvents();
        tree = windows.findChild(chat, 0, "_Oscar_Tree");
    }
    if (!tree)
        return members;

    const std::intptr_t n = windows.sendMessage(tree, lb::GETCOUNT, 0, 0);
    for (std::intptr_t i = 0; i < n; ++i) {
        windows.sendMessage(tree, lb::SETCURSEL, std::uintptr_t(i), 0);
        const std::intptr_t len = windows.sendMessage(tree, lb::GETTEXTLEN, std::uintptr_t(i), 0);
        std::string buffer(std::size_t(std::max<std::intptr_t>(len, 0)), '\0');
        windows.sendMessage(tree, lb::GETTEXT, std::uintptr_t(i), buffer);
        const QString item = AnsiText::fromWindow(windows, buffer);
        // The name is what follows the second tab; with fewer tabs, what
        // follows the one there is, or the whole item.
        QString name = item.mid(item.indexOf(u'\t') + 1);
        name = name.mid(name.indexOf(u'\t') + 1);
        if (!members.contains(name))
            members.append(name);
    }
    return members;
}

void clickIgnore(WindowSystem& windows, int user)
{
    const WindowSystem::Hwnd tree = windows.findChild(windows.findWindow("AIM_ChatWnd"), 0, "_Oscar_Tree");
    windows.sendMessage(tree, lb::SETCURSEL, std::uintptr_t(user), 0);
    const WindowSystem::Hwnd chat = windows.findWindow("aim_chatwnd");
    const WindowSystem::Hwnd first = windows.findChild(chat, 0, "_oscar_iconbtn");
    clickWindow(windows, first ? windows.findChild(chat, first, "_oscar_iconbtn") : 0);
}

void clickWindow(WindowSystem& windows, std::uintptr_t window)
{
    windows.sendMessage(window, wm::LBUTTONDOWN, 0, 0);
    windows.doEvents();
    windows.sendMessage(window, wm::LBUTTONUP, 0, 0);
    windows.doEvents();
}
