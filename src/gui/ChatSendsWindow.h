// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class ChatSendsForm;
class CommandInterpreter;

// frmChat, "Chat Sends": a view over the reply templates and chat sends.
class ChatSendsWindow : public QDialog {
    Q_OBJECT
public:
    ChatSendsWindow(ChatSendsForm& form, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    ChatSendsForm& m_form;
};

// frmCom, "Commands": the command help, and the command prefix.
class CommandsWindow : public QDialog {
    Q_OBJECT
public:
    explicit CommandsWindow(CommandInterpreter& interpreter, QWidget* parent = nullptr);
};
