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
      m_tree(new QTreeView(this)),
      m_pathEdit(new QLineEdit(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Form1"));
    m_dirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dirs->setRootPath(QDir::rootPath());
    m_tree->setModel(m_dirs);
    m_tree->setHeaderHidden(true);
    keepRoomFor(m_tree, 24, 6);
    for (int column = 1; column < m_dirs->columnCount(); ++column)
        m_tree->hideColumn(column);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pathEdit);
    layout->addWidget(m_tree, 1);
    auto* buttons = new QHBoxLayout;
    auto* add = skinButton(QStringLiteral("addDirectory"), QStringLiteral("&Add Directory"), this, [this] {
        m_form.library.addFolder(m_pathEdit->text());
        close();
    });
    add->setDefault(true);
    auto* cancel = skinButton(QStringLiteral("cancel"), QStringLiteral("&Cancel"), this, [this] { close(); });
    buttons->addStretch(1);
    buttons->addWidget(add);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // The tree is made first, but the path field is above it.
    setTabOrder(m_pathEdit, m_tree);
    setTabOrder(m_tree, add);
    setTabOrder(add, cancel);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        m_shown = m_dirs->filePath(index);
        m_pathEdit->setText(QDir::toNativeSeparators(m_shown));
    });
    connect(m_pathEdit, &QLineEdit::textEdited, this, &DirPickerWindow::showDirectory);
    // The model reads and sorts folders in the background, so rows keep
    // arriving and moving; the tree follows them until the user takes over.
    auto follow = [this] {
        if (m_following)
            QMetaObject::invokeMethod(this, &DirPickerWindow::revealShown, Qt::QueuedConnection);
    };
    connect(m_dirs, &QFileSystemModel::directoryLoaded, this, follow);
    connect(m_dirs, &QAbstractItemModel::layoutChanged, this, follow);
    connect(m_dirs, &QAbstractItemModel::rowsInserted, this, follow);
    m_tree->viewport()->installEventFilter(this);
    m_tree->installEventFilter(this);

    m_pathEdit->setText(QDir::toNativeSeparators(m_form.paths.programDir));
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
        m_tree->expand(above);
    if (m_tree->currentIndex() != index)
        m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}
