// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

// What the program's logic asks of a user interface. The desktop windows
// implement it with widgets; the headless front end with the terminal.
class UserInterface {
public:
    enum class Icon { None, Critical };
    // The secondary windows, each created on first use and never modal.
    enum class Form { Chat, Commands, About, Dir, Song };

    virtual ~UserInterface() = default;

    // The boxes below do not wait for the user: each returns at once and
    // hands its outcome to the function given, which a front end without
    // windows may call before returning.
    using Closed = std::function<void()>;
    using Answered = std::function<void(const QString& answer)>;

    // Shows a message; `closed` runs once the user has dismissed it.
    virtual void messageBox(const QString& text, const QString& title = {}, Icon icon = Icon::None, Closed closed = {})
        = 0;
    // Asks for one line of text: a null text when cancelled, so that an
    // empty answer and a cancel differ.
    virtual void inputBox(const QString& prompt, const QString& title, const QString& defaultText, Answered answered)
        = 0;
    // Asks for an existing file: an empty text when cancelled.
    virtual void openFileName(Answered answered) = 0;

    virtual void addTrayIcon() = 0;
    virtual void removeTrayIcon() = 0;

    virtual void minimizeMainWindow() = 0;
    virtual void hideMainWindow() = 0;
    virtual void showMainWindow() = 0;

    // Whether a window shown is seen by the owner; without windows, the
    // choice among search hits is made in the chat.
    virtual bool showsWindows() const { return true; }
    virtual void showForm(Form form) = 0;
    virtual void closeForm(Form form) = 0;

    // The shut-down has begun: a desktop keeps where its windows are, before
    // the closing animation changes them.
    virtual void keepWindowPlaces() { }
    // One geometry value of the main window in twips, for the closing
    // animation; a window manager may refuse a new value.
    virtual int closingGeometry() const = 0;
    virtual void setClosingGeometry(int twips) = 0;

    // A file could not be written, or will not be as it could not be read;
    // the text names it and tells why. The line on stderr is already
    // written: a desktop also shows the text.
    virtual void fileNotWritten(const QString& text) { Q_UNUSED(text) }

    // Ends the program's event loop once the shut-down has run.
    virtual void endProgram() = 0;
};
