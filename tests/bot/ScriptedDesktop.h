#pragma once

#include "chatlink/WindowSystem.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// A desktop with one chat window of the chat client: a member list, two
// icon buttons (the second one ignores the selected member) and the
// transcript. It answers the list-box, text and click messages the way the
// client's windows do and records what was done to them.
class ScriptedDesktop : public WindowSystem {
public:
    enum : Hwnd { Chat = 1, Members = 2, InfoButton = 3, IgnoreButton = 4, Frame = 5, Transcript = 6 };

    bool hasChatWindow = true;
    std::vector<std::string> members;   // list items, fields separated by tabs
    int selected = -1;
    QStringList toggled;                // member items whose ignore was toggled
    std::string transcript = "<b>Bob</b>: hi";
    QStringList log;                    // every message, "window:message"
    std::function<void()> onEvents;     // runs while the program lets events run

    Hwnd findWindow(std::string_view className) override
    {
        return hasChatWindow && same(className, "aim_chatwnd") ? Chat : 0;
    }

    Hwnd findChild(Hwnd parent, Hwnd after, std::string_view className) override
    {
        struct Child {
            Hwnd parent, handle;
            const char* cls;
        };
        static const Child children[] = {
            {Chat, Members, "_oscar_tree"},      {Chat, InfoButton, "_oscar_iconbtn"},
            {Chat, IgnoreButton, "_oscar_iconbtn"}, {Chat, Frame, "wndate32class"},
            {Frame, Transcript, "ate32class"},
        };
        if (!exists(parent))
            return 0;
        bool past = after == 0;
        for (const Child& c : children) {
            if (c.parent != parent)
                continue;
            if (!past) {
                past = c.handle == after;
                continue;
            }
            if (same(className, c.cls))
                return c.handle;
        }
        return 0;
    }

    std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t) override
    {
        if (!exists(window))
            return 0;
        log.append(QStringLiteral("%1:%2").arg(window).arg(message));
        if (window == Members) {
            switch (message) {
            case 0x018B: return std::intptr_t(members.size());
            case 0x0186:
                if (wParam >= members.size())
                    return -1;
                selected = int(wParam);
                return selected;
            case 0x018A: return wParam < members.size() ? std::intptr_t(members[wParam].size()) : -1;
            }
        }
        if (window == IgnoreButton && message == 0x0202 && selected >= 0 && selected < int(members.size()))
            toggled.append(QString::fromStdString(members[selected]));
        return 0;
    }

    std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::string& text) override
    {
        if (!exists(window))
            return 0;
        log.append(QStringLiteral("%1:%2").arg(window).arg(message));
        if (window == Members && message == 0x0189 && wParam < members.size()) {
            text = members[wParam];
            return std::intptr_t(text.size());
        }
        if (window == Transcript && message == 0x000C) {
            transcript = text;
            return 1;
        }
        return 0;
    }

    void doEvents() override
    {
        if (onEvents)
            std::exchange(onEvents, nullptr)();
    }

private:
    bool exists(Hwnd window) const { return hasChatWindow && window >= Chat && window <= Transcript; }

    static bool same(std::string_view a, std::string_view b)
    {
        return QString::fromLatin1(a.data(), a.size()).compare(QLatin1String(b.data(), b.size()), Qt::CaseInsensitive)
            == 0;
    }
};
