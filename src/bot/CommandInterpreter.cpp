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
#include "controls/Notice.h"
#include "controls/Options.h"
#include "controls/ProgramCaption.h"
#include "controls/ScreenName.h"
#include "controls/UserInterface.h"
#include "controls/UserStore.h"
#include "player/MediaPlayer.h"
#include "player/Player.h"

#include <algorithm>
#include <string>

using namespace Qt::Literals::StringLiterals;

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

void CommandInterpreter::send(const QString& line)
{
    m_uses.chat.sendLine(line);
}

void CommandInterpreter::sendNotice(const QString& text)
{
    // The font prefix is read as the line is built: an edit applies at once.
    send(m_uses.templates.font.text() + text);
}

void CommandInterpreter::handleLine(const QString& whosaid, QString whatsaid, const QString& datesaid)
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

void CommandInterpreter::obey(const QString& whatsaid)
{
    // A song an earlier line asked for is announced before this line's
    // replies, as is a song before the replies of the commands after the
    // one that started it.
    if (m_uses.player.isStarting()) {
        m_uses.player.afterStarts(this, [this, whatsaid] { obey(whatsaid); });
        return;
    }
    // The newer words are tested once, on the line as typed, so that none
    // of them reaches the older tests ("help end" does not end).
    if (commands.handle(whatsaid))
        return;
    obeyFrom(whatsaid, 0);
}

void CommandInterpreter::obeyFrom(QString whatsaid, std::size_t first)
{
    // The tests are not exclusive: each one sees the text as the tests
    // before it left it, so "p stop" searches and then stops.
    const std::span<const Command> table = commandTable();
    for (std::size_t row = first; row < table.size(); ++row) {
        const Command& command = table[row];
        if (!matches(whatsaid, command))
            continue;
        const QString typed = whatsaid;
        if (command.argument != Argument::None) {
            whatsaid = whatsaid.mid(command.word.size());
            if (command.argument == Argument::WithoutBlanks)
                whatsaid.remove(u' ');
        }
        if (command.run(*this, whatsaid, typed) == Flow::Stop)
            return;
        if (m_uses.player.isStarting()) {
            m_uses.player.afterStarts(this, [this, whatsaid, row] { obeyFrom(whatsaid, row + 1); });
            return;
        }
    }
}

bool CommandInterpreter::matches(const QString& text, const Command& command)
{
    switch (command.match) {
    case Match::Starts:
        return text.left(command.word.size()).toLower() == command.word;
    case Match::StartsAsTyped:
        return text.left(command.word.size()) == command.word;
    case Match::Is:
        return text == command.word;
    case Match::IsAnyCase:
        return text.toLower() == command.word;
    }
    return false;
}

std::span<const CommandInterpreter::Command> CommandInterpreter::commandTable()
{
    using C = CommandInterpreter;
    static const Command table[] = {
        {"x "_L1, Match::Starts, Argument::WithoutBlanks,
         [](C& c, const QString& name, const QString& typed) { return c.ignoreCommand(name, typed, false); }},
        {"unx "_L1, Match::Starts, Argument::WithoutBlanks,
         [](C& c, const QString& name, const QString& typed) { return c.ignoreCommand(name, typed, true); }},
        {"p?"_L1, Match::IsAnyCase, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.send(QString(c.m_uses.templates.playingTitle.text())
                        .replace("%s"_L1, c.m_uses.player.nowPlaying().file.text()));
             return Flow::GoOn;
         }},
        {"p "_L1, Match::Starts, Argument::WithoutBlanks,
         [](C& c, const QString& text, const QString&) {
             c.search(text);
             return Flow::GoOn;
         }},
        {"r"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.playRandom();
             return Flow::GoOn;
         }},
        {"r "_L1, Match::Starts, Argument::WithoutBlanks,
         [](C& c, const QString& text, const QString&) {
             c.m_uses.player.playRandomMatch(text);
             return Flow::GoOn;
         }},
        // The room hears of the address before the player is pointed at it.
        {"url "_L1, Match::Starts, Argument::Rest,
         [](C& c, const QString& address, const QString&) {
             c.sendNotice(c.m_uses.templates.streamPlaying.text());
             c.m_uses.mediaPlayer.setUrl(QStringLiteral("http://") + address);
             return Flow::GoOn;
         }},
        {"dir "_L1, Match::Starts, Argument::Rest,
         [](C& c, const QString& folder, const QString&) {
             c.m_uses.library.addFolder(roomPath(folder));
             return Flow::GoOn;
         }},
        {"ar"_L1, Match::Starts, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.sendNotice(ChatSends::replyText(QStringLiteral("aron")));
             c.m_uses.player.setAutoRandom(true);
             return Flow::GoOn;
         }},
        {"xar"_L1, Match::Starts, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.sendNotice(ChatSends::replyText(QStringLiteral("aroff")));
             c.m_uses.player.setAutoRandom(false);
             return Flow::GoOn;
         }},
        {"cpl"_L1, Match::Starts, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.sendNotice(QStringLiteral("</b></i>Playlist Cleared"));
             c.m_uses.library.clear();
             return Flow::GoOn;
         }},
        {"del "_L1, Match::Starts, Argument::Rest,
         [](C& c, const QString& path, const QString&) {
             c.deleteLine(path);
             return Flow::GoOn;
         }},
        {"rem "_L1, Match::Starts, Argument::Rest,
         [](C& c, const QString& text, const QString&) {
             c.removeEntries(text);
             return Flow::GoOn;
         }},
        {"clr"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.clearTranscript();
             c.sendNotice(Notice::word(QStringLiteral("Chat")) + Notice::word(QStringLiteral("Cleared!")));
             return Flow::GoOn;
         }},
        {"info"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.infoLine();
             return Flow::GoOn;
         }},
        {"ver"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.sendNotice(programCaption());
             return Flow::GoOn;
         }},
        {"drive "_L1, Match::StartsAsTyped, Argument::None,
         [](C& c, const QString& text, const QString&) {
             c.driveLine(text);
             return Flow::GoOn;
         }},
        {"stop"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.m_uses.mediaPlayer.stop();
             c.sendNotice(ChatSends::replyText(QStringLiteral("stop")));
             return Flow::GoOn;
         }},
        {"pause"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.m_uses.mediaPlayer.pause();
             c.sendNotice(ChatSends::replyText(QStringLiteral("pause")));
             return Flow::GoOn;
         }},
        {"unpause"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.m_uses.mediaPlayer.play();
             c.sendNotice(ChatSends::replyText(QStringLiteral("unpause")));
             return Flow::GoOn;
         }},
        {"next"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.step(+1);
             return Flow::GoOn;
         }},
        {"prev"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.step(-1);
             return Flow::GoOn;
         }},
        {"tray"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.m_uses.ui.hideMainWindow();
             c.sendNotice(QStringLiteral("\u00bb <u>Sent to tray</u>"));
             return Flow::GoOn;
         }},
        {"show"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.m_uses.ui.showMainWindow();
             c.sendNotice(ChatSends::replyText(QStringLiteral("show")));
             return Flow::GoOn;
         }},
        {"min"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             c.m_uses.ui.minimizeMainWindow();
             c.sendNotice(QStringLiteral("\u00bb <u>Minimized</u>"));
             return Flow::GoOn;
         }},
        {"end"_L1, Match::Is, Argument::None,
         [](C& c, const QString&, const QString&) {
             Q_EMIT c.endRequested();
             return Flow::GoOn;
         }},
    };
    return table;
}

void CommandInterpreter::playRandom()
{
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

void CommandInterpreter::deleteLine(const QString& path)
{
    QString why;
    if (deleteFiles(roomPath(path), &why) > 0)
        sendNotice(Notice::head() + QStringLiteral("deleted file</u>"));
    else
        sendNotice(Notice::head() + QStringLiteral("no file deleted</u>: ") + why.toHtmlEscaped());
}

CommandInterpreter::Flow CommandInterpreter::ignoreCommand(const QString& name, const QString& typed, bool unignore)
{
    const QString owner = m_uses.discovery.owner().text();
    if (!unignore && screenNameKey(typed) == u'x' + screenNameKey(owner)) {
        sendNotice(QStringLiteral("you cannot ingore yourself."));
        return Flow::Stop;
    }
    // An empty name would be found in every member's name; nobody was named.
    if (name.isEmpty())
        return Flow::GoOn;

    readMembers();
    const QString t = name.toLower();
    const QStringList& members = m_members;
    for (int i = 0; i < members.size(); ++i) {
        if (!normalizeName(members.at(i)).contains(t))
            continue;
        // Copied: the member list may be refilled by a line handled while
        // the click below lets events run.
        const QString member = members.at(i);
        if (!unignore && member == owner) {
            sendNotice(QStringLiteral("you cannot ignore yourself."));
            return Flow::Stop;
        }
        clickIgnore(m_uses.windows, i);
        const TextValue& reply = unignore ? m_uses.templates.unignored : m_uses.templates.ignored;
        sendNotice(QString(reply.text()).replace("%p"_L1, member));
        return Flow::Stop;
    }
    return Flow::GoOn;
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
            send(Notice::serifHead() + name + Notice::serifHead() + QStringLiteral(" removed"));
        ++removed;
    }
    if (summed)
        send(Notice::serifHead() + QStringLiteral("\u2026 and %1 more removed").arg(removed - kBulkShown));
}

void CommandInterpreter::clearTranscript()
{
    WindowSystem& w = m_uses.windows;
    std::string text = AnsiText::toWindow(w, QStringLiteral("<b>OnlineHost</b>: Cleared!"));
    w.sendMessage(aimchat::transcriptText(w), wm::SETTEXT, 0, text);
}

void CommandInterpreter::infoLine()
{
    sendNotice(Notice::word(QStringLiteral("info")) + QStringLiteral(" \u00bb files:")
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
        sendNotice(Notice::serifHead() + *kind + QStringLiteral(" drive."));
}

void CommandInterpreter::step(int by)
{
    // A list box refuses a position outside it, so "next" at the end keeps
    // the last entry and "prev" at the start clears the selection.
    Playlist& playlist = m_uses.library.playlist();
    playlist.selectRow(playlist.selectedRow() + by);
    m_uses.player.playSong(playlist.selectedName());
}
