// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Values.h"
#include "toc/Reconnector.h"
#include "toc/TocDialect.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class ChatScanner;
class TocClient;
class UserInterface;

// Where a TOC server or an authorizer is reached.
struct TocEndpoint {
    QString host;
    quint16 port = 0;

    // "HOST", "HOST:PORT", "[IPV6]" or "[IPV6]:PORT" (a bare IPv6 address
    // is a host without a port); HOST is a DNS name or an IPv4 address.
    // Without a port the given default is used. Anything else (a malformed
    // host, a stray colon, a port outside 1..65535) gives nothing, so what
    // toString prints always parses back to the same endpoint.
    static std::optional<TocEndpoint> parse(const QString& text, quint16 defaultPort);
    QString toString() const;
    bool operator==(const TocEndpoint&) const = default;
};

// Bot mode: instead of reading the chat client's window, the program is a
// member of the room itself through the TOC client. The owner's buttons
// drive the client, the status text and the sign-on state show where it
// stands, the room's lines go to the chat-line handler and the scanner's
// replies go back to the room joined last. Once signed
// on by hand it stays signed on: a lost connection is signed on again and
// the room joined by hand is joined again, until the owner logs off or
// leaves bot mode.
class BotMode : public QObject {
    Q_OBJECT
public:
    // The per-user store group and keys of the hosts, with their defaults.
    static const QString kGroup;  // "toc"
    static const QString kServerKey;  // "server", "toc.oscar.aol.com"
    static const QString kPortKey;  // "port", 5190
    static const QString kAuthorizerKey;  // "authorizer", "login.oscar.aol.com"
    static const QString kAuthPortKey;  // "authorizerport", 29999
    static const QString kVersionKey;  // "version": "1", "2" or "auto"
    // The per-user store group and keys of the bot itself.
    static const QString kBotGroup;  // "bot"
    static const QString kScreenNameKey;  // "screenname"
    static const QString kRoomKey;  // "room"
    static const QString kExchangeKey;  // "exchange"
    static const QString kOwnerKey;  // "owner"
    static const QString kSendRateKey;  // "sendrate": messages a second, 1
    static constexpr double kSendRate = 1;
    static constexpr quint16 kServerPort = 5190;
    static constexpr quint16 kAuthorizerPort = 29999;

    BotMode(const BoolValue& useBot, TextValue& owner, TocClient& toc, ChatScanner& scanner, UserInterface& ui);

    // What the bot signs on as and the room it joins, as the owner typed them.
    struct Account {
        TextValue screenName {QStringLiteral("bot name")};
        TextValue password {QStringLiteral("bot pass")};
        TextValue room {QStringLiteral("Chat")};
        TextValue exchange {QStringLiteral("4")};
    };
    Account account;
    // Where the connection stands, for people: "Connecting", "Signed On!", ...
    TextValue status {QStringLiteral("Waiting")};
    // Signed on as far as the owner's button goes: it offers Logoff.
    enum class Session { SignedOff, SignedOn };
    Session session() const { return m_session; }
    // The bot panel is shown while bot mode is on.
    BoolValue panelShown {false};

    // The per-user store's file, as its messages name it.
    static QString storeFile();
    // What is wrong with a stored [toc] or [bot] value, as a message naming
    // the store's file, the key and the value; nothing when the key is
    // unset or its value usable. Values are checked as the matching
    // command-line options check theirs.
    static std::optional<QString> storedProblem(const QString& group, const QString& key);
    // The problems of the stored [toc] values that sign-on would use (none
    // for a host set for this run).
    QStringList storedProblems() const;

    // The hosts sign-on uses: the ones set for this run, else the per-user
    // store's, else the defaults. A stored server or authorizer may carry
    // its port ("HOST:PORT"), which wins over the port key. A stored value
    // that is not usable counts as missing.
    TocEndpoint server() const;
    TocEndpoint authorizer() const;
    // For this run only; nothing is stored.
    void setServer(const TocEndpoint& endpoint) { m_server = endpoint; }
    void setAuthorizer(const TocEndpoint& endpoint) { m_authorizer = endpoint; }

    // The pace of what the bot sends: the store's, else one a second. A
    // stored text that is not a number above 0 (up to 100) is said once
    // and counts as missing.
    static double sendRate();

    // The shut-down is under way: what waits to be sent is dropped (and
    // counted on stderr), so the closing line and the sign-off go at once.
    void closing();

    // The dialect sign-on uses: the one set for this run, else the per-user
    // store's, else TOC2. A stored text that names none counts as missing.
    TocDialect dialect() const;
    static std::optional<TocDialect> storedDialect();
    static void storeDialect(TocDialect dialect);
    // For this run only; nothing is stored.
    void setDialect(TocDialect dialect) { m_dialect = dialect; }

    // "Use TOC bot" clicked: the bot panel is shown and the window scanner
    // stops, or the other way round.
    void onUseBotClicked();
    // Signon while signed off, otherwise Logoff.
    void onSignOnClicked();
    // The owner field was edited: stored, and the owner while bot mode is on.
    void onOwnerEdited();
    // Join: leaves the room joined last, then joins the account's room.
    void join();
    // Part: leaves the room joined last.
    void part();

    // What Signon does: the status "Connecting" and a Login with the account,
    // the hosts and the dialect above; from then on a lost connection is
    // signed on again. A stored value that is not usable is shown in a
    // message box first, and its default used.
    void signOn();
    // What Logoff does: no more signing on again, and signOff.
    void logOff();

    // The owner's screen name while bot mode is on (empty: the owner is
    // found in the room as without bot mode). Starts as the store's.
    TextValue namedOwner;
    Reconnector reconnect;

    static const QString kBadExchange;

    // Follows the client's events, and routes scanner's lines for the bot to
    // the room joined last. The main form calls it once both are built.
    void attachClient();

    // The TOC client's events.
    void onSignedOn();
    void onSignedOff();
    void onChatMessageReceived(const QString& screenName, const QString& message);

Q_SIGNALS:
    // A line of the room for the chat-line handler: the speaker as the
    // server wrote the name, the text without tags, and "0" for the time.
    void lineReceived(const QString& whosaid, const QString& whatsaid, const QString& datesaid);
    // A room line came before the sign-on was complete and was dropped;
    // told once a run.
    void droppedBeforeSignOn(const QString& whosaid);
    void sessionChanged(BotMode::Session session);

private:
    void onReconnectWaiting(const QString& why, Reconnector::Milliseconds wait);
    void applyOwner();
    void loginWithPanel();
    void showProblemsThenSignOn(QStringList problems);

    struct Room {
        QString name;
        qint16 exchange;
    };

    void setSession(Session session);

    const BoolValue& m_useBot;
    TextValue& m_owner;
    TocClient& m_toc;
    ChatScanner& m_scanner;
    UserInterface& m_ui;
    std::optional<TocEndpoint> m_server;
    std::optional<TocEndpoint> m_authorizer;
    // The room joined by hand, joined again after each new sign-on.
    std::optional<Room> m_room;
    // The owner as it was before the named owner took its place.
    std::optional<QString> m_ownerBefore;
    std::optional<TocDialect> m_dialect;
    bool m_droppedEarlyLine = false;
    Session m_session = Session::SignedOff;
};
