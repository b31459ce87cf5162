// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class ChatSendsEditor;
class CommandInterpreter;

// chatSends, "Chat Sends": a view over the reply templates and chat sends.
class ChatSendsWindow : public QDialog {
    Q_OBJECT
public:
    ChatSendsWindow(ChatSendsEditor& editor, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    ChatSendsEditor& m_editor;
};

// "Commands": the command help, and the command prefix.
class CommandsWindow : public QDialog {
    Q_OBJECT
public:
    explicit CommandsWindow(CommandInterpreter& interpreter, QWidget* parent = nullptr);
};
