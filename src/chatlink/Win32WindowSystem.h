// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/WindowSystem.h"

// The window services of Windows itself, through user32's ANSI calls.
class Win32WindowSystem : public WindowSystem {
public:
    Hwnd findWindow(std::string_view className) override;
    Hwnd findChild(Hwnd parent, Hwnd after, std::string_view className) override;
    std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::string& text) override;
    Hmenu getMenu(Hwnd window) override;
    int getMenuItemCount(Hmenu menu) override;
    Hmenu getSubMenu(Hmenu menu, int position) override;
    unsigned getMenuItemID(Hmenu menu, int position) override;
    std::string getMenuString(Hmenu menu, unsigned id, int maxCount) override;
    void doEvents() override;
};
