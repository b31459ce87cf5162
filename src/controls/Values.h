// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// Observable values: the program's state that views show and other parts
// follow. Each tells its observers only when it really changes, so a view
// bound both ways cannot loop.

class TextValue : public QObject {
    Q_OBJECT
public:
    explicit TextValue(QString text = {}, QObject* parent = nullptr);

    const QString& text() const { return m_text; }
    void setText(const QString& text);

Q_SIGNALS:
    void textChanged(const QString& text);

private:
    QString m_text;
};

class BoolValue : public QObject {
    Q_OBJECT
public:
    explicit BoolValue(bool value = false, QObject* parent = nullptr);

    bool value() const { return m_value; }
    void setValue(bool value);

Q_SIGNALS:
    void valueChanged(bool value);

private:
    bool m_value;
};

class IntValue : public QObject {
    Q_OBJECT
public:
    explicit IntValue(int value = 0, QObject* parent = nullptr);

    int value() const { return m_value; }
    void setValue(int value);

Q_SIGNALS:
    void valueChanged(int value);

private:
    int m_value;
};
