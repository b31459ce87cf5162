// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Values.h"

#include <utility>

TextValue::TextValue(QString text, QObject* parent) : QObject(parent), m_text(std::move(text))
{ }

void TextValue::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    Q_EMIT textChanged(m_text);
}

BoolValue::BoolValue(bool value, QObject* parent) : QObject(parent), m_value(value)
{ }

void BoolValue::setValue(bool value)
{
    if (value == m_value)
        return;
    m_value = value;
    Q_EMIT valueChanged(m_value);
}

IntValue::IntValue(int value, QObject* parent) : QObject(parent), m_value(value)
{ }

void IntValue::setValue(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    Q_EMIT valueChanged(m_value);
}
