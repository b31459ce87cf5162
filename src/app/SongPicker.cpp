// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SongPicker.h"

#include "controls/ChatExit.h"
#include "controls/FormState.h"
#include "controls/UserInterface.h"
#include "player/Player.h"

#include <utility>

const QString SongPicker::kCaption = QStringLiteral("Select A Song");

SongPicker::SongPicker(FormState& form, Player& player, ChatExit& chat, UserInterface& ui)
    : m_form(form),
      m_player(player),
      m_chat(chat),
      m_ui(ui)
{ }

void SongPicker::open(const QStringList& names)
{
    // Filled before it is shown: a front end without windows closes it at
    // once, which must find it open.
    List1.addItems(names);
    m_form.music.setValue(1);
    m_open = true;
    m_ui.showForm(UserInterface::Form::Song);
}

void SongPicker::List1_Click(int index)
{
    const QString name = List1.item(index);
    m_form.List3.clear();
    m_player.Play(name);
    close();
}

void SongPicker::Cancel_Click()
{
    m_form.List3.clear();
    m_chat.post(QStringLiteral("S</b>election C</b>ancelled"));
    close();
}

void SongPicker::Form_Unload()
{
    // A window may be told to close more than once (its own button, then
    // the main window's end); only the first lets go of the results.
    if (!std::exchange(m_open, false))
        return;
    List1.clear();
    m_form.List3.clear();
    m_form.music.setValue(0);
}

void SongPicker::close()
{
    Form_Unload();
    m_ui.closeForm(UserInterface::Form::Song);
}
