// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The message numbers the chat link sends, under their user32 names without
// the prefix (windows.h defines the prefixed names as macros).
namespace wm {
inline constexpr unsigned SETTEXT = 12;
inline constexpr unsigned GETTEXT = 13;
inline constexpr unsigned GETTEXTLENGTH = 14;
inline constexpr unsigned KEYUP = 257;
inline constexpr unsigned CHAR = 258;
inline constexpr unsigned LBUTTONDOWN = 513;
inline constexpr unsigned LBUTTONUP = 514;
}  // namespace wm
namespace lb {
inline constexpr unsigned SETCURSEL = 390;
inline constexpr unsigned GETTEXT = 393;
inline constexpr unsigned GETTEXTLEN = 394;
inline constexpr unsigned GETCOUNT = 395;
}  // namespace lb
namespace vk {
inline constexpr unsigned SPACE = 0x20;
}  // namespace vk

// The window services of the desktop the chat client runs on, shaped like
// user32: windows are found by class name and driven by numbered messages,
// menus are read item by item. A null handle answers 0 and does nothing.
// Text crosses as bytes in the desktop's encoding; callers convert once,
// with AnsiText.
class WindowSystem {
public:
    using Hwnd = std::uintptr_t;
    using Hmenu = std::uintptr_t;

    // The item id of a menu item that opens a sub-menu.
    static constexpr unsigned kNoMenuItemId = 0xFFFFFFFFu;

    // How the desktop's window texts are encoded: the ANSI code page of a
    // Western Windows system, or UTF-8 where the desktop's own texts (file
    // names, terminals) are UTF-8.
    enum class TextEncoding { Windows1252, Utf8 };

    virtual ~WindowSystem() = default;

    virtual TextEncoding textEncoding() const { return TextEncoding::Windows1252; }

    // First top-level window of the class (letter case ignored), any caption.
    virtual Hwnd findWindow(std::string_view className) = 0;
    // Next direct child of the class after `after` (0: the first).
    virtual Hwnd findChild(Hwnd parent, Hwnd after, std::string_view className) = 0;

    virtual std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // A message whose lParam is a text buffer. The window reads it
    // (WM_SETTEXT) or writes into it (WM_GETTEXT, LB_GETTEXT); it never
    // grows or shrinks the buffer, whatever wParam claims, and what does not
    // fit is cut.
    virtual std::intptr_t sendMessage(Hwnd window, unsigned message, std::uintptr_t wParam, std::string& text) = 0;

    // Menus, for telling a client's version. A desktop without menus keeps
    // these defaults: no menu bar, so nothing to walk.
    virtual Hmenu getMenu(Hwnd) { return 0; }
    // Number of items; 0 for a null menu.
    virtual int getMenuItemCount(Hmenu) { return 0; }
    virtual Hmenu getSubMenu(Hmenu, int) { return 0; }
    // The command id of the item at the position; kNoMenuItemId for a
    // sub-menu item or a position that is not there.
    virtual unsigned getMenuItemID(Hmenu, int) { return kNoMenuItemId; }
    // The text of the item with the command id (this menu or one below it),
    // at most maxCount - 1 bytes of it; empty when there is none.
    virtual std::string getMenuString(Hmenu, unsigned, int) { return {}; }

    // Lets the desktop's pending window messages be handled, so a client
    // still building a window can finish it. The program's own events wait
    // for its event loop: this is no place to run them.
    virtual void doEvents() = 0;
};
