// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/SimDesktop.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <utility>

namespace {

constexpr std::intptr_t LB_ERR = -1;

bool sameClass(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string localTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts {};
#ifdef _WIN32
    localtime_s(&parts, &now);
#else
    localtime_r(&now, &parts);
#endif
    char text[16];
    std::strftime(text, sizeof text, "%I:%M:%S %p", &parts);
    return text;
}

// Copies text into a caller's buffer the way a window answers a text
// message: never past the buffer, a terminating zero only where it fits.
std::size_t copyInto(std::string& buffer, std::string_view text, std::size_t limit)
{
    const std::size_t copied = std::min({text.size(), limit, buffer.size()});
    std::memcpy(buffer.data(), text.data(), copied);
    if (copied < buffer.size())
        buffer[copied] = '\0';
    return copied;
}

// What a member types is shown as text: markup typed into the room must not
// become the transcript's own, or one line could pass for several. In a
// name, a colon too is an entity, so the first ":" of a line is the one
// after its speaker.
enum class Escape { AsText, AsName };
std::string escapedHtml(std::string_view text, Escape as = Escape::AsText)
{
    std::string html;
    html.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '&':
            html += "&amp;";
            break;
        case ':':
            html += as == Escape::AsName ? "&#58;" : ":";
            break;
        default:
            html += c;
        }
    }
    return html;
}

std::string memberItem(const std::string& name, bool ignored)
{
    return std::string("Chat\t") + (ignored ? "ignored" : "") + "\t" + name;
}

}  // namespace

struct SimDesktop::Window {
    Hwnd handle = 0;
    Hwnd parent = 0;
    std::string className;
    Kind kind = Kind::Plain;
    std::string text;
    std::vector<Hwnd> children;
    Hmenu menu = 0;
    // A chat window's local member; an AOL frame's screen name.
    std::string member;
    // Member list.
    struct Member {
        std::string name;
        bool ignored = false;
    };
    std::vector<Member> members;
    int selection = -1;
    // Icon button between button down and the click.
    bool pressed = false;
};

struct SimDesktop::Menu {
    struct Item {
        unsigned id = kNoMenuItemId;
        std::string text;
        Hmenu subMenu = 0;
    };
    std::vector<Item> items;
};

SimDesktop::SimDesktop() : clock(localTime)
{ }

SimDesktop::~SimDesktop() = default;

SimDesktop::Window* SimDesktop::window(Hwnd handle)
{
    return handle == 0 || handle > m_windows.size() ? nullptr : m_windows[handle - 1].get();
}

const SimDesktop::Window* SimDesktop::window(Hwnd handle) const
{
    return handle == 0 || handle > m_windows.size() ? nullptr : m_windows[handle - 1].get();
}

SimDesktop::Menu* SimDesktop::menu(Hmenu handle)
{
    return handle == 0 || handle > m_menus.size() ? nullptr : m_menus[handle - 1].get();
}

SimDesktop::Hwnd SimDesktop::findWindow(std::string_view className)
{
    for (const auto& w : m_windows) {
        if (w && w->parent == 0 && sameClass(w->className, className))
            return w->handle;
    }
    return 0;
}

SimDesktop::Hwnd SimDesktop::findChild(Hwnd parent, Hwnd after, std::string_view className)
{
    const Window* p = window(parent);
    if (!p)
        return 0;
    auto it = p->children.begin();
    if (after != 0) {
        it = std::find(p->children.begin(), p->children.end(), after);
        if (it == p->children.end())
            return 0;
        ++it;
    }
    for (; it != p->children.end(); ++it) {
        if (sameClass(window(*it)->className, className))
            return *it;
    }
    return 0;
}

SimDesktop::Hwnd SimDesktop::childOf(Hwnd parent, std::string_view className, int skip) const
{
    const Window* p = window(parent);
    if (!p)
        return 0;
    for (Hwnd child : p->children) {
        if (sameClass(window(child)->className, className) && skip-- == 0)
            return child;
    }
    return 0;
}

std::intptr_t SimDesktop::sendMessage(Hwnd handle, unsigned message, std::uintptr_t wParam, std::intptr_t)
{
    Window* w = window(handle);
    if (!w)
        return 0;
    switch (message) {
    case wm::GETTEXTLENGTH:
        return std::intptr_t(shownText(*w).size());
    case wm::LBUTTONDOWN:
        if (w->kind == Kind::IconButton)
            w->pressed = true;
        return 0;
    case wm::LBUTTONUP:
        if (w->kind == Kind::IconButton)
            release(*w);
        return 0;
    case wm::KEYUP:
        if (w->kind == Kind::IconButton && wParam == vk::SPACE)
            release(*w);
        return 0;
    case wm::CHAR:
        if (w->kind == Kind::AolEdit && wParam == '\r')
            postAolLine(*w);
        return 0;
    case lb::GETCOUNT:
        return w->kind == Kind::MemberList ? std::intptr_t(w->members.size()) : 0;
    case lb::SETCURSEL:
        if (w->kind != Kind::MemberList)
            return 0;
        if (wParam >= w->members.size()) {
            if (std::intptr_t(wParam) == -1)
                w->selection = -1;
            return LB_ERR;
        }
        w->selection = int(wParam);
        return w->selection;
    case lb::GETTEXTLEN:
        if (w->kind != Kind::MemberList)
            return 0;
        if (wParam >= w->members.size())
            return LB_ERR;
        return std::intptr_t(memberItem(w->members[wParam].name, w->members[wParam].ignored).size());
    default:
        return 0;
    }
}

std::intptr_t SimDesktop::sendMessage(Hwnd handle, unsigned message, std::uintptr_t wParam, std::string& text)
{
    Window* w = window(handle);
    if (!w)
        return 0;
    switch (message) {
    case wm::SETTEXT:
        setText(*w, text);
        return 1;
    case wm::GETTEXT:
        return getText(*w, wParam, text);
    case lb::GETTEXT: {
        if (w->kind != Kind::MemberList)
            return 0;
        if (wParam >= w->members.size())
            return LB_ERR;
        const std::string item = memberItem(w->members[wParam].name, w->members[wParam].ignored);
        copyInto(text, item, item.size());
        return std::intptr_t(item.size());
    }
    default:
        return sendMessage(handle, message, wParam, std::intptr_t(0));
    }
}

std::intptr_t SimDesktop::getText(const Window& w, std::uintptr_t wParam, std::string& buffer) const
{
    if (wParam == 0)
        return 0;
    return std::intptr_t(copyInto(buffer, shownText(w), wParam - 1));
}

std::string SimDesktop::shownText(const Window& w) const
{
    if (w.kind == Kind::Input && !w.text.empty())
        return std::string(kInputHead) + w.text + std::string(kInputTail);
    return w.text;
}

void SimDesktop::setText(Window& w, std::string text)
{
    w.text = std::move(text);
    if (w.kind == Kind::Transcript)
        transcriptGrew(w);
}

void SimDesktop::transcriptGrew(Window& transcript)
{
    std::string& text = transcript.text;
    if (text.size() > kTranscriptLimit) {
        // Keep the newest lines: cut at the first line break that leaves
        // three quarters of the limit, so trimming is rare.
        const std::size_t from = text.size() - kTranscriptLimit * 3 / 4;
        std::size_t cut = text.find("<BR>", from);
        if (cut == std::string::npos)
            cut = text.size() - kTranscriptLimit;
        text.erase(0, cut);
    }
    const Window* pane = window(transcript.parent);
    if (pane && pane->parent)
        Q_EMIT transcriptChanged(pane->parent);
}

void SimDesktop::release(Window& button)
{
    if (!button.pressed)
        return;
    button.pressed = false;
    press(button);
}

void SimDesktop::press(Window& button)
{
    // The client's buttons sit in a fixed order; the program relies on the
    // second being "ignore" and the fifth "send".
    int position = 0;
    for (Hwnd b = findChild(button.parent, 0, "_oscar_iconbtn"); b && b != button.handle;
         b = findChild(button.parent, b, "_oscar_iconbtn"))
        ++position;
    if (position == 1)
        toggleIgnore(button.parent);
    else if (position == 4)
        postInput(button.parent);
}

void SimDesktop::postInput(Hwnd chatWindow)
{
    Window* input = window(childOf(childOf(chatWindow, "wndate32class", 1), "ate32class", 0));
    if (!input || input->kind != Kind::Input || input->text.empty())
        return;
    const std::string typed = std::exchange(input->text, {});
    // The client sends a line without its trailing blanks, so the line that
    // comes back reads as it was meant ("[4711] Finding SN", not "... SN ").
    const std::string sent = typed.substr(0, typed.find_last_not_of(' ') + 1);
    appendLine(chatWindow, window(chatWindow)->member, std::string(kInputHead) + sent + std::string(kInputTail));
    Q_EMIT inputSent(chatWindow, typed);
}

void SimDesktop::toggleIgnore(Hwnd chatWindow)
{
    Window* list = window(childOf(chatWindow, "_Oscar_Tree", 0));
    if (!list || list->kind != Kind::MemberList || list->selection < 0)
        return;
    // A client does not let its user ignore himself: he would hear nothing
    // of the room, not even his own lines.
    Window::Member& member = list->members[std::size_t(list->selection)];
    if (member.name != window(chatWindow)->member)
        member.ignored = !member.ignored;
}

void SimDesktop::appendLine(Hwnd chatWindow, const std::string& member, const std::string& html)
{
    Window* transcript = window(childOf(childOf(chatWindow, "wndate32class", 0), "ate32class", 0));
    if (!transcript)
        return;
    // A name is text like any other: its markup is shown, never obeyed, and
    // its colons are entities, so the first ":" of the line is the one
    // after the name.
    const std::string line = "<!-- (" + clock() + ") --><B>" + escapedHtml(member, Escape::AsName) + "</B>: " + html;
    transcript->text += "<BR>" + line;
    Q_EMIT lineAdded(chatWindow, line);
    transcriptGrew(*transcript);
}

void SimDesktop::say(Hwnd chatWindow, const std::string& member, const std::string& text)
{
    // The client sends no empty lines.
    if (!window(chatWindow) || text.empty())
        return;
    addMember(chatWindow, member);
    // The client shows nothing of a member its user ignores.
    if (isIgnored(chatWindow, member))
        return;
    appendLine(chatWindow, member, std::string(kInputHead) + escapedHtml(text) + std::string(kInputTail));
}

void SimDesktop::addMember(Hwnd chatWindow, const std::string& member)
{
    Window* list = window(childOf(chatWindow, "_Oscar_Tree", 0));
    if (!list || list->kind != Kind::MemberList)
        return;
    const bool listed = std::any_of(list->members.begin(), list->members.end(),
                                    [&](const Window::Member& m) { return m.name == member; });
    if (!listed)
        list->members.push_back({member, false});
}

bool SimDesktop::isIgnored(Hwnd chatWindow, const std::string& member) const
{
    const Window* list = window(childOf(chatWindow, "_Oscar_Tree", 0));
    if (!list)
        return false;
    return std::any_of(list->members.begin(), list->members.end(),
                       [&](const Window::Member& m) { return m.name == member && m.ignored; });
}

void SimDesktop::postAolLine(Window& edit)
{
    Window* room = window(edit.parent);
    if (!room || edit.text.empty())
        return;
    const std::string line = std::exchange(edit.text, {});
    if (Window* transcript = window(childOf(room->handle, "RICHCNTLREADONLY", 0))) {
        const Window* mdi = window(room->parent);
        const Window* frame = mdi ? window(mdi->parent) : nullptr;
        transcript->text += "\r\n" + (frame ? frame->member : std::string()) + ":\t" + line;
    }
    Q_EMIT aolLinePosted(room->handle, line);
}

SimDesktop::Hmenu SimDesktop::getMenu(Hwnd handle)
{
    const Window* w = window(handle);
    return w ? w->menu : 0;
}

int SimDesktop::getMenuItemCount(Hmenu handle)
{
    const Menu* m = menu(handle);
    return m ? int(m->items.size()) : 0;
}

SimDesktop::Hmenu SimDesktop::getSubMenu(Hmenu handle, int position)
{
    const Menu* m = menu(handle);
    return m && position >= 0 && std::size_t(position) < m->items.size() ? m->items[std::size_t(position)].subMenu : 0;
}

unsigned SimDesktop::getMenuItemID(Hmenu handle, int position)
{
    const Menu* m = menu(handle);
    if (!m || position < 0 || std::size_t(position) >= m->items.size())
        return kNoMenuItemId;
    return m->items[std::size_t(position)].id;
}

std::string SimDesktop::getMenuString(Hmenu handle, unsigned id, int maxCount)
{
    const Menu* m = menu(handle);
    if (!m || maxCount <= 0)
        return {};
    for (const Menu::Item& item : m->items) {
        if (item.subMenu == 0 && item.id == id)
            return item.text.substr(0, std::size_t(maxCount - 1));
    }
    for (const Menu::Item& item : m->items) {
        if (item.subMenu != 0) {
            std::string found = getMenuString(item.subMenu, id, maxCount);
            if (!found.empty())
                return found;
        }
    }
    return {};
}

// Nothing of the program runs here: its events wait for its own loop. The
// simulated clients answer every message at once, so none has work pending.
void SimDesktop::doEvents()
{
    Q_EMIT eventsLetRun();
}

SimDesktop::Hwnd SimDesktop::createWindow(Hwnd parent, std::string className, Kind kind)
{
    if (parent != 0 && !window(parent))
        return 0;
    auto w = std::make_unique<Window>();
    w->handle = m_windows.size() + 1;
    w->parent = parent;
    w->className = std::move(className);
    w->kind = kind;
    m_windows.push_back(std::move(w));
    const Hwnd handle = m_windows.size();
    if (parent != 0)
        window(parent)->children.push_back(handle);
    return handle;
}

void SimDesktop::destroyWindow(Hwnd handle)
{
    Window* w = window(handle);
    if (!w)
        return;
    for (Hwnd child : std::vector<Hwnd>(w->children))
        destroyWindow(child);
    if (Window* parent = window(w->parent))
        std::erase(parent->children, handle);
    m_windows[handle - 1].reset();
}

SimDesktop::Hmenu SimDesktop::createMenu()
{
    m_menus.push_back(std::make_unique<Menu>());
    return m_menus.size();
}

void SimDesktop::appendMenuItem(Hmenu handle, unsigned id, std::string text)
{
    if (Menu* m = menu(handle))
        m->items.push_back({id, std::move(text), 0});
}

void SimDesktop::appendSubMenu(Hmenu handle, Hmenu subMenu, std::string text)
{
    if (Menu* m = menu(handle))
        m->items.push_back({kNoMenuItemId, std::move(text), subMenu});
}

void SimDesktop::setMenu(Hwnd handle, Hmenu menuHandle)
{
    if (Window* w = window(handle))
        w->menu = menuHandle;
}

SimDesktop::AimChat SimDesktop::openAimChat(const std::string& localMember)
{
    AimChat chat;
    chat.window = createWindow(0, "AIM_ChatWnd");
    window(chat.window)->member = localMember;
    chat.transcript = createWindow(createWindow(chat.window, "WndAte32Class"), "Ate32Class", Kind::Transcript);
    chat.input = createWindow(createWindow(chat.window, "WndAte32Class"), "Ate32Class", Kind::Input);
    chat.memberList = createWindow(chat.window, "_Oscar_Tree", Kind::MemberList);
    // Warn, ignore, info, font, send, less.
    for (int i = 0; i < 6; ++i) {
        const Hwnd button = createWindow(chat.window, "_Oscar_IconBtn", Kind::IconButton);
        if (i == 1)
            chat.ignoreButton = button;
        if (i == 4)
            chat.sendButton = button;
    }
    addMember(chat.window, localMember);
    return chat;
}

SimDesktop::AolClient SimDesktop::openAolClient(const std::vector<std::string>& helpMenuItems)
{
    AolClient client;
    client.frame = createWindow(0, "AOL Frame25");
    window(client.frame)->member = "AOLMember";
    client.mdi = createWindow(client.frame, "MDIClient");

    unsigned id = 100;
    const Hmenu bar = createMenu();
    const Hmenu file = createMenu();
    for (const char* text : {"&New", "&Open...", "E&xit"})
        appendMenuItem(file, id++, text);
    appendSubMenu(bar, file, "&File");
    const Hmenu windowMenu = createMenu();
    for (const char* text : {"&Cascade", "&Tile"})
        appendMenuItem(windowMenu, id++, text);
    appendSubMenu(bar, windowMenu, "&Window");
    const Hmenu help = createMenu();
    for (const std::string& text : helpMenuItems)
        appendMenuItem(help, id++, text);
    appendSubMenu(bar, help, "&Help");
    setMenu(client.frame, bar);
    return client;
}

SimDesktop::Hwnd SimDesktop::addAolChild(const AolClient& client)
{
    return createWindow(client.mdi, "AOL Child");
}

SimDesktop::AolRoom SimDesktop::addAolRoom(const AolClient& client)
{
    AolRoom room;
    room.room = addAolChild(client);
    for (const char* marker : {"_AOL_Static", "_AOL_Combobox", "_AOL_Listbox", "_AOL_Icon"})
        createWindow(room.room, marker);
    room.transcript = createWindow(room.room, "RICHCNTLREADONLY");
    room.edit = createWindow(room.room, "RICHCNTL", Kind::AolEdit);
    room.input = createWindow(room.room, "RICHCNTL", Kind::AolEdit);
    return room;
}

const std::string& SimDesktop::textOf(Hwnd handle) const
{
    static const std::string none;
    const Window* w = window(handle);
    return w ? w->text : none;
}
