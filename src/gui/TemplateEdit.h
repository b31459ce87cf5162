// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

class TextValue;

// A one-line text shown whole: long templates wrap onto as many lines as
// they need (up to a few, then it scrolls). Line breaks never enter it, as
// the settings file keeps one template per line.
class TemplateEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    TemplateEdit(TextValue& field, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitHeight();
};
