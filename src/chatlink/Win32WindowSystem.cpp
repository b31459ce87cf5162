// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/Win32WindowSystem.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

HWND hwnd(WindowSystem::Hwnd handle)
{
    return reinterpret_cast<HWND>(handle);
}

HMENU hmenu(WindowSystem::Hmenu handle)
{
    return reinterpret_cast<HMENU>(handle);
}

}  // namespace

WindowSystem::Hwnd Win32WindowSystem::findWindow(std::string_view className)
{
    const std::string name(className);
    return reinterpret_cast<Hwnd>(FindWindowExA(nullptr, nullptr, name.c_str(), nullptr));
}

WindowSystem::Hwnd Win32WindowSystem::findChild(Hwnd parent, Hwnd after, std::string_view className)
{
    // A null parent would search the top-level windows instead.
    if (!parent)
        return 0;
    const std::string name(className);
    return reinterpret_cast<Hwnd>(FindWindowExA(hwnd(parent), hwnd(after), name.c_str(), nullptr));
}

std::intptr_t Win32WindowSystem::sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!window)
        return 0;
    return SendMessageA(hwnd(window), message, wParam, lParam);
}

std::intptr_t Win32WindowSystem::sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::string& text)
{
    if (!window)
        return 0;
    // The window may write as much as the message allows; it writes into a
    // buffer of that size, and the caller's buffer takes what fits.
    std::size_t room = text.size() + 1;
    if (message == WM_GETTEXT)
        room = std::max<std::size_t>(room, wParam);
    else if (message == LB_GETTEXT)
        room = std::max<std::size_t>(
            room, std::size_t(std::max<LRESULT>(SendMessageA(hwnd(window), LB_GETTEXTLEN, wParam, 0), 0)) + 1);
    std::vector<char> buffer(room, '\0');
    std::memcpy(buffer.data(), text.data(), text.size());
    LRESULT result = SendMessageA(hwnd(window), message, wParam, reinterpret_cast<LPARAM>(buffer.data()));
    std::memcpy(text.data(), buffer.data(), text.size());
    if (message == WM_GETTEXT)
        result = std::min<LRESULT>(result, LRESULT(text.size()));
    return result;
}

WindowSystem::Hmenu Win32WindowSystem::getMenu(Hwnd window)
{
    return window ? reinterpret_cast<Hmenu>(GetMenu(hwnd(window))) : 0;
}

int Win32WindowSystem::getMenuItemCount(Hmenu menu)
{
    return menu ? std::max(GetMenuItemCount(hmenu(menu)), 0) : 0;
}

WindowSystem::Hmenu Win32WindowSystem::getSubMenu(Hmenu menu, int position)
{
    return menu ? reinterpret_cast<Hmenu>(GetSubMenu(hmenu(menu), position)) : 0;
}

unsigned Win32WindowSystem::getMenuItemID(Hmenu menu, int position)
{
    return menu ? GetMenuItemID(hmenu(menu), position) : kNoMenuItemId;
}

std::string Win32WindowSystem::getMenuString(Hmenu menu, unsigned id, int maxCount)
{
    if (!menu || maxCount <= 0)
        return {};
    std::vector<char> buffer(std::size_t(maxCount), '\0');
    const int copied = GetMenuStringA(hmenu(menu), id, buffer.data(), maxCount, MF_BYCOMMAND);
    return std::string(buffer.data(), std::size_t(std::clamp(copied, 0, maxCount - 1)));
}

void Win32WindowSystem::doEvents()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
