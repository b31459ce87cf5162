#include "app/SongPicker.h"

#include "app/MainForm.h"
#include "app/UserInterface.h"

const QString SongPicker::kCaption = QStringLiteral("Select A Song");

SongPicker::SongPicker(MainForm& form) : m_form(form) {}

void SongPicker::open(const QStringList& names)
{
    m_form.ui.showForm(UserInterface::Form::Song);
    List1.addItems(names);
    m_form.music.setValue(1);
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
    List1.clear();
    m_form.List3.clear();
    m_form.music.setValue(0);
}

void SongPicker::close()
{
    List1.clear();
    m_form.music.setValue(0);
    m_form.ui.closeForm(UserInterface::Form::Song);
}
