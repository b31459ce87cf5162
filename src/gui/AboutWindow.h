// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

// The About window: the program's title and version.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};
