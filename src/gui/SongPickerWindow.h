// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QListView;
class SongPicker;

// songPicker, "Select A Song": a view over the picker's names.
class SongPickerWindow : public QDialog {
    Q_OBJECT
public:
    SongPickerWindow(SongPicker& picker, QWidget* parent = nullptr);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    SongPicker& m_picker;
    QListView* m_names;
};
