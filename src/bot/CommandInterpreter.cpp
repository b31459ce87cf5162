// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/CommandInterpreter.h"

#include "app/Library.h"
#include "bot/ChatSends.h"
#include "bot/ChatUsers.h"
#include "bot/OwnerDiscovery.h"
#include "bot/RoomPath.h"
#include "bot/SystemInfo.h"
#include "chatlink/AimChat.h"
#include "chatlink/AnsiText.h"
#include "chatlink/WindowSystem.h"
#include "controls/ChatExit.h"
#include "controls/ChatTemplates.h"
#include "controls/Options.h"
#include "controls/ProgramCaption.h"
#include "controls/ScreenName.h"
#include "controls/UserInterface.h"
#include "controls/UserStore.h"
#include "player/MediaPlayer.h"
#include "player/Player.h"

#include <algorithm>
#include <string>

namespace {

// The first characters of the text, lower-cased, are the command word.
bool startsWith(const QString& text, QLatin1String word)
{
    return text.left(word.size()).toLower() == word;
}

QString withoutBlanks(QString text)
{
    return text.remove(u' ');
}

const QString kSerifHead = QStringLiteral(
    "<FONT COLOR=#0080ff FACE=\"MS Reference Serif\">\u00bb <U></FONT><FONT COLOR=#0080c0 FACE=\"MS Reference "
    "Serif\">");

}  // namespace

const QString CommandInterpreter::kPrefixGroup = QStringLiteral("room");
const QString CommandInterpreter::kPrefixKey = QStringLiteral("prefix");

CommandInterpreter::CommandInterpreter(Uses uses)
    : commands(uses.library.playlist(), uses.chat, uses.player),
      ramText(&describeRam),
      uptimeText(&describeUptime),
      m_uses(uses)
{ }

void CommandInterpreter::readMembers()
{
    m_members = readChatMembers(m_uses.windows);
}

void CommandInterpreter::setPrefix(const QString& prefix)
{
    m_prefix = prefix;
    commands.setPrefix(prefix);
}

QString CommandInterpreter::prefixProblem(const QString& prefix)
{
    if (prefix.contains(u'/'))
        return QStringLiteral("holds \"/\", and everything from a \"/\" on is cut off a chat line");
    if (std::any_of(prefix.cbegin(), prefix.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return QStringLiteral("holds a control character");
    if (!prefix.isEmpty() && prefix.trimmed().isEmpty())
        return QStringLiteral("is only blanks");
    if (prefix.size() > kPrefixMax)
        return QStringLiteral("is longer than %1 characters").arg(kPrefixMax);
    return {};
}

QString CommandInterpreter::storedPrefix()
{
    return readSetting(kPrefixGroup, kPrefixKey);
}

QString CommandInterpreter::storePrefix(const QString& prefix)
{
    QString problem = prefixProblem(prefix);
    if (!problem.isEmpty())
        return problem;
    writeSetting(kPrefixGroup, kPrefixKey, prefix);
    setPrefix(prefix);
    return {};
}

QString CommandInterpreter::fontPrefix() const
{
    return m_uses.templates.font.text();
}

void CommandInterpreter::send(const QString& line)
{
    m_uses.chat.sendLine(line);
}

void CommandInterpreter::handleLine(QString whosaid, QString whatsaid, QString datesaid)
{
    // A line without its time stamp has raw markup in the time field: it is
    // not a member's line as the room shows it.
    if (datesaid.toLower().contains(QLatin1String("font")))
        return;

    const QString said = whatsaid;
    const qsizetype slash = whatsaid.indexOf(u'/');
    if (slash >= 0)
        whatsaid.truncate(slash);

    m_uses.discovery.lineSeen(whosaid, said, whatsaid);

    // Until a line reveals the owner, the label's placeholder names nobody.
    const QString owner = m_uses.discovery.owner().text();
    if (owner == OwnerDiscovery::kUnknownOwner || !sameScreenName(whosaid, owner))
        return;
    if (!m_prefix.isEmpty()) {
        if (!whatsaid.startsWith(m_prefix, Qt::CaseInsensitive))
            return;
        whatsaid.remove(0, m_prefix.size());
    }
    obey(whatsaid);
}

void CommandInterpreter::obey(QString whatsaid)
{
    // The newer words are tested once, on the line as typed, so that none
    // of them reaches the older tests ("help end" does not end).
    if (commands.handle(whatsaid))
        return;
    // The tests are not exclusive: each one sees the text as the tests
    // before it left it, so "p stop" searches and then stops.
    if (startsWith(whatsaid, QLatin1String("x "))) {
        const QString typed = whatsaid;
        whatsaid = withoutBlanks(whatsaid.mid(2));
        if (!ignoreCommand(whatsaid, typed, false))
            return;
    }
    if (startsWith(whatsaid, QLatin1String("unx "))) {
        const QString typed = whatsaid;
        whatsaid = withoutBlanks(whatsaid.mid(4));
        if (!ignoreCommand(whatsaid, typed, true))
            return;
    }
    if (whatsaid.toLower().left(8) == QLatin1String("p?"))
        send(QString(m_uses.templates.playingTitle.text())
                 .replace(QLatin1String("%s"), m_uses.player.nowPlaying().file.text()));
    if (startsWith(whatsaid, QLatin1String("p "))) {
        whatsaid = withoutBlanks(whatsaid.mid(2));
        search(whatsaid);
    }
    if (whatsaid == QLatin1String("r")) {
        Playlist& playlist = m_uses.library.playlist();
        const int cursor = playlist.selectedRow();
        const int row = m_uses.player.randomInt(QString::number(playlist.count()), QStringLiteral("0"));
        playlist.selectRow(row);
        // A song that cannot be played leaves the cursor where it was.
        m_uses.player.playSong(playlist.selectedName(), [&playlist, row, cursor](bool started) {
            if (!started && playlist.selectedRow() == row)
                playlist.selectRow(cursor);
        });
    }
    if (startsWith(whatsaid, QLatin1String("r "))) {
        whatsaid = withoutBlanks(whatsaid.mid(2));
        m_uses.player.playRandomMatch(whatsaid);
    }
    // The song's line comes before the replies of the words after it.
    m_uses.player.afterStarts(this, [this, whatsaid] { obeyRest(whatsaid); });
}

void CommandInterpreter::obeyRest(QString whatsaid)
{
    if (startsWith(whatsaid, QLatin1String("url "))) {
        whatsaid = whatsaid.mid(4);
        send(fontPrefix() + m_uses.templates.streamPlaying.text());
        m_uses.mediaPlayer.setUrl(QStringLiteral("http://") + whatsaid);
    }
    if (startsWith(whatsaid, QLatin1String("dir "))) {
        whatsaid = whatsaid.mid(4);
        m_uses.library.addFolder(roomPath(whatsaid));
    }
    if (startsWith(whatsaid, QLatin1String("ar"))) {
        send(fontPrefix() + ChatSends::replyText(QStringLiteral("aron")));
        m_uses.player.setAutoRandom(true);
    }
    if (startsWith(whatsaid, QLatin1String("xar"))) {
        send(fontPrefix() + ChatSends::replyText(QStringLiteral("aroff")));
        m_uses.player.setAutoRandom(false);
    }
    if (startsWith(whatsaid, QLatin1String("cpl"))) {
        send(fontPrefix() + QStringLiteral("</b></i>Playlist Cleared"));
        m_uses.library.clear();
    }
    if (startsWith(whatsaid, QLatin1String("del "))) {
        whatsaid = whatsaid.mid(4);
        QString why;
        if (deleteFiles(roomPath(whatsaid), &why) > 0)
            send(fontPrefix() + QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>deleted file</u>"));
        else
            send(fontPrefix()
                 + QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>no file deleted</u>: ")
                 + why.toHtmlEscaped());
    }
    if (startsWith(whatsaid, QLatin1String("rem "))) {
        whatsaid = whatsaid.mid(4);
        removeEntries(whatsaid);
    }
    if (whatsaid == QLatin1String("clr")) {
        clearTranscript();
        send(fontPrefix()
             + QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Chat</U><FONT COLOR=#0080ff>\u00bb "
                              "<U><FONT COLOR=#0080c0>Cleared!</U>"));
    }
    if (whatsaid == QLatin1String("info"))
        infoLine();
    if (whatsaid == QLatin1String("ver"))
        send(fontPrefix() + programCaption());
    if (whatsaid.left(6) == QLatin1String("drive "))
        driveLine(whatsaid);
    if (whatsaid == QLatin1String("stop")) {
        m_uses.mediaPlayer.stop();
        send(fontPrefix() + ChatSends::replyText(QStringLiteral("stop")));
    }
    if (whatsaid == QLatin1String("pause")) {
        m_uses.mediaPlayer.pause();
        send(fontPrefix() + ChatSends::replyText(QStringLiteral("pause")));
    }
    if (whatsaid == QLatin1String("unpause")) {
        m_uses.mediaPlayer.play();
        send(fontPrefix() + ChatSends::replyText(QStringLiteral("unpause")));
    }
    if (whatsaid == QLatin1String("next"))
        step(+1);
    if (whatsaid == QLatin1String("prev"))
        step(-1);
    if (whatsaid == QLatin1String("tray")) {
        m_uses.ui.hideMainWindow();
        send(fontPrefix() + QStringLiteral("\u00bb <u>Sent to tray</u>"));
    }
    if (whatsaid == QLatin1String("show")) {
        m_uses.ui.showMainWindow();
        send(fontPrefix() + ChatSends::replyText(QStringLiteral("show")));
    }
    if (whatsaid == QLatin1String("min")) {
        m_uses.ui.minimizeMainWindow();
        send(fontPrefix() + QStringLiteral("\u00bb <u>Minimized</u>"));
    }
    if (whatsaid == QLatin1String("end"))
        Q_EMIT endRequested();
}

bool CommandInterpreter::ignoreCommand(QString& whatsaid, const QString& typed, bool unignore)
{
    const QString owner = m_uses.discovery.owner().text();
    if (!unignore && screenNameKey(typed) == u'x' + screenNameKey(owner)) {
        send(fontPrefix() + QStringLiteral("you cannot ingore yourself."));
        return false;
    }
    // An empty name would be found in every member's name; nobody was named.
    if (whatsaid.isEmpty())
        return true;

    readMembers();
    const QString t = whatsaid.toLower();
    const QStringList& members = m_members;
    for (int i = 0; i < members.size(); ++i) {
        if (!normalizeName(members.at(i)).contains(t))
            continue;
        // Copied: the member list may be refilled by a line handled while
        // the click below lets events run.
        const QString member = members.at(i);
        if (!unignore && member == owner) {
            send(fontPrefix() + QStringLiteral("you cannot ignore yourself."));
            return false;
        }
        clickIgnore(m_uses.windows, i);
        const TextValue& reply = unignore ? m_uses.templates.unignored : m_uses.templates.ignored;
        send(fontPrefix() + QString(reply.text()).replace(QLatin1String("%p"), member));
        return false;
    }
    return true;
}

void CommandInterpreter::search(const QString& t)
{
    commands.endChoice();
    const QString key = t.toLower();
    QStringList hits;
    int last = -1;
    const QStringList& lines = m_uses.library.playlist().items();
    for (int i = 0; i < lines.size(); ++i) {
        if (normalizeName(lines.at(i)).contains(key)) {
            hits.append(lines.at(i));
            last = i;
        }
    }
    if (hits.isEmpty()) {
        send(ChatSends::replyText(QStringLiteral("nf")));
        return;
    }
    m_uses.player.searchResults().addItems(hits);
    m_uses.player.setHitNumber(QString::number(last + 1));
}

void CommandInterpreter::removeEntries(const QString& text)
{
    const QString t = normalizeName(text);
    // An empty text is contained in every entry; it names none of them.
    if (t.isEmpty())
        return;
    const auto matches = [&t](const QString& line) { return normalizeName(line).contains(t); };
    // A server would take a line per entry for a flood; a count says as much.
    Playlist& playlist = m_uses.library.playlist();
    const QStringList& lines = playlist.items();
    const bool summed
        = m_uses.options.useBot.value() && std::count_if(lines.cbegin(), lines.cend(), matches) > kBulkLines;
    int removed = 0;
    for (int i = 0; i < playlist.count();) {
        if (!matches(playlist.item(i))) {
            ++i;
            continue;
        }
        // The entry that moves up into position i is tested next.
        const QString name = playlist.name(i);
        playlist.removeItem(i);
        if (!summed || removed < kBulkShown)
            send(kSerifHead + name + kSerifHead + QStringLiteral(" removed"));
        ++removed;
    }
    if (summed)
        send(kSerifHead + QStringLiteral("\u2026 and %1 more removed").arg(removed - kBulkShown));
}

void CommandInterpreter::clearTranscript()
{
    WindowSystem& w = m_uses.windows;
    std::string text = AnsiText::toWindow(w, QStringLiteral("<b>OnlineHost</b>: Cleared!"));
    w.sendMessage(aimchat::transcriptText(w), wm::SETTEXT, 0, text);
}

void CommandInterpreter::infoLine()
{
    send(fontPrefix() + QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>info</U> \u00bb files:")
         + QString::number(m_uses.library.playlist().count()) + QStringLiteral(" \u00bb user:")
         + m_uses.discovery.owner().text() + QStringLiteral(" \u00bb Ram:") + ramText().left(3)
         + QStringLiteral(" \u00bb uptime:") + uptimeText());
}

void CommandInterpreter::driveLine(const QString& whatsaid)
{
    const QString drive = QString(whatsaid).remove(QStringLiteral("drive "));
    // A drive that is not there fails the lookup, and the line with it.
    const std::optional<QString> kind = driveTypeName(roomPath(drive));
    if (kind)
        send(fontPrefix() + kSerifHead + *kind + QStringLiteral(" drive."));
}

void CommandInterpreter::step(int by)
{
    // A list box refuses a position outside it, so "next" at the end keeps
    // the last entry and "prev" at the start clears the selection.
    Playlist& playlist = m_uses.library.playlist();
    playlist.selectRow(playlist.selectedRow() + by);
    m_uses.player.playSong(playlist.selectedName());
}
