#include "gui/SongPickerWindow.h"

#include "app/SongPicker.h"

#include <QCloseEvent>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

SongPickerWindow::SongPickerWindow(SongPicker& picker, QWidget* parent) : QDialog(parent), m_picker(picker)
{
    setWindowTitle(SongPicker::kCaption);
    auto* layout = new QVBoxLayout(this);
    auto* names = new QListView(this);
    names->setModel(&picker.List1);
    names->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(names, &QListView::clicked, this, [this](const QModelIndex& index) { m_picker.List1_Click(index.row()); });
    layout->addWidget(names);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setFlat(true);
    connect(cancel, &QPushButton::clicked, this, [this] { m_picker.Cancel_Click(); });
    layout->addWidget(cancel, 0, Qt::AlignRight);
}

void SongPickerWindow::closeEvent(QCloseEvent* event)
{
    // Closed by its own choice, the title bar or the main window's end:
    // every way lets go of the search results.
    m_picker.Form_Unload();
    event->accept();
}

void SongPickerWindow::reject()
{
    // Escape: a dialog would only hide itself.
    close();
}
