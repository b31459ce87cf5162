// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/RoomCommands.h"

#include "bot/ChatSends.h"
#include "controls/ChatExit.h"
#include "controls/Playlist.h"
#include "controls/ScreenName.h"
#include "player/Player.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

struct Help {
    const char* word;
    const char* usage;
    const char* text;
};

// The Commands window's wording, shortened; the first line is what plays,
// the second the rest.
constexpr Help kPlaying[] = {
    {"p", "p file", "play file"},
    {"p?", "p?", "currently playing"},
    {"r", "r", "random"},
    {"r", "r string", "random song with string"},
    {"next", "next", "play next file"},
    {"prev", "prev", "play last file"},
    {"pause", "pause", "pause"},
    {"unpause", "unpause", "unpause"},
    {"stop", "stop", "stop file"},
    {"skip", "skip", "end the song, the queue's next plays"},
    {"q", "q file", "queue file"},
    {"q", "q", "list the queue"},
    {"unq", "unq N", "take place N off the queue"},
    {"vol", "vol", "tell the volume"},
    {"vol", "vol N", "set the volume, 0 to 100"},
    {"ar", "ar", "auto random (when file stops)"},
    {"xar", "xar", "no auto random"},
    {"url", "url address", "play url"},
};
constexpr Help kOthers[] = {
    {"dir", "dir folder", "add directory to playlist"},
    {"rem", "rem file", "remove file"},
    {"cpl", "cpl", "clear playlist"},
    {"del", "del path", "delete file"},
    {"x", "x name", "ignore user"},
    {"unx", "unx name", "unignore user"},
    {"info", "info", "info about you"},
    {"ver", "ver", "scroll version"},
    {"drive", "drive path", "kind of drive"},
    {"clr", "clr", "clear chat"},
    {"show", "show", "show iface"},
    {"tray", "tray", "send to tray"},
    {"min", "min", "minimize iface"},
    {"end", "end", "end program"},
    {"help", "help word", "one command's help"},
    {"1", "1 to 9", "choose among files found"},
};

const QString kDot = QStringLiteral(" \u00b7 ");

QString helpItem(const Help& h)
{
    return QLatin1String(h.usage) + QStringLiteral(" - ") + QLatin1String(h.text);
}

// A help line starts with the program's own mark: read back from the chat
// window as the owner's line, as every line the program posts is, it must
// not begin with a command word ("p file - ..." would search).
const QString kHelpLead = QStringLiteral("\u00bb ");

template <std::size_t N> QString helpLine(const Help (&table)[N])
{
    QStringList items;
    for (const Help& h : table)
        items.append(helpItem(h));
    return kHelpLead + items.join(kDot);
}

// The name cut to `cap` characters, the cut marked; never inside a
// surrogate pair. Escaped afterwards, so no entity is cut either.
QString shortened(const QString& name, qsizetype cap)
{
    if (name.size() <= cap)
        return name.toHtmlEscaped();
    qsizetype keep = cap - 1;
    if (name.at(keep - 1).isHighSurrogate())
        --keep;
    return (name.left(keep) + u'\u2026').toHtmlEscaped();
}

// The command word, lower-cased, and what follows it past the blanks.
std::pair<QString, QString> split(const QString& line)
{
    const QString t = line.trimmed();
    const qsizetype blank = t.indexOf(u' ');
    if (blank < 0)
        return {t.toLower(), QString()};
    return {t.left(blank).toLower(), t.mid(blank + 1).trimmed()};
}

// A whole number of decimal digits; a long one counts as very large.
std::optional<int> digits(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    return text.size() > 9 ? std::numeric_limits<int>::max() : text.toInt();
}

}  // namespace

RoomCommands::RoomCommands(const Playlist& playlist, ChatExit& chat, Player& player)
    : m_playlist(playlist),
      m_chat(chat),
      m_player(player)
{
    m_choiceTimer.setSingleShot(true);
    m_choiceTimer.setInterval(kChoiceMs);
    connect(&m_choiceTimer, &QTimer::timeout, this, &RoomCommands::endChoice);
}

qsizetype RoomCommands::wireSize(const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    return bytes.size() + bytes.count('\\') + bytes.count('"');
}

QString RoomCommands::fitList(const QString& head, const QStringList& items, const QString& tail)
{
    const auto build = [&](qsizetype cap, qsizetype count) {
        QStringList numbered;
        for (qsizetype i = 0; i < count; ++i)
            numbered.append(QString::number(i + 1) + u' ' + shortened(items.at(i), cap));
        QString line = head + numbered.join(kDot);
        if (count < items.size())
            line += kDot + QStringLiteral("+%1 more").arg(items.size() - count);
        return line + tail;
    };
    for (qsizetype cap = 60; cap >= 8; cap = cap * 3 / 4) {
        QString line = build(cap, items.size());
        if (wireSize(line) <= ChatExit::kLineBytes)
            return line;
    }
    for (qsizetype count = items.size(); count > 0; --count) {
        QString line = build(8, count);
        if (wireSize(line) <= ChatExit::kLineBytes)
            return line;
    }
    return build(8, 0);
}

QStringList RoomCommands::helpLines()
{
    return {helpLine(kPlaying), helpLine(kOthers)};
}

QString RoomCommands::helpOf(const QString& word)
{
    // Every number of a choice has the help of "1".
    static const QRegularExpression choice(QStringLiteral("^[1-9]$"));
    const QString w = choice.match(word).hasMatch() ? QStringLiteral("1") : word.toLower();
    QStringList items;
    const auto add = [&](const auto& table) {
        for (const Help& h : table) {
            if (w == QLatin1String(h.word))
                items.append(helpItem(h));
        }
    };
    add(kPlaying);
    add(kOthers);
    return items.isEmpty() ? QString() : kHelpLead + items.join(kDot);
}

bool RoomCommands::handle(const QString& line)
{
    const auto [word, argument] = split(line);
    if (word == u"help") {
        help(argument);
    } else if (word == u"vol") {
        volume(argument);
    } else if (word == u"q") {
        if (argument.isEmpty())
            listQueue();
        else
            queueSearch(argument);
    } else if (word == u"unq") {
        unqueue(argument);
    } else if (word == u"skip" && argument.isEmpty()) {
        m_chat.post(QStringLiteral("\u00bb <u>Skipped</u>"));
        m_player.skip();
    } else if (choicePending() && argument.isEmpty() && word.size() == 1 && word.at(0) >= u'1' && word.at(0) <= u'9') {
        choose(word.at(0).digitValue());
    } else {
        return false;
    }
    return true;
}

void RoomCommands::help(const QString& word)
{
    // With a prefix set, the owner is told it first, after the lead.
    const auto withPrefix = [this](const QString& line) {
        return m_prefix.isEmpty() ? line
                                  : kHelpLead + QStringLiteral("Commands start with %1: ").arg(m_prefix.toHtmlEscaped())
                + line.mid(kHelpLead.size());
    };
    if (word.isEmpty()) {
        for (const QString& line : helpLines())
            m_chat.post(withPrefix(line));
        return;
    }
    const QString one = helpOf(word);
    m_chat.post(
        one.isEmpty()
            ? QStringLiteral("\u00bb <u>help</u> %1 is no command; help alone lists them").arg(shortened(word, 40))
            : withPrefix(one));
}

void RoomCommands::volume(const QString& argument)
{
    if (!argument.isEmpty()) {
        const std::optional<int> percent = digits(argument);
        if (!percent) {
            m_chat.post(QStringLiteral("\u00bb <u>vol</u> takes a number from 0 to 100"));
            return;
        }
        m_player.setVolume(std::min(*percent, 100));
    }
    m_chat.post(QStringLiteral("\u00bb <u>Volume</u> %1").arg(m_player.volume()));
}

void RoomCommands::queueSearch(const QString& text)
{
    endChoice();
    const QString key = normalizeName(text);
    QStringList names;
    for (const QString& line : m_playlist.items()) {
        if (normalizeName(line).contains(key))
            names.append(line.section(u';', 0, 0));
    }
    if (names.isEmpty())
        m_chat.sendLine(ChatSends::replyText(QStringLiteral("nf")));
    else if (names.size() == 1)
        enqueue(names.constFirst());
    else {
        m_chat.post(QString::number(names.size()) + QStringLiteral("</b> Files Found, Select One."));
        offer(names, Then::Queue);
    }
}

void RoomCommands::enqueue(const QString& name)
{
    if (m_player.queue().count() >= Player::kQueueSize) {
        m_chat.post(QStringLiteral("\u00bb <u>Queue full</u> (%1 songs)").arg(Player::kQueueSize));
        return;
    }
    m_player.queue().addItem(name);
    m_chat.post(QStringLiteral("\u00bb <u>Queued</u> %1 \u00bb place %2")
                    .arg(shortened(name, 200))
                    .arg(m_player.queue().count()));
}

void RoomCommands::listQueue()
{
    const QStringList& names = m_player.queue().items();
    if (names.isEmpty()) {
        m_chat.post(QStringLiteral("\u00bb <u>Queue</u> empty"));
        return;
    }
    m_chat.post(fitList(QStringLiteral("\u00bb <u>Queue</u> "), names, QString()));
}

void RoomCommands::unqueue(const QString& argument)
{
    const int count = m_player.queue().count();
    const std::optional<int> place = digits(argument);
    if (count == 0) {
        m_chat.post(QStringLiteral("\u00bb <u>Queue</u> empty"));
    } else if (!place || *place < 1 || *place > count) {
        m_chat.post(QStringLiteral("\u00bb <u>unq</u> takes a place from 1 to %1").arg(count));
    } else {
        const QString name = m_player.queue().item(*place - 1);
        m_player.queue().removeItem(*place - 1);
        m_chat.post(QStringLiteral("\u00bb <u>Unqueued</u> %1").arg(shortened(name, 200)));
    }
}

void RoomCommands::offer(const QStringList& names, Then then)
{
    m_choice = names.mid(0, kChoices);
    m_then = then;
    const QString more = names.size() > kChoices
        ? kDot + QStringLiteral("+%1 more: search again with more words").arg(names.size() - kChoices)
        : QString();
    m_chat.post(fitList(QString(), m_choice, more));
    m_choiceTimer.start();
}

void RoomCommands::endChoice()
{
    m_choice.clear();
    m_choiceTimer.stop();
}

void RoomCommands::choose(int number)
{
    if (number > m_choice.size()) {
        m_chat.post(QStringLiteral("\u00bb <u>Choose</u> 1 to %1").arg(m_choice.size()));
        return;
    }
    const QString name = m_choice.at(number - 1);
    const Then then = m_then;
    endChoice();
    if (then == Then::Queue)
        enqueue(name);
    else
        m_player.playSong(name);
}
