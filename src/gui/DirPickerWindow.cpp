#include "gui/DirPickerWindow.h"

#include "app/MainForm.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

DirPickerWindow::DirPickerWindow(MainForm& form, QWidget* parent)
    : QDialog(parent), m_form(form), m_dirs(new QFileSystemModel(this)), m_Dir1(new QTreeView(this)),
      m_txtpath(new QLineEdit(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Form1"));
    m_dirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dirs->setRootPath(QDir::rootPath());
    m_Dir1->setModel(m_dirs);
    for (int column = 1; column < m_dirs->columnCount(); ++column)
        m_Dir1->hideColumn(column);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_txtpath);
    layout->addWidget(m_Dir1, 1);
    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("&Add Directory"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    buttons->addStretch(1);
    buttons->addWidget(add);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(m_Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        m_txtpath->setText(QDir::toNativeSeparators(m_dirs->filePath(index)));
    });
    connect(m_txtpath, &QLineEdit::textEdited, this, &DirPickerWindow::showDirectory);
    connect(add, &QPushButton::clicked, this, [this] {
        m_form.library.AddDir(m_txtpath->text());
        close();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);

    m_txtpath->setText(QDir::toNativeSeparators(m_form.paths.programDir));
    showDirectory(m_form.paths.programDir);
    resize(420, 360);
}

void DirPickerWindow::showDirectory(const QString& path)
{
    if (!QFileInfo(path).isDir())
        return;
    const QModelIndex index = m_dirs->index(path);
    m_Dir1->setCurrentIndex(index);
    m_Dir1->scrollTo(index);
}
