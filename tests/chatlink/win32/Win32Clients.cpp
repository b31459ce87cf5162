// Real windows with the chat clients' class names and behaviour, for the
// window contract under Wine.
#include "ContractDesktop.h"

#include "chatlink/DesktopWindows.h"

#include <windows.h>

#include <vector>

namespace {

std::string windowText(HWND window)
{
    std::string text(std::size_t(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(std::size_t(GetWindowTextA(window, text.data(), int(text.size()))));
    return text;
}

HWND child(HWND parent, const char* className, int index = 0)
{
    HWND c = FindWindowExA(parent, nullptr, className, nullptr);
    while (c && index-- > 0)
        c = FindWindowExA(parent, c, className, nullptr);
    return c;
}

// The input box, marked by its user data, shows what was typed wrapped in
// the client's HTML; the transcript pane of the same class is a plain window.
LRESULT CALLBACK ateProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const char* typed = reinterpret_cast<const char*>(lParam);
    if (message != WM_SETTEXT || !GetWindowLongPtrA(window, GWLP_USERDATA) || !*typed)
        return DefWindowProcA(window, message, wParam, lParam);
    const std::string shown = "<FONT LANG=\"0\">" + std::string(typed) + "</FONT>";
    return DefWindowProcA(window, message, wParam, reinterpret_cast<LPARAM>(shown.c_str()));
}

void buttonClicked(HWND button)
{
    const HWND chat = GetParent(button);
    if (button == child(chat, "_oscar_iconbtn", 1)) {
        const HWND list = child(chat, "_Oscar_Tree");
        const int selected = int(SendMessageA(list, LB_GETCURSEL, 0, 0));
        if (selected < 0)
            return;
        std::string item(std::size_t(SendMessageA(list, LB_GETTEXTLEN, selected, 0)) + 1, '\0');
        item.resize(std::size_t(SendMessageA(list, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(item.data()))));
        const std::size_t state = item.find('\t') + 1, end = item.find('\t', state);
        item.replace(state, end - state, end == state ? "ignored" : "");
        SendMessageA(list, LB_DELETESTRING, selected, 0);
        SendMessageA(list, LB_INSERTSTRING, selected, reinterpret_cast<LPARAM>(item.c_str()));
        SendMessageA(list, LB_SETCURSEL, selected, 0);
    } else if (button == child(chat, "_oscar_iconbtn", 4)) {
        const HWND input = child(child(chat, "wndate32class", 1), "ate32class");
        const HWND transcript = child(child(chat, "wndate32class"), "ate32class");
        const std::string shown = windowText(input);
        if (shown.empty())
            return;
        SetWindowTextA(input, "");
        const std::string line = "<BR><!-- (" + std::string(ContractDesktop::kTime) + ") --><B>me</B>: " + shown;
        SetWindowTextA(transcript, (windowText(transcript) + line).c_str());
    }
}

// An icon button acts when the mouse button is let go.
LRESULT CALLBACK iconButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_LBUTTONUP)
        return DefWindowProcA(window, message, wParam, lParam);
    buttonClicked(window);
    return 0;
}

LRESULT CALLBACK aolEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_CHAR)
        return DefWindowProcA(window, message, wParam, lParam);
    const std::string line = windowText(window);
    if (wParam == '\r' && !line.empty()) {
        const HWND transcript = child(GetParent(window), "RICHCNTLREADONLY");
        SetWindowTextA(transcript, (windowText(transcript) + "\r\nAOLMember:\t" + line).c_str());
        SetWindowTextA(window, "");
    }
    return 0;
}

// Registering again on the next desktop fails harmlessly.
void registerClasses()
{
    WNDCLASSEXA wc {};
    wc.cbSize = sizeof wc;
    wc.hInstance = GetModuleHandleA(nullptr);
    const auto add = [&](const char* name, WNDPROC proc) {
        wc.lpfnWndProc = proc;
        wc.lpszClassName = name;
        RegisterClassExA(&wc);
    };
    for (const char* name : {"AIM_ChatWnd", "WndAte32Class", "AOL Frame25", "AOL Child", "_AOL_Combobox",
                             "_AOL_Listbox", "_AOL_Static", "_AOL_Icon", "RICHCNTLREADONLY"})
        add(name, DefWindowProcA);
    add("Ate32Class", ateProc);
    add("_Oscar_IconBtn", iconButtonProc);
    add("RICHCNTL", aolEditProc);
    // The member list is a list box under the client's class name.
    GetClassInfoExA(nullptr, "LISTBOX", &wc);
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "_Oscar_Tree";
    RegisterClassExA(&wc);
}

HWND create(HWND parent, const char* className, DWORD style = 0, void* param = nullptr)
{
    return CreateWindowExA(0, className, "", (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | style, 0, 0, 200, 100, parent,
                           nullptr, GetModuleHandleA(nullptr), param);
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
        create(create(chat, "WndAte32Class"), "Ate32Class");
        const HWND input = create(create(chat, "WndAte32Class"), "Ate32Class");
        SetWindowLongPtrA(input, GWLP_USERDATA, 1);
        const HWND list = create(chat, "_Oscar_Tree", LBS_HASSTRINGS | LBS_NOTIFY);
        for (int i = 0; i < 6; ++i)
            create(chat, "_Oscar_IconBtn");
        for (const char* item : {"Chat\t\tme", "Chat\t\tbob", "Chat\t\tcarol"})
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }

    void openAolClient() override
    {
        const HWND frame = m_topLevel.emplace_back(create(nullptr, "AOL Frame25"));
        CLIENTCREATESTRUCT client {nullptr, 1000};
        const HWND mdi = create(frame, "MDIClient", WS_CLIPCHILDREN, &client);
        create(mdi, "AOL Child");
        const HWND room = create(mdi, "AOL Child");
        for (const char* marker :
             {"_AOL_Static", "_AOL_Combobox", "_AOL_Listbox", "_AOL_Icon", "RICHCNTLREADONLY", "RICHCNTL", "RICHCNTL"})
            create(room, marker);

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
        SetMenu(frame, bar);
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
