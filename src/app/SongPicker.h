#pragma once

#include "controls/ListBox.h"

#include <QObject>

class MainForm;

// "Select A Song": offers the names of several search results. While it is
// open the main form's "music" flag keeps a second one from opening.
class SongPicker : public QObject {
    Q_OBJECT
public:
    explicit SongPicker(MainForm& form);

    static const QString kCaption;  // "Select A Song"

    ListBox List1;  // the names offered

    void open(const QStringList& names);
    // A click on a name plays it; "Cancel" says so in the room.
    void List1_Click(int index);
    void Cancel_Click();
    // The window closes, whichever way: the results are dropped, once.
    void Form_Unload();

private:
    void close();

    MainForm& m_form;
    bool m_open = false;
};
