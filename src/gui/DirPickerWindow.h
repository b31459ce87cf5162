#pragma once

#include <QDialog>

class MainForm;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

// frmDir: choose a directory to add. The path field and the directory list
// follow each other; a typed text that is not a directory is ignored.
class DirPickerWindow : public QDialog {
    Q_OBJECT
public:
    DirPickerWindow(MainForm& form, QWidget* parent = nullptr);

private:
    void showDirectory(const QString& path);

    MainForm& m_form;
    QFileSystemModel* m_dirs;
    QTreeView* m_Dir1;
    QLineEdit* m_txtpath;
};
