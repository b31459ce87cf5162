#pragma once

#include "chatlink/WindowSystem.h"

// A desktop on which no chat client runs.
class NoWindows : public WindowSystem {
public:
    Hwnd findWindow(std::string_view) override { return 0; }
    Hwnd findChild(Hwnd, Hwnd, std::string_view) override { return 0; }
    std::intptr_t sendMessage(Hwnd, unsigned, std::uintptr_t, std::intptr_t) override { return 0; }
    std::intptr_t sendMessage(Hwnd, unsigned, std::uintptr_t, std::string&) override { return 0; }
    void doEvents() override { }
};
