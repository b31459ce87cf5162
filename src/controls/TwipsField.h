// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// A size or position of a control of the main form, in twips, that views
// follow (1440 twips to the inch).
class TwipsField : public QObject {
    Q_OBJECT
public:
    explicit TwipsField(int twips, QObject* parent = nullptr);

    int value() const { return m_twips; }
    void setValue(int twips);

Q_SIGNALS:
    void valueChanged(int twips);

private:
    int m_twips;
};
