// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/UserInterface.h"

#include <QIcon>
#include <QMainWindow>
#include <QPointer>

#include <deque>
#include <map>

class MainForm;
class QDialog;
class QListView;
class QMenu;
class QSystemTrayIcon;

// The main window, titled with the program's name and version: a view over
// the program's state. Every click goes to the main form's handlers; the
// secondary windows are created on first use and never block this one.
class MainWindow : public QMainWindow, public UserInterface {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The program's icon, for its windows and the tray.
    static QIcon programIcon();

    // Builds the widgets over the program's state.
    void attach(MainForm& form);
    // Puts this window and the Local Room (none on Windows) where they were
    // last time; they are remembered there as the program ends.
    void placeBeside(QWidget* room);

    // Message boxes come one at a time, in the order they were asked for,
    // and the program ends only once the last has been read.
    void messageBox(const QString& text, const QString& title, Icon icon, Closed closed) override;
    void inputBox(const QString& prompt, const QString& title, const QString& defaultText, Answered answered) override;
    void openFileName(Answered answered) override;
    void addTrayIcon() override;
    void removeTrayIcon() override;
    void minimizeMainWindow() override;
    void hideMainWindow() override;
    void showMainWindow() override;
    void showForm(Form form) override;
    void closeForm(Form form) override;
    void fileNotWritten(const QString& text) override;
    void keepWindowPlaces() override;
    int closingGeometry() const override;
    void setClosingGeometry(int twips) override;
    void endProgram() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPlaylist();
    QWidget* buildStatus();
    QWidget* buildSwitches();
    QWidget* buildButtons();
    QWidget* buildBotPanel();
    QWidget* buildDialectChoice(QWidget* panel);
    void buildMenus();
    QWidget* createForm(Form form);
    // At the mouse, or below the button `from` pressed from the keyboard.
    void popupOptions(QWidget* from = nullptr);
    void openNextBox();

    MainForm* m_form = nullptr;
    QWidget* m_room = nullptr;
    QListView* m_playlist = nullptr;
    QMenu* m_options = nullptr;
    QMenu* m_playlistMenu = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    std::map<Form, QPointer<QWidget>> m_forms;
    // The message box shown, then those waiting for it to close.
    std::deque<QPointer<QDialog>> m_boxes;
    bool m_ending = false;
    // The focusable controls as they are built, which is how they read.
    QList<QWidget*> m_readingOrder;
};
