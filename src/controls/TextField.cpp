// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TextField.h"

#include <utility>

TextField::TextField(QString text, QObject* parent) : QObject(parent), m_text(std::move(text))
{ }

void TextField::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    Q_EMIT textChanged(m_text);
}
