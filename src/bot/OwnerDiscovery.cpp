// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/OwnerDiscovery.h"

#include "controls/ChatExit.h"
#include "controls/ScreenName.h"
#include "controls/UserInterface.h"
#include "controls/UserStore.h"
#include "player/Player.h"

#include <quillon/Version.h>

namespace {

// The name with the major and minor version raised: "quillon³·²".
QString programMark()
{
    static constexpr char16_t kRaised[] = u"\u2070\u00b9\u00b2\u00b3\u2074\u2075\u2076\u2077\u2078\u2079";
    const auto raised = [](int number) {
        QString digits = QString::number(number);
        for (QChar& digit : digits)
            digit = QChar(kRaised[digit.digitValue()]);
        return digits;
    };
    return QStringLiteral("quillon") + raised(QUILLON_VERSION_MAJOR) + QChar(u'\u00b7') + raised(QUILLON_VERSION_MINOR);
}

}  // namespace

const QString OwnerDiscovery::kUnknownOwner = QStringLiteral("       unkown        ");
const QString OwnerDiscovery::kProgramMark = programMark();
const QString OwnerDiscovery::kWarning = QStringLiteral("Your screen name wasn't found, Hit 'Find SN' to find it.");

OwnerDiscovery::OwnerDiscovery(ChatExit& chat, Player& player, UserInterface& ui)
    : m_chat(chat),
      m_player(player),
      m_ui(ui)
{
    m_warningTimer.setInterval(4000);
    connect(&m_warningTimer, &QTimer::timeout, this, &OwnerDiscovery::warnIfUnknown);
    m_warningTimer.start();
}

QString OwnerDiscovery::webAddress()
{
    return readSetting(QStringLiteral("quillon"), QStringLiteral("webaddress"),
                       QStringLiteral("http://quillon.example.org"));
}

namespace {

// The advert's head around the web address; posted, its parentheses are
// in italics, which the room takes away before the line comes back.
QString advertHead(const QString& open, const QString& close)
{
    return OwnerDiscovery::kProgramMark + u' ' + open + u' ' + OwnerDiscovery::webAddress() + u' ' + close
        + QStringLiteral(" loads");
}

}  // namespace

QString OwnerDiscovery::advertLine(const QString& loads, const QString& files)
{
    return advertHead(QStringLiteral("<i>(</i>"), QStringLiteral("<i>)")) + QStringLiteral(": ") + loads
        + QStringLiteral(" ; files: ") + files;
}

QString OwnerDiscovery::advertMarker()
{
    return advertHead(QStringLiteral("("), QStringLiteral(")"));
}

void OwnerDiscovery::findOwner()
{
    m_tag = m_player.randomInt(QStringLiteral("10000"), QStringLiteral("1000"));
    m_stage = Stage::AwaitingTag;
    m_chat.sendLine(u'[' + QString::number(m_tag) + u']' + QStringLiteral(" Finding SN"));
    m_warningTimer.start();
}

void OwnerDiscovery::lineSeen(const QString& whosaid, const QString& said, const QString& whatsaid)
{
    // A line of no one (no time stamp, no speaker) reveals no one: an empty
    // owner would be the speaker of every such line.
    const bool spoken = !screenNameKey(whosaid).isEmpty();
    // The advert carries the web address, whose "//" the slash cut would
    // take away; the marker is looked for in the line as it came.
    if (spoken && m_stage == Stage::AwaitingAdvert && said.contains(advertMarker())) {
        m_owner.setText(whosaid);
        m_chat.post(QStringLiteral("found screen name [") + m_owner.text() + u']');
        m_player.setHitNumber(QStringLiteral(".+\u00f1"));
    }
    if (spoken && m_stage == Stage::AwaitingTag
        && whatsaid == u'[' + QString::number(m_tag) + QStringLiteral("] Finding SN")) {
        m_owner.setText(whosaid);
        m_chat.sendLine(QStringLiteral("Found Screen Name: ") + whosaid);
    }
    m_stage = Stage::Idle;
}

void OwnerDiscovery::shutdown()
{
    m_warningTimer.stop();
}

void OwnerDiscovery::warnIfUnknown()
{
    // Stopped before the box, which waits for its reader: a timer still
    // running under it would stack a new box every four seconds.
    m_warningTimer.stop();
    if (m_owner.text() == kUnknownOwner)
        m_ui.messageBox(kWarning);
}
