#include "app/SongPicker.h"

#include "app/MainForm.h"
#include "app/UserInterface.h"

#include <utility>

const QString SongPicker::kCaption = QStringLiteral("Select A Song");

SongPicker::SongPicker(MainForm& form) : m_form(form) {}

void SongPicker::open(const QStringList& names)
{
    // Filled before it is shown: a front end without windows closes it at
    // once, which must find it open.
    List1.addItems(names);
    m_form.music.setValue(1);
    m_open = true;
    m_form.ui.showForm(UserInterface::Form::Song);
}

void SongPicker::List1_Click(int index)
{
    const QString name = List1.item(index);
    m_form.List3.clear();
    m_form.player.Play(name);
    close();
}

void SongPicker::Cancel_Click()
{
    m_form.List3.clear();
    m_form.post(QStringLiteral("S</b>election C</b>ancelled"));
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
    m_form.ui.closeForm(UserInterface::Form::Song);
}
