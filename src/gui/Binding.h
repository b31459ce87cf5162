// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/SkinButton.h"
#include "controls/Values.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

// Keeps a widget showing a value of the program's state, and a widget the
// user edits writing back to it.
inline void bindView(QLabel* label, TextValue& field)
{
    label->setText(field.text());
    QObject::connect(&field, &TextValue::textChanged, label, &QLabel::setText);
}

// The forms' skin buttons all look alike, and the forms handle only a click.
template <typename Handler>
SkinButton* skinButton(const QString& name, const QString& caption, QWidget* parent, Handler onClick)
{
    auto* b = new SkinButton(name, parent);
    b->setText(caption);
    b->setButtonType(Skin::ButtonType::Xp);
    QObject::connect(b, &SkinButton::clicked, parent, onClick);
    return b;
}

inline void bindView(QLineEdit* edit, TextValue& field)
{
    edit->setText(field.text());
    QObject::connect(&field, &TextValue::textChanged, edit, [edit](const QString& text) {
        if (edit->text() != text)
            edit->setText(text);
    });
    QObject::connect(edit, &QLineEdit::textEdited, &field, &TextValue::setText);
}

// The box shows the value; a click sets the value and then runs the
// handler, as a click on a check box does.
template <typename Handler> void bindView(QAbstractButton* box, BoolValue& check, Handler onClick)
{
    box->setCheckable(true);
    box->setChecked(check.value());
    QObject::connect(&check, &BoolValue::valueChanged, box, &QAbstractButton::setChecked);
    QObject::connect(box, &QAbstractButton::clicked, &check, [&check, onClick](bool checked) {
        check.setValue(checked);
        onClick();
    });
}

inline void bindView(QAbstractButton* box, BoolValue& check)
{
    bindView(box, check, [] {});
}
