// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/DirPickerWindow.h"

#include "app/MainForm.h"
#include "gui/Binding.h"
#include "gui/Elided.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTreeView>
#include <QVBoxLayout>

DirPickerWindow::DirPickerWindow(MainForm& form, QWidget* parent)
    : QDialog(parent),
      m_form(form),
      m_dirs(new QFileSystemModel(this)),
      m_Dir1(new QTreeView(this)),
      m_txtpath(new QLineEdit(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Form1"));
    m_dirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dirs->setRootPath(QDir::rootPath());
    m_Dir1->setModel(m_dirs);
    m_Dir1->setHeaderHidden(true);
    keepRoomFor(m_Dir1, 24, 6);
    for (int column = 1; column < m_dirs->columnCount(); ++column)
        m_Dir1->hideColumn(column);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_txtpath);
    layout->addWidget(m_Dir1, 1);
    auto* buttons = new QHBoxLayout;
    auto* add = skinButton(1, QStringLiteral("&Add Directory"), this, [this] {
        m_form.library.AddDir(m_txtpath->text());
        close();
    });
    add->setDefault(true);
    auto* cancel = skinButton(2, QStringLiteral("&Cancel"), this, [this] { close(); });
    buttons->addStretch(1);
    buttons->addWidget(add);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // The tree is made first, but the path field is above it.
    setTabOrder(m_txtpath, m_Dir1);
    setTabOrder(m_Dir1, add);
    setTabOrder(add, cancel);

    connect(m_Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        m_shown = m_dirs->filePath(index);
        m_txtpath->setText(QDir::toNativeSeparators(m_shown));
    });
    connect(m_txtpath, &QLineEdit::textEdited, this, &DirPickerWindow::showDirectory);
    // The model reads and sorts folders in the background, so rows keep
    // arriving and moving; the tree follows them until the user takes over.
    auto follow = [this] {
        if (m_following)
            QMetaObject::invokeMethod(this, &DirPickerWindow::revealShown, Qt::QueuedConnection);
    };
    connect(m_dirs, &QFileSystemModel::directoryLoaded, this, follow);
    connect(m_dirs, &QAbstractItemModel::layoutChanged, this, follow);
    connect(m_dirs, &QAbstractItemModel::rowsInserted, this, follow);
    m_Dir1->viewport()->installEventFilter(this);
    m_Dir1->installEventFilter(this);

    m_txtpath->setText(QDir::toNativeSeparators(m_form.paths.programDir));
    showDirectory(m_form.paths.programDir);
    resize(420, 360);
}

bool DirPickerWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        m_following = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void DirPickerWindow::showDirectory(const QString& path)
{
    if (!QFileInfo(path).isDir())
        return;
    m_shown = QFileInfo(path).absoluteFilePath();
    m_following = true;
    revealShown();
}

void DirPickerWindow::revealShown()
{
    const QModelIndex index = m_dirs->index(m_shown);
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        m_Dir1->expand(above);
    if (m_Dir1->currentIndex() != index)
        m_Dir1->setCurrentIndex(index);
    m_Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
}
