// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/UserInterface.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class MainForm;
class StandardInput;
class StopSignals;

// Runs the program in a terminal: message boxes become lines on stderr,
// standard input is read line by line (unless ignored; "/find-sn" presses
// "Find SN"), each line said once the program is done with the one before,
// and its end (after the last line's work), SIGINT, SIGTERM or SIGHUP shut
// the program down the normal way.
class HeadlessFrontEnd : public QObject, public UserInterface {
    Q_OBJECT
public:
    explicit HeadlessFrontEnd(QObject* parent = nullptr);
    ~HeadlessFrontEnd() override;

    enum class Input { Read, Ignored };
    // Starts watching for signals and, unless told otherwise, reading
    // standard input; a signal or the input's end ends the form's life
    // through its shut-down.
    void attach(MainForm& form, Input input = Input::Read);

    void messageBox(const QString& text, const QString& title, Icon icon, Closed closed = {}) override;
    void inputBox(const QString& prompt, const QString& title, const QString& defaultText, Answered answered) override;
    void openFileName(Answered answered) override;
    void addTrayIcon() override { }
    void removeTrayIcon() override { }
    void minimizeMainWindow() override { }
    void hideMainWindow() override { }
    void showMainWindow() override { }
    // No window can be shown: the picker closes at once, so the owner's
    // next search is not held up by results no one can pick.
    bool showsWindows() const override { return false; }
    void showForm(Form form) override;
    void closeForm(Form) override { }
    int closingGeometry() const override { return m_geometry; }
    void setClosingGeometry(int twips) override { m_geometry = twips; }
    void endProgram() override;

Q_SIGNALS:
    // One line of standard input, without its line end, for the room.
    void lineRead(const QString& line);

private:
    void takeBytes(const QByteArray& bytes);
    void endInput();
    void takeLine(const QString& line);
    void feed();
    bool isBusy() const;
    void shutDown();

    MainForm* m_form = nullptr;
    std::unique_ptr<StandardInput> m_input;
    std::unique_ptr<StopSignals> m_signals;
    QTimer m_feeding;
    QStringList m_typed;
    bool m_inputEnded = false;
    QByteArray m_pending;
    int m_geometry = 0;
};
