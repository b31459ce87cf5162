// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppPaths.h"
#include "app/Library.h"
#include "app/SavedList.h"
#include "app/SettingsFile.h"
#include "app/SongPicker.h"
#include "bot/ChatSendsEditor.h"
#include "bot/CommandInterpreter.h"
#include "bot/OwnerDiscovery.h"
#include "chatlink/ChatScanner.h"
#include "controls/ChatTemplates.h"
#include "controls/Options.h"
#include "player/Player.h"
#include "toc/BotMode.h"
#include "toc/TocClient.h"

#include <QObject>

class MediaPlayer;
class UserInterface;
class WindowSystem;

// The main form: the owner's options and templates, and the parts of the
// program that work with them. It is the composition root: it owns the
// parts, declared in the order they depend on each other, and makes every
// link between them in its constructor body. All procedures run on the
// one thread of the event loop.
class MainForm : public QObject {
    Q_OBJECT
public:
    MainForm(AppPaths paths, WindowSystem& windows, MediaPlayer& mediaPlayer, UserInterface& ui,
             QObject* parent = nullptr);
    ~MainForm() override;

    // The platform seams.
    WindowSystem& windows;
    MediaPlayer& mediaPlayer;
    UserInterface& ui;
    const AppPaths paths;

    Options options;
    ChatTemplates templates;

    // The chat exit comes first: every part below may speak.
    ChatScanner scanner;
    Library library;
    SettingsFile settings;
    Player player;

    // The two files, written a few seconds after their lists change and at
    // shut-down.
    SavedList playlistFile;
    SavedList settingsFile;
    // The play-next queue, kept the same way.
    SavedList queueFile;
    SongPicker songPicker;

    // The chat bot: who the owner is, what the owner's lines do, and the
    // Chat Sends window.
    OwnerDiscovery discovery;
    CommandInterpreter interpreter;
    ChatSendsEditor chatSends;

    // Bot mode: the TOC client and the buttons and events that drive it.
    TocClient toc;
    BotMode botMode;

    // Start-up and shut-down.
    void startUp();
    void shutDown();
    bool isUnloaded() const { return m_unloaded; }
    // Whether shut-down wrote both files.
    bool filesWritten() const { return m_filesWritten; }

    // The font prefix followed by the text, through the one chat exit.
    void post(const QString& text);

    // The start line's web address, a per-user setting.
    static QString webAddress();

    // Buttons and menus of the main window.
    void clearPlaylist();
    void minimize();
    void showAbout();
    void showChatSends();
    void showCommands();
    void addFolderOrStream();
    void showFolderPicker();
    void showChosenFile();
    void playSelected();
    void removeSelected();
    void hideWindow();
    void showWindow();

private:
    void closingAnimation();
    void loadQueue();
    static constexpr qint64 kQueueFileMax = 1 << 20;

    bool m_unloaded = false;
    bool m_filesWritten = false;
};
