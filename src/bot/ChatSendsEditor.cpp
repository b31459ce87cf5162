// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/ChatSendsEditor.h"

#include "app/SettingsFile.h"
#include "bot/ChatSends.h"
#include "controls/ChatTemplates.h"
#include "controls/Notice.h"
#include "controls/UserInterface.h"

#include <array>
#include <utility>

ChatSendsEditor::ChatSendsEditor(ChatTemplates& templates, SettingsFile& settings, UserInterface& ui)
    : m_templates(templates),
      m_settings(settings),
      m_ui(ui)
{
    resetToDesign();
}

QString ChatSendsEditor::caption()
{
    return QStringLiteral("Chat Sends");
}

QString ChatSendsEditor::setAllCaption()
{
    return QStringLiteral("&Set Chatsends");
}

QString ChatSendsEditor::setCaption()
{
    return QStringLiteral("Set");
}

QString ChatSendsEditor::playLegend()
{
    return QStringLiteral("%s = song, %n = song number, %kb = bitrate %mode = mode, %mb = size,\n"
                          "%artist, %title, %album = the file's tags (%title is the song without one)");
}

std::vector<ChatSendsEditor::Row> ChatSendsEditor::rows()
{
    std::vector<Row> rows = {{QStringLiteral("Pre HTML:"), texts.font},
                             {QStringLiteral("Playing:"), texts.playing},
                             {QStringLiteral("Ignore:"), texts.ignored},
                             {QStringLiteral("Unignore:"), texts.unignored},
                             {QStringLiteral("p?:"), texts.playingTitle}};
    for (const ChatSend& send : ChatSends::all())
        rows.push_back({send.label, *chatSend(send.key)});
    return rows;
}

TextValue* ChatSendsEditor::chatSend(const QString& key)
{
    const std::array<std::pair<const char*, TextValue*>, 7> sends = {{
        {"nf", &texts.notFound},
        {"aron", &texts.autoRandomOn},
        {"aroff", &texts.autoRandomOff},
        {"pause", &texts.paused},
        {"unpause", &texts.unpaused},
        {"stop", &texts.stopped},
        {"show", &texts.shown},
    }};
    for (const auto& [name, text] : sends) {
        if (key == QLatin1String(name))
            return text;
    }
    return nullptr;
}

void ChatSendsEditor::resetToDesign()
{
    texts.font.setText(QStringLiteral("</B></i></u>"));
    texts.playing.setText(QStringLiteral("<b>P</b>laying [%s / %n] [%kb Kb/s] [%mb] [%mode]"));
    texts.ignored.setText(QStringLiteral("<b>I</b>gnored [%p]"));
    texts.unignored.setText(QStringLiteral("<b>U</b>nignored [%p]"));
    texts.playingTitle.setText(Notice::pairAfterClose(QStringLiteral("Playing"), QStringLiteral("%s"))
                               + QStringLiteral("</U> "));
    for (const ChatSend& send : ChatSends::all())
        chatSend(send.key)->setText(send.designText);
}

void ChatSendsEditor::open()
{
    // A window that was closed keeps nothing: every opening starts from the
    // design texts.
    resetToDesign();
    if (m_templates.font.text().isEmpty())
        return;
    texts.font.setText(m_templates.font.text());
    texts.playing.setText(m_templates.playing.text());
    texts.ignored.setText(m_templates.ignored.text());
    texts.unignored.setText(m_templates.unignored.text());
    texts.playingTitle.setText(m_templates.playingTitle.text());
    for (const ChatSend& send : ChatSends::all())
        chatSend(send.key)->setText(ChatSends::formText(send.key));
}

void ChatSendsEditor::applyTemplates()
{
    m_templates.font.setText(texts.font.text());
    m_templates.playing.setText(texts.playing.text());
    m_templates.ignored.setText(texts.ignored.text());
    m_templates.unignored.setText(texts.unignored.text());
    m_templates.playingTitle.setText(texts.playingTitle.text());

    m_settings.replaceRow(QStringLiteral("[font]"), texts.font.text());
    m_settings.replaceRow(QStringLiteral("[play]"), texts.playing.text());
    m_settings.replaceRow(QStringLiteral("[ignore]"), texts.ignored.text());
    m_settings.replaceRow(QStringLiteral("[unignore]"), texts.unignored.text());
    m_settings.replaceRow(QStringLiteral("[playing]"), texts.playingTitle.text());
}

void ChatSendsEditor::close()
{
    m_ui.closeForm(UserInterface::Form::Chat);
}

void ChatSendsEditor::setAll()
{
    applyTemplates();
    for (const ChatSend& send : ChatSends::all())
        ChatSends::store(send.key, chatSend(send.key)->text());
    close();
}

void ChatSendsEditor::set()
{
    applyTemplates();
    close();
}
