// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// A check box of the main form: a fixed caption and a value of 0 or 1.
class CheckBox : public QObject {
    Q_OBJECT
public:
    CheckBox(QString caption, int value, QObject* parent = nullptr);

    const QString& caption() const { return m_caption; }
    int value() const { return m_value; }
    bool isChecked() const { return m_value == 1; }
    // Any non-zero value counts as checked.
    void setValue(int value);

Q_SIGNALS:
    void valueChanged(int value);

private:
    QString m_caption;
    int m_value;
};
