// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SongPickerWindow.h"

#include "app/SongPicker.h"
#include "gui/Elided.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

SongPickerWindow::SongPickerWindow(SongPicker& picker, QWidget* parent)
    : QDialog(parent),
      m_picker(picker),
      m_names(new QListView(this))
{
    setWindowTitle(SongPicker::kCaption);
    auto* layout = new QVBoxLayout(this);
    m_names->setModel(&picker.names());
    m_names->setEditTriggers(QAbstractItemView::NoEditTriggers);
    elideLongRows(m_names);
    keepRoomFor(m_names, 24, 4);
    connect(m_names, &QListView::clicked, this, [this](const QModelIndex& index) { m_picker.pick(index.row()); });
    layout->addWidget(m_names);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setFlat(true);
    connect(cancel, &QPushButton::clicked, this, [this] { m_picker.cancel(); });
    layout->addWidget(cancel, 0, Qt::AlignRight);
}

void SongPickerWindow::showEvent(QShowEvent* event)
{
    // The first name is highlighted, so Return right away plays it.
    if (!event->spontaneous()) {
        m_names->setCurrentIndex(m_picker.names().index(0));
        m_names->setFocus();
    }
    QDialog::showEvent(event);
}

void SongPickerWindow::keyPressEvent(QKeyEvent* event)
{
    // Return in the list plays the highlighted name; on the focused Cancel
    // it never gets here, as the button takes it.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_names->currentIndex().isValid()) {
        m_picker.pick(m_names->currentIndex().row());
        return;
    }
    QDialog::keyPressEvent(event);
}

void SongPickerWindow::closeEvent(QCloseEvent* event)
{
    // Closed by its own choice, the title bar or the main window's end:
    // every way lets go of the search results.
    m_picker.onClosed();
    event->accept();
}

void SongPickerWindow::reject()
{
    // Escape is the Cancel of the window.
    m_picker.cancel();
}
