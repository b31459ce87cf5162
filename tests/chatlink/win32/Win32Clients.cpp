// Real windows with the chat clients' class names and behaviour, for the
// window contract under Wine.
#include "ContractDesktop.h"

#include "chatlink/Win32WindowSystem.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kInputHead = "<FONT LANG=\"0\">";
constexpr const char* kInputTail = "</FONT>";

enum Kind : LONG_PTR { Plain = 0, Input = 1 };

std::string windowText(HWND window)
{
    std::string text(std::size_t(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(std::size_t(GetWindowTextA(window, text.data(), int(text.size()))));
    return text;
}

std::string listItem(HWND list, int index)
{
    std::string item(std::size_t(SendMessageA(list, LB_GETTEXTLEN, index, 0)) + 1, '\0');
    item.resize(std::size_t(SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(item.data()))));
    return item;
}

// The input box keeps what was typed and shows it wrapped in HTML.
std::string& typed(HWND input)
{
    return *reinterpret_cast<std::string*>(GetWindowLongPtrA(input, GWLP_USERDATA));
}

std::string shown(HWND input)
{
    const std::string& t = typed(input);
    return t.empty() ? t : kInputHead + t + kInputTail;
}

LRESULT CALLBACK ateProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (GetWindowLongPtrA(window, GWLP_USERDATA) == 0)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_SETTEXT:
        typed(window) = reinterpret_cast<const char*>(lParam);
        return TRUE;
    case WM_GETTEXTLENGTH:
        return LRESULT(shown(window).size());
    case WM_GETTEXT: {
        if (wParam == 0)
            return 0;
        const std::string text = shown(window);
        const std::size_t copied = std::min<std::size_t>(text.size(), wParam - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), text.data(), copied);
        reinterpret_cast<char*>(lParam)[copied] = '\0';
        return LRESULT(copied);
    }
    case WM_NCDESTROY:
        delete &typed(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND nthChild(HWND parent, const char* className, int index)
{
    HWND child = FindWindowExA(parent, nullptr, className, nullptr);
    for (int i = 0; i < index && child; ++i)
        child = FindWindowExA(parent, child, className, nullptr);
    return child;
}

void buttonClicked(HWND button)
{
    const HWND chat = GetParent(button);
    int position = 0;
    for (HWND b = FindWindowExA(chat, nullptr, "_oscar_iconbtn", nullptr); b && b != button;
         b = FindWindowExA(chat, b, "_oscar_iconbtn", nullptr))
        ++position;
    if (position == 1) {
        const HWND list = FindWindowExA(chat, nullptr, "_Oscar_Tree", nullptr);
        const int selected = int(SendMessageA(list, LB_GETCURSEL, 0, 0));
        if (selected < 0)
            return;
        std::string item = listItem(list, selected);
        const std::size_t state = item.find('\t') + 1;
        const std::size_t end = item.find('\t', state);
        item.replace(state, end - state, end == state ? "ignored" : "");
        SendMessageA(list, LB_DELETESTRING, selected, 0);
        SendMessageA(list, LB_INSERTSTRING, selected, reinterpret_cast<LPARAM>(item.c_str()));
        SendMessageA(list, LB_SETCURSEL, selected, 0);
    } else if (position == 4) {
        const HWND input = FindWindowExA(nthChild(chat, "wndate32class", 1), nullptr, "ate32class", nullptr);
        const HWND transcript = FindWindowExA(nthChild(chat, "wndate32class", 0), nullptr, "ate32class", nullptr);
        if (!input || typed(input).empty())
            return;
        const std::string line = "<BR><!-- (" + std::string(ContractDesktop::kTime) + ") --><B>me</B>: " + shown(input);
        typed(input).clear();
        SetWindowTextA(transcript, (windowText(transcript) + line).c_str());
    }
}

LRESULT CALLBACK iconButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        SetWindowLongPtrA(window, GWLP_USERDATA, 1);
        return 0;
    case WM_KEYUP:
        if (wParam != VK_SPACE)
            return 0;
        [[fallthrough]];
    case WM_LBUTTONUP:
        if (GetWindowLongPtrA(window, GWLP_USERDATA)) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            buttonClicked(window);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK aolEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR) {
        const std::string line = windowText(window);
        if (wParam == '\r' && !line.empty()) {
            const HWND transcript = FindWindowExA(GetParent(window), nullptr, "RICHCNTLREADONLY", nullptr);
            SetWindowTextA(transcript, (windowText(transcript) + "\r\nAOLMember:\t" + line).c_str());
            SetWindowTextA(window, "");
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerClass(const char* name, WNDPROC proc)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

void registerClasses()
{
    static const bool done = [] {
        for (const char* name : {"AIM_ChatWnd", "WndAte32Class", "AOL Frame25", "AOL Child", "_AOL_Combobox",
                                 "_AOL_Listbox", "_AOL_Static", "_AOL_Icon", "RICHCNTLREADONLY"})
            registerClass(name, DefWindowProcA);
        registerClass("Ate32Class", ateProc);
        registerClass("_Oscar_IconBtn", iconButtonProc);
        registerClass("RICHCNTL", aolEditProc);
        // The member list is a list box under the client's class name.
        WNDCLASSEXA list{};
        list.cbSize = sizeof list;
        GetClassInfoExA(nullptr, "LISTBOX", &list);
        list.hInstance = GetModuleHandleA(nullptr);
        list.lpszClassName = "_Oscar_Tree";
        RegisterClassExA(&list);
        return true;
    }();
    (void)done;
}

HWND create(HWND parent, const char* className, DWORD style = 0)
{
    return CreateWindowExA(0, className, "", (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | style, 0, 0, 200, 100,
                           parent, nullptr, GetModuleHandleA(nullptr), nullptr);
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

    void openAimChat(const std::vector<std::string>& otherMembers) override
    {
        const HWND chat = create(nullptr, "AIM_ChatWnd");
        m_topLevel.push_back(chat);
        create(create(chat, "WndAte32Class"), "Ate32Class");
        const HWND input = create(create(chat, "WndAte32Class"), "Ate32Class");
        SetWindowLongPtrA(input, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new std::string));
        const HWND list = create(chat, "_Oscar_Tree", LBS_HASSTRINGS | LBS_NOTIFY);
        for (int i = 0; i < 6; ++i)
            create(chat, "_Oscar_IconBtn");
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Chat\t\tme"));
        for (const std::string& member : otherMembers)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Chat\t\t" + member).c_str()));
    }

    void openAolClient(const std::vector<std::string>& helpMenuItems) override
    {
        m_frame = create(nullptr, "AOL Frame25");
        m_topLevel.push_back(m_frame);
        CLIENTCREATESTRUCT client{nullptr, 1000};
        m_mdi = CreateWindowExA(0, "MDIClient", "", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 200, 100, m_frame, nullptr,
                                GetModuleHandleA(nullptr), &client);

        UINT id = 100;
        const HMENU bar = CreateMenu();
        const HMENU file = CreatePopupMenu();
        for (const char* text : {"&New", "&Open...", "E&xit"})
            AppendMenuA(file, MF_STRING, id++, text);
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        const HMENU windowMenu = CreatePopupMenu();
        for (const char* text : {"&Cascade", "&Tile"})
            AppendMenuA(windowMenu, MF_STRING, id++, text);
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(windowMenu), "&Window");
        const HMENU help = CreatePopupMenu();
        for (const std::string& text : helpMenuItems)
            AppendMenuA(help, MF_STRING, id++, text.c_str());
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
        SetMenu(m_frame, bar);
    }

    void addAolChild(bool chatRoom) override
    {
        const HWND child = create(m_mdi, "AOL Child");
        if (!chatRoom)
            return;
        for (const char* marker :
             {"_AOL_Static", "_AOL_Combobox", "_AOL_Listbox", "_AOL_Icon", "RICHCNTLREADONLY", "RICHCNTL", "RICHCNTL"})
            create(child, marker);
    }

private:
    Win32WindowSystem m_windows;
    std::vector<HWND> m_topLevel;
    HWND m_frame = nullptr;
    HWND m_mdi = nullptr;
};

} // namespace

std::unique_ptr<ContractDesktop> makeContractDesktop()
{
    return std::make_unique<Win32ContractDesktop>();
}
