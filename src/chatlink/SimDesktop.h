// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/WindowSystem.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A desktop simulated in the process: windows with class names, children in
// creation order, and models of the two chat clients the program drives.
// It answers the messages the program sends the way those clients do, and
// nothing beyond that:
//
// AIM chat window ("AIM_ChatWnd"): the transcript is HTML, one line per
// "<BR>", each "<BR><!-- (time) --><B>speaker</B>: " and the line's HTML;
// the input box gives back what was typed wrapped in the client's font HTML;
// clicking the fifth icon button posts the input as the local member's line,
// its HTML kept, while a line a member says shows its text as text;
// clicking the second toggles the ignore of the member selected in the
// member list (never the local member's), whose items read "Chat", tab,
// state, tab, screen name.
//
// AOL client ("AOL Frame25"): an MDI area of "AOL Child" windows; a chat
// room among them carries the five marker children and two "RICHCNTL"
// boxes; a carriage return typed into a box posts its text into the room.
// The frame's menus carry the texts that tell the client's version.
//
// Texts are UTF-8, the encoding of the Linux desktop it stands in for.
//
// What happens on it is told by signals, so a room window, the terminal
// and a test can all follow the same desktop.
class SimDesktop : public QObject, public WindowSystem {
    Q_OBJECT
public:
    enum class Kind {
        Plain,  // keeps the text it is given, as any window does
        Transcript,  // a plain text, bounded in size
        Input,  // the AIM input box
        IconButton,  // an AIM icon button; its role follows its position
        MemberList,  // the AIM member list
        AolEdit,  // an AOL "RICHCNTL" box
    };

    // The client's HTML around the text typed into the AIM input box.
    static constexpr std::string_view kInputHead = "<FONT LANG=\"0\">";
    static constexpr std::string_view kInputTail = "</FONT>";
    // The transcript keeps at most this many bytes, dropping whole lines
    // from its start; the scanner reads all of it every second.
    static constexpr std::size_t kTranscriptLimit = 1 << 20;

    struct AimChat {
        Hwnd window = 0;
        Hwnd transcript = 0;
        Hwnd input = 0;
        Hwnd memberList = 0;
        Hwnd ignoreButton = 0;
        Hwnd sendButton = 0;
    };
    struct AolClient {
        Hwnd frame = 0;
        Hwnd mdi = 0;
    };
    struct AolRoom {
        Hwnd room = 0;
        Hwnd transcript = 0;  // "RICHCNTLREADONLY"
        Hwnd edit = 0;  // first "RICHCNTL"
        Hwnd input = 0;  // second "RICHCNTL"
    };

    SimDesktop();
    ~SimDesktop() override;

    // WindowSystem
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
    TextEncoding textEncoding() const override { return TextEncoding::Utf8; }

    // Building the desktop. A parent of 0 makes a top-level window.
    Hwnd createWindow(Hwnd parent, std::string className, Kind kind = Kind::Plain);
    void destroyWindow(Hwnd window);
    Hmenu createMenu();
    void appendMenuItem(Hmenu menu, unsigned id, std::string text);
    void appendSubMenu(Hmenu menu, Hmenu subMenu, std::string text);
    void setMenu(Hwnd window, Hmenu menu);

    // An AIM chat window in the client's layout, for the member who runs
    // the client; that member is listed from the start.
    AimChat openAimChat(const std::string& localMember);
    // A member says a line in the chat window, as the client shows it; a
    // member not yet listed joins the member list.
    void say(Hwnd chatWindow, const std::string& member, const std::string& text);
    void addMember(Hwnd chatWindow, const std::string& member);
    bool isIgnored(Hwnd chatWindow, const std::string& member) const;

    // An AOL client whose help menu holds the given item texts, and chat
    // rooms (or other windows) in its MDI area.
    AolClient openAolClient(const std::vector<std::string>& helpMenuItems);
    AolRoom addAolRoom(const AolClient& client);
    Hwnd addAolChild(const AolClient& client);

    // What the window holds, without the messages' buffer rules.
    const std::string& textOf(Hwnd window) const;

    // The time each new transcript line shows, "10:15:02 PM" by default
    // from the local clock.
    std::function<std::string()> clock;

Q_SIGNALS:
    // The program let pending events run (doEvents): the moment a client
    // of a real desktop would act in the middle of the program's work.
    void eventsLetRun();
    // The AIM input box's typed text was posted to the room.
    void inputSent(WindowSystem::Hwnd chatWindow, const std::string& typed);
    // A line was added to the AIM transcript: its HTML after the "<BR>".
    void lineAdded(WindowSystem::Hwnd chatWindow, const std::string& line);
    // The AIM transcript changed.
    void transcriptChanged(WindowSystem::Hwnd chatWindow);
    // A line was posted into an AOL chat room.
    void aolLinePosted(WindowSystem::Hwnd room, const std::string& line);

private:
    struct Window;
    struct Menu;

    Window* window(Hwnd handle);
    const Window* window(Hwnd handle) const;
    Menu* menu(Hmenu handle);
    Hwnd childOf(Hwnd parent, std::string_view className, int skip) const;

    std::intptr_t getText(const Window& w, std::uintptr_t wParam, std::string& buffer) const;
    std::string shownText(const Window& w) const;
    void setText(Window& w, std::string text);
    void transcriptGrew(Window& transcript);
    void press(Window& button);
    void release(Window& button);
    void postInput(Hwnd chatWindow);
    void toggleIgnore(Hwnd chatWindow);
    void appendLine(Hwnd chatWindow, const std::string& member, const std::string& html);
    void postAolLine(Window& edit);

    std::vector<std::unique_ptr<Window>> m_windows;
    std::vector<std::unique_ptr<Menu>> m_menus;
};
