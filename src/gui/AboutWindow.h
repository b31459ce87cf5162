#pragma once

#include <QDialog>

// frmAbout: the program's title and version.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};
