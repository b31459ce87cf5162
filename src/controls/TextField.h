// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// A text box or a label of the main form: one text that views observe.
class TextField : public QObject {
    Q_OBJECT
public:
    explicit TextField(QString text = {}, QObject* parent = nullptr);

    const QString& text() const { return m_text; }
    void setText(const QString& text);

Q_SIGNALS:
    void textChanged(const QString& text);

private:
    QString m_text;
};

// A label's caption behaves like a text box's text; the separate name keeps
// the procedures reading like the form they drive.
class Label : public TextField {
    Q_OBJECT
public:
    using TextField::TextField;
    const QString& caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
};
