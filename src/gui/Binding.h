// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/CheckBox.h"
#include "controls/SkinButton.h"
#include "controls/TextField.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

// Keeps a widget showing a holder of the main form, and a widget the user
// edits writing back to it.
inline void bindView(QLabel* label, TextField& field)
{
    label->setText(field.text());
    QObject::connect(&field, &TextField::textChanged, label, &QLabel::setText);
}

inline void bindView(SkinButton* button, TextField& caption)
{
    button->setCaption(caption.text());
    QObject::connect(&caption, &TextField::textChanged, button, &SkinButton::setCaption);
}

// The forms' skin buttons all look alike, and the forms handle only Click.
template <typename Handler> SkinButton* skinButton(int number, const QString& caption, QWidget* parent, Handler onClick)
{
    auto* b = new SkinButton(QStringLiteral("skinButton%1").arg(number), parent);
    b->setCaption(caption);
    b->setButtonType(3);
    QObject::connect(b, &SkinButton::Click, parent, onClick);
    return b;
}

inline void bindView(QLineEdit* edit, TextField& field)
{
    edit->setText(field.text());
    QObject::connect(&field, &TextField::textChanged, edit, [edit](const QString& text) {
        if (edit->text() != text)
            edit->setText(text);
    });
    QObject::connect(edit, &QLineEdit::textEdited, &field, &TextField::setText);
}

// The box shows the holder; a click sets the holder and then runs the
// handler, as a click on a check box does.
template <typename Handler> void bindView(QAbstractButton* box, CheckBox& check, Handler onClick)
{
    box->setCheckable(true);
    box->setText(check.caption());
    box->setChecked(check.isChecked());
    QObject::connect(&check, &CheckBox::valueChanged, box, [box](int value) { box->setChecked(value == 1); });
    QObject::connect(box, &QAbstractButton::clicked, &check, [&check, onClick](bool checked) {
        check.setValue(checked ? 1 : 0);
        onClick();
    });
}

inline void bindView(QAbstractButton* box, CheckBox& check)
{
    bindView(box, check, [] {});
}
