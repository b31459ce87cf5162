// SPDX-License-Identifier: GPL-3.0-or-later
// Real windows with the chat clients' class names and layout, for the
// window contract under Wine.
#include "ContractDesktop.h"

#include "chatlink/DesktopWindows.h"

#include <windows.h>

#include <vector>

namespace {

// Registering again on the next desktop fails harmlessly.
void registerClasses()
{
    WNDCLASSEXA wc {
        .cbSize = sizeof(WNDCLASSEXA), .lpfnWndProc = DefWindowProcA, .hInstance = GetModuleHandleA(nullptr)};
    for (const char* name : {"AIM_ChatWnd", "WndAte32Class", "Ate32Class", "_Oscar_IconBtn", "AOL Frame25"}) {
        wc.lpszClassName = name;
        RegisterClassExA(&wc);
    }
    // The member list is a list box under the client's class name.
    GetClassInfoExA(nullptr, "LISTBOX", &wc);
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "_Oscar_Tree";
    RegisterClassExA(&wc);
}

HWND create(HWND parent, const char* className, DWORD style = 0)
{
    return CreateWindowExA(0, className, "", (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | style, 0, 0, 200, 100, parent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

class Win32ContractDesktop : public ContractDesktop {
public:
    Win32ContractDesktop() { registerClasses(); }
    ~Win32ContractDesktop() override
    {
        for (HWND window : m_topLevel)
            DestroyWindow(window);
        m_windows.doEvents();
    }

    WindowSystem& windows() override { return m_windows; }

    void openAimChat() override
    {
        const HWND chat = m_topLevel.emplace_back(create(nullptr, "AIM_ChatWnd"));
        for (int i = 0; i < 2; ++i)
            create(create(chat, "WndAte32Class"), "Ate32Class");
        const HWND list = create(chat, "_Oscar_Tree", LBS_HASSTRINGS);
        for (int i = 0; i < 6; ++i)
            create(chat, "_Oscar_IconBtn");
        for (const char* item : {"Chat\t\tme", "Chat\t\tbob", "Chat\t\tcarol"})
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }

    void openAolClient() override
    {
        UINT id = 100;
        const HMENU bar = CreateMenu();
        const auto popup = [&](const char* title, std::initializer_list<const char*> items) {
            const HMENU menu = CreatePopupMenu();
            for (const char* text : items)
                AppendMenuA(menu, MF_STRING, id++, text);
            AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), title);
        };
        popup("&File", {"&New", "E&xit"});
        popup("&Window", {"&Cascade"});
        popup("&Help", {"&Help Topics", "&What's New in AOL 5.0"});
        SetMenu(m_topLevel.emplace_back(create(nullptr, "AOL Frame25")), bar);
    }

private:
    // The window system the program itself builds on Windows.
    DesktopWindows m_windows;
    std::vector<HWND> m_topLevel;
};

}  // namespace

std::unique_ptr<ContractDesktop> makeContractDesktop()
{
    return std::make_unique<Win32ContractDesktop>();
}
