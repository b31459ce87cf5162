// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class MainForm;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

// The folder picker: choose a directory to add. The path field and the directory list
// follow each other; a typed text that is not a directory is ignored.
class DirPickerWindow : public QDialog {
    Q_OBJECT
public:
    DirPickerWindow(MainForm& form, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showDirectory(const QString& path);
    void revealShown();

    MainForm& m_form;
    QFileSystemModel* m_dirs;
    QTreeView* m_tree;
    QLineEdit* m_pathEdit;
    QString m_shown;  // the folder the tree is to show
    bool m_following = true;  // until the user moves in the tree
};
