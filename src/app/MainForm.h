#pragma once

#include "app/AppPaths.h"
#include "app/Library.h"
#include "app/SavedList.h"
#include "app/SettingsFile.h"
#include "app/SongPicker.h"
#include "bot/ChatSendsForm.h"
#include "bot/CommandInterpreter.h"
#include "bot/Discovery.h"
#include "chatlink/ChatScanner.h"
#include "controls/CheckBox.h"
#include "controls/ListBox.h"
#include "controls/TextField.h"
#include "controls/TwipsField.h"
#include "player/Player.h"
#include "toc/BotMode.h"
#include "toc/MarlTOCSock.h"

#include <QObject>

class MediaPlayer;
class UserInterface;
class WindowSystem;

// The main form: the controller of the whole program and the owner of its
// state. Its holders carry the names every procedure uses; views observe
// them. All procedures run on the one thread of the event loop.
class MainForm : public QObject {
    Q_OBJECT
public:
    MainForm(AppPaths paths, WindowSystem& windows, MediaPlayer& wmp, UserInterface& ui,
             QObject* parent = nullptr);
    ~MainForm() override;

    static const QString kCaption;       // "Quillon 3.2"
    static const QString kUnknownOwner;  // the design caption of lbuser

    // Lists.
    ListBox List1;        // playlist names, shown
    ListBox List2;        // playlist lines: name ";" path
    ListBox List3;        // search results waiting to be played or picked
    ListBox lstRan;       // candidates of a random pick by text
    ListBox lstsettings;  // settings lines
    ListBox lstusers;     // members of the chat room
    // The playlist's height; bot mode shortens it to uncover its panel.
    TwipsField List1Height{BotMode::kListHeightScan};

    // Text fields.
    TextField txtFont;
    TextField txtPlay;
    TextField txtPlaying;
    TextField txtIgnore;
    TextField txtUnignore;
    TextField txtLoads;
    TextField txtNum;
    TextField txtNumber;
    TextField txtSec;
    TextField txtMin;
    TextField txtURL;
    TextField txtafont;
    TextField botSN;
    TextField botPW;
    TextField txtChat;
    TextField txtEx;

    // Check boxes.
    CheckBox chkSky;
    CheckBox chkScan;
    CheckBox chkBot;
    CheckBox chkChat;
    CheckBox chkSendAOL;
    CheckBox chkenabled;
    CheckBox chkTime;
    CheckBox music;

    // Labels, and the caption of the sign-on button that bot mode reads.
    Label labTime;
    Label labFile;
    Label lblbitrate;
    Label lblKhz;
    Label lblmode;
    Label lbuser;
    Label labToc;
    Label skinButton6;

    // The platform seams.
    WindowSystem& windows;
    MediaPlayer& wmp;
    UserInterface& ui;
    const AppPaths paths;

    // The two files, written a few seconds after their lists change and at
    // shut-down.
    SavedList playlistFile;
    SavedList settingsFile;

    // The parts of the program that work on this state.
    Library library;
    SettingsFile settings;
    Player player;
    ChatScanner chat1;
    SongPicker frmSong;

    // The chat bot: who the owner is, what the owner's lines do, and the
    // Chat Sends window. chat1's lines go to interpreter.chat1_aimchatscan.
    Discovery discovery;
    CommandInterpreter interpreter;
    ChatSendsForm frmChat;

    // Bot mode: the TOC client and the buttons and events that drive it.
    MarlTOCSock toc;
    BotMode botMode{*this};

    // Start-up and shut-down.
    void Form_Load();
    void Form_Unload();
    bool isUnloaded() const { return m_unloaded; }
    // Whether shut-down wrote both files.
    bool filesWritten() const { return m_filesWritten; }

    // The font prefix followed by the text, through the one chat exit.
    void post(const QString& text);

    // The start line's web address, a per-user setting.
    static QString webAddress();

    // Buttons and menus of the main window.
    void clearList_Click();
    void minimize_Click();
    void about_Click();
    void chatSends_Click();
    void commands_Click();
    void addFiles_Click();
    void addf_Click();
    void add1_Click();
    void xplay_Click();
    void rem_Click();
    void miny_Click();
    void mnuHide_Click();
    void mnuShow_Click();

private:
    void closingAnimation();

    bool m_unloaded = false;
    bool m_filesWritten = false;
};
