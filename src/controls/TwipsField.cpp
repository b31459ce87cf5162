// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TwipsField.h"

TwipsField::TwipsField(int twips, QObject* parent) : QObject(parent), m_twips(twips)
{ }

void TwipsField::setValue(int twips)
{
    if (twips == m_twips)
        return;
    m_twips = twips;
    Q_EMIT valueChanged(twips);
}
