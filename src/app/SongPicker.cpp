// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SongPicker.h"

#include "controls/ChatExit.h"
#include "controls/UserInterface.h"
#include "player/Player.h"

const QString SongPicker::kCaption = QStringLiteral("Select A Song");

SongPicker::SongPicker(Player& player, ChatExit& chat, UserInterface& ui) : m_player(player), m_chat(chat), m_ui(ui)
{ }

void SongPicker::open(const QStringList& names)
{
    // Filled before it is shown: a front end without windows closes it at
    // once, which must find it open.
    m_names.addItems(names);
    m_player.setPickerOpen(true);
    m_ui.showForm(UserInterface::Form::Song);
}

bool SongPicker::isOpen() const
{
    return m_player.isPickerOpen();
}

void SongPicker::pick(int index)
{
    const QString name = m_names.item(index);
    m_player.searchResults().clear();
    m_player.playSong(name);
    close();
}

void SongPicker::cancel()
{
    m_player.searchResults().clear();
    m_chat.post(QStringLiteral("S</b>election C</b>ancelled"));
    close();
}

void SongPicker::onClosed()
{
    // A window may be told to close more than once (its own button, then
    // the main window's end); only the first lets go of the results.
    if (!m_player.isPickerOpen())
        return;
    m_names.clear();
    m_player.searchResults().clear();
    m_player.setPickerOpen(false);
}

void SongPicker::close()
{
    onClosed();
    m_ui.closeForm(UserInterface::Form::Song);
}
