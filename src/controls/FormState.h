// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/CheckBox.h"
#include "controls/ListBox.h"
#include "controls/TextField.h"
#include "controls/TwipsField.h"

// The main form's holders with their design values: every Part reads and
// writes the program's state here, by the names it has always had. It is
// plain data with change signals, so a Part can be built over it alone.
class FormState {
public:
    FormState();
    FormState(const FormState&) = delete;
    FormState& operator=(const FormState&) = delete;

    static const QString kCaption;  // "Quillon 3.2"
    static const QString kUnknownOwner;  // the design caption of lbuser

    // List1's height: above the bot panel while the bot is in use.
    static constexpr int kListHeightBot = 2130;
    static constexpr int kListHeightScan = 3600;

    // Lists.
    ListBox List1;  // playlist names, shown
    ListBox List2;  // playlist lines: name ";" path
    ListBox List3;  // search results waiting to be played or picked
    ListBox lstRan;  // candidates of a random pick by text
    ListBox lstsettings;  // settings lines
    ListBox lstusers;  // members of the chat room
    ListBox lstQueue;  // names of the songs to play next, in turn
    // The playlist's height; bot mode shortens it to uncover its panel.
    TwipsField List1Height {kListHeightScan};

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
};
