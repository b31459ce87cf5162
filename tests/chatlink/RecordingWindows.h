#pragma once

#include "chatlink/WindowSystem.h"

#include <string>
#include <vector>

// Passes every call on to a desktop and records the messages that reach a
// window, and each time pending events were let run.
class RecordingWindows : public WindowSystem {
public:
    struct Sent {
        Hwnd window;
        unsigned message;
        std::uintptr_t wParam;
        std::string text;  // of a text message, as it went out

        bool operator==(const Sent&) const = default;
    };

    explicit RecordingWindows(WindowSystem& inner) : m_inner(inner) {}

    Hwnd findWindow(std::string_view className) override { return m_inner.findWindow(className); }
    Hwnd findChild(Hwnd parent, Hwnd after, std::string_view className) override
    {
        return m_inner.findChild(parent, after, className);
    }
    std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        if (window)
            sent.push_back({window, message, wParam, {}});
        return m_inner.sendMessage(window, message, wParam, lParam);
    }
    std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::string& text) override
    {
        if (window)
            sent.push_back({window, message, wParam, message == wm::SETTEXT ? text : std::string()});
        return m_inner.sendMessage(window, message, wParam, text);
    }
    Hmenu getMenu(Hwnd window) override { return m_inner.getMenu(window); }
    int getMenuItemCount(Hmenu menu) override { return m_inner.getMenuItemCount(menu); }
    Hmenu getSubMenu(Hmenu menu, int position) override { return m_inner.getSubMenu(menu, position); }
    unsigned getMenuItemID(Hmenu menu, int position) override { return m_inner.getMenuItemID(menu, position); }
    std::string getMenuString(Hmenu menu, unsigned id, int maxCount) override
    {
        return m_inner.getMenuString(menu, id, maxCount);
    }
    TextEncoding textEncoding() const override { return m_inner.textEncoding(); }
    void doEvents() override
    {
        sent.push_back({0, 0, 0, "events"});
        m_inner.doEvents();
    }

    std::vector<Sent> sent;

private:
    WindowSystem& m_inner;
};
