// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CheckBox.h"

#include <utility>

CheckBox::CheckBox(QString caption, int value, QObject* parent)
    : QObject(parent),
      m_caption(std::move(caption)),
      m_value(value ? 1 : 0)
{ }

void CheckBox::setValue(int value)
{
    const int v = value ? 1 : 0;
    if (v == m_value)
        return;
    m_value = v;
    Q_EMIT valueChanged(m_value);
}
