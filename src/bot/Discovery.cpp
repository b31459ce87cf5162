// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/Discovery.h"

#include "controls/ChatExit.h"
#include "controls/FormState.h"
#include "controls/ScreenName.h"
#include "controls/UserInterface.h"
#include "controls/UserStore.h"
#include "player/Player.h"

const QString Discovery::kIdle = [] {
    const QChar codes[] = {QChar(0), QChar(1), QChar(3)};
    return QString(codes, 3);
}();
const QString Discovery::kWarning = QStringLiteral("Your screen name wasn't found, Hit 'Find SN' to find it.");

Discovery::Discovery(FormState& form, ChatExit& chat, Player& player, UserInterface& ui)
    : m_form(form),
      m_chat(chat),
      m_player(player),
      m_ui(ui)
{
    Timer2.setInterval(4000);
    connect(&Timer2, &QTimer::timeout, this, &Discovery::Timer2_Timer);
    Timer2.start();
}

QString Discovery::webAddress()
{
    return GetSetting(QStringLiteral("quillon"), QStringLiteral("webaddress"),
                      QStringLiteral("http://quillon.example.org"));
}

QString Discovery::advertMarker()
{
    return QStringLiteral("quillon\u00b3\u00b7\u00b2 ( ") + webAddress() + QStringLiteral(" ) loads");
}

void Discovery::FindSN_Click()
{
    const int tag = m_player.Random(QStringLiteral("10000"), QStringLiteral("1000"));
    m_form.txtNumber.setText(QString::number(tag));
    m_chat.SendChat(u'[' + m_form.txtNumber.text() + u']' + QStringLiteral(" Finding SN"));
    Timer2.start();
}

void Discovery::lineSeen(const QString& whosaid, const QString& said, const QString& whatsaid)
{
    // A line of no one (no time stamp, no speaker) reveals no one: an empty
    // owner would be the speaker of every such line.
    const bool spoken = !ScreenNameKey(whosaid).isEmpty();
    // The advert carries the web address, whose "//" the slash cut would
    // take away; the marker is looked for in the line as it came.
    if (spoken && m_form.txtNumber.text() == QLatin1String("kkk") && said.contains(advertMarker())) {
        m_form.lbuser.setCaption(whosaid);
        m_chat.post(QStringLiteral("found screen name [") + m_form.lbuser.caption() + u']');
        m_form.txtNum.setText(QStringLiteral(".+\u00f1"));
    }
    // Idle means no tag is out, so no line can answer one.
    if (spoken && m_form.txtNumber.text() != kIdle
        && whatsaid == u'[' + m_form.txtNumber.text() + QStringLiteral("] Finding SN")) {
        m_form.lbuser.setCaption(whosaid);
        m_chat.SendChat(QStringLiteral("Found Screen Name: ") + whosaid);
    }
    m_form.txtNumber.setText(kIdle);
}

void Discovery::Timer2_Timer()
{
    // Stopped before the box, which waits for its reader: a timer still
    // running under it would stack a new box every four seconds.
    Timer2.stop();
    if (m_form.lbuser.caption() == FormState::kUnknownOwner)
        m_ui.messageBox(kWarning);
}
