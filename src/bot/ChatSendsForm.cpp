// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/ChatSendsForm.h"

#include "app/SettingsFile.h"
#include "bot/ChatSends.h"
#include "controls/ChatTemplates.h"
#include "controls/UserInterface.h"

#include <array>
#include <utility>

ChatSendsForm::ChatSendsForm(ChatTemplates& templates, SettingsFile& settings, UserInterface& ui)
    : m_templates(templates),
      m_settings(settings),
      m_ui(ui)
{
    resetToDesign();
}

QString ChatSendsForm::caption()
{
    return QStringLiteral("Chat Sends");
}

QString ChatSendsForm::setAllCaption()
{
    return QStringLiteral("&Set Chatsends");
}

QString ChatSendsForm::setCaption()
{
    return QStringLiteral("Set");
}

QString ChatSendsForm::playLegend()
{
    return QStringLiteral("%s = song, %n = song number, %kb = bitrate %mode = mode, %mb = size,\n"
                          "%artist, %title, %album = the file's tags (%title is the song without one)");
}

QString ChatSendsForm::labelOf(const QString& boxName)
{
    static const std::array<std::pair<const char*, const char*>, 5> templates = {{
        {"txtFont", "Pre HTML:"},
        {"txtPlay", "Playing:"},
        {"Text1", "Ignore:"},
        {"Text2", "Unignore:"},
        {"txtPlaying", "p?:"},
    }};
    for (const auto& [box, label] : templates) {
        if (boxName == QLatin1String(box))
            return QLatin1String(label);
    }
    for (const ChatSend& send : ChatSends::all()) {
        if (send.box == boxName)
            return send.label;
    }
    return {};
}

TextValue* ChatSendsForm::chatSendBox(const QString& key)
{
    const std::array<std::pair<const char*, TextValue*>, 7> boxes = {{
        {"nf", &txtNF},
        {"aron", &txtARANe},
        {"aroff", &txtARo},
        {"pause", &txtPause},
        {"unpause", &txtUnpaused},
        {"stop", &txtStop},
        {"show", &txtShow},
    }};
    for (const auto& [name, box] : boxes) {
        if (key == QLatin1String(name))
            return box;
    }
    return nullptr;
}

void ChatSendsForm::resetToDesign()
{
    txtFont.setText(QStringLiteral("</B></i></u>"));
    txtPlay.setText(QStringLiteral("<b>P</b>laying [%s / %n] [%kb Kb/s] [%mb] [%mode]"));
    Text1.setText(QStringLiteral("<b>I</b>gnored [%p]"));
    Text2.setText(QStringLiteral("<b>U</b>nignored [%p]"));
    txtPlaying.setText(QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Playing</U> <FONT "
                                      "COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U></FONT><FONT "
                                      "COLOR=#0080c0>%s</U> "));
    for (const ChatSend& send : ChatSends::all())
        chatSendBox(send.key)->setText(send.designText);
}

void ChatSendsForm::Form_Load()
{
    // A window that was closed keeps nothing: every opening starts from the
    // design texts.
    resetToDesign();
    if (m_templates.font.text().isEmpty())
        return;
    txtFont.setText(m_templates.font.text());
    txtPlay.setText(m_templates.playing.text());
    Text1.setText(m_templates.ignored.text());
    Text2.setText(m_templates.unignored.text());
    txtPlaying.setText(m_templates.playingTitle.text());
    for (const ChatSend& send : ChatSends::all())
        chatSendBox(send.key)->setText(ChatSends::formText(send.key));
}

void ChatSendsForm::applyTemplates()
{
    m_templates.font.setText(txtFont.text());
    m_templates.playing.setText(txtPlay.text());
    m_templates.ignored.setText(Text1.text());
    m_templates.unignored.setText(Text2.text());
    m_templates.playingTitle.setText(txtPlaying.text());

    m_settings.AddSetting(QStringLiteral("[font]"), txtFont.text());
    m_settings.AddSetting(QStringLiteral("[play]"), txtPlay.text());
    m_settings.AddSetting(QStringLiteral("[ignore]"), Text1.text());
    m_settings.AddSetting(QStringLiteral("[unignore]"), Text2.text());
    m_settings.AddSetting(QStringLiteral("[playing]"), txtPlaying.text());
}

void ChatSendsForm::close()
{
    m_ui.closeForm(UserInterface::Form::Chat);
}

void ChatSendsForm::skinButton1_Click()
{
    applyTemplates();
    for (const ChatSend& send : ChatSends::all())
        ChatSends::store(send.key, chatSendBox(send.key)->text());
    close();
}

void ChatSendsForm::Label5_Click()
{
    applyTemplates();
    close();
}
