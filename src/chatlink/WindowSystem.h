#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The window services of the desktop the chat client runs on, shaped like
// user32: windows are found by class name and driven by numbered messages.
// A null handle answers 0 and does nothing. Text crosses as ANSI bytes.
class WindowSystem {
public:
    using Hwnd = std::uintptr_t;

    virtual ~WindowSystem() = default;

    // First top-level window of the class (letter case ignored).
    virtual Hwnd findWindow(std::string_view className) = 0;
    // Next child of the class after `after` (0: the first).
    virtual Hwnd findChild(Hwnd parent, Hwnd after, std::string_view className) = 0;
    virtual std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // A message whose lParam is a text buffer, read or written in place.
    virtual std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::string& text) = 0;
    // Lets pending window events run.
    virtual void doEvents() = 0;
};
