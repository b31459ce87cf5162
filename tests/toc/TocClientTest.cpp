// SPDX-License-Identifier: GPL-3.0-or-later
#include "TocTestServer.h"
#include "support/QtPrinters.h"

#include "toc/KeepAlive.h"
#include "toc/TocClient.h"

#include <QMetaMethod>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QVariant>

#include <gtest/gtest.h>

#include <utility>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

using S = TocTestServer;
using State = TocClient::State;

// Every event the client raises, in order, as "Name(arg|arg|...)";
// frameReceived is only counted, as every frame raises it.
class TocEventLog : public QObject {
public:
    explicit TocEventLog(TocClient& toc)
    {
        using T = TocClient;
        [&](auto... signal) {
            (record(toc, signal), ...);
        }(&T::signedOn, &T::signedOff, &T::serverError, &T::instantMessageReceived, &T::buddyCameOnline, &T::warned,
          &T::chatJoined, &T::chatMessageReceived, &T::chatUserUpdated, &T::chatInviteReceived, &T::chatLeft,
          &T::rendezvousRequested);
        connect(&toc, &T::frameReceived, this, [this] { ++packets; });
    }
    bool has(const QString& name) const { return !events.filter(name).isEmpty(); }

    QStringList events;
    int packets = 0;

private:
    template <typename... Args> void record(TocClient& toc, void (TocClient::*signal)(Args...))
    {
        const QString name = QString::fromLatin1(QMetaMethod::fromSignal(signal).name());
        connect(&toc, signal, this, [this, name](Args... args) {
            events.append(name + u'(' + QStringList {QVariant::fromValue(args).toString()...}.join(u'|') + u')');
        });
    }
};

// A client, our server and the client's event log.
struct Toc : ::testing::Test {
    TocTestServer server;
    TocClient toc;
    TocEventLog log {toc};

    void connectClient(const QString& user = "Marl Bot", const QString& password = "secret")
    {
        const int next = server.connectionsAccepted() + 1;
        toc.signOn(user, password, QStringLiteral("127.0.0.1"), server.port(), QStringLiteral("login.example"), 29999);
        ASSERT_TRUE(server.greeted(next));
    }
    // The whole sign-on; the log starts afresh after it.
    void signOn()
    {
        ASSERT_NO_FATAL_FAILURE(connectClient());
        server.sendSignOnFrame();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.frames().size() >= 2; }));
        server.acceptLogin();
        ASSERT_TRUE(QTest::qWaitFor([&] { return toc.state() == State::SignedOn; }));
        log.events.clear();
    }
    QByteArray chat(const QByteArray& text) { return server.frame(2, S::CHAT_IN_ENC(7, "Al", text)); }
    // Says the messages in one write and expects the events they raise, in
    // order; a message paired with an empty text raises none.
    void sayExpecting(const QList<std::pair<QByteArray, QString>>& cases)
    {
        QByteArray bytes;
        QStringList expected;
        for (const auto& [message, event] : cases) {
            bytes += server.frame(2, message);
            if (!event.isEmpty())
                expected.append(event);
        }
        log.events.clear();
        const int before = log.packets;
        server.send(bytes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return log.packets == before + cases.size(); }));
        EXPECT_EQ(log.events, expected);
    }
    // Each frame as "type:sequence".
    QStringList headers(qsizetype from = 0, qsizetype n = -1) const
    {
        QStringList result;
        for (const FlapFrame& f : server.frames().mid(from, n))
            result.append(QStringLiteral("%1:%2").arg(f.type).arg(f.sequence));
        return result;
    }
};

TEST_F(Toc, Toc2SignOnBytesNickAndConfig2)
{
    // Auto tries TOC2 first and settles on it once, at the server's first answer.
    toc.setDialect(TocDialect::Auto);
    QList<TocDialect> settled;
    QObject::connect(&toc, &TocClient::dialectSettled, [&](TocDialect speaking) { settled.append(speaking); });
    connectClient(QStringLiteral("Ab Cdef"));
    EXPECT_EQ(server.greeting(), "FLAPON\r\n\r\n");
    server.sendSignOnFrame();
    ASSERT_TRUE(server.waitForCommands(1));
    EXPECT_EQ(server.frames()[0].payload, QByteArray("\0\0\0\1\0\1\0\6abcdef", 14));
    EXPECT_EQ(server.commands()[0],
              "toc2_login login.example 29999 abcdef 0x270c005d311b"
              " English  \"MarlSockTOC2.0\" 160 US \"\" \"\" 3 0 30303 -kentucky -utf8 52093817");
    // A NICK before CONFIG2 names the login as the server wrote it.
    server.send(server.frame(2, "SIGN_ON:TOC2.0") + server.frame(2, "NICK:Ab Cdef")
                + server.frame(2, "CONFIG2:m:1\ng:Friends\nb:Alice\nb:Bob:alias\nd:Carol\ndone:\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.has("signedOn") && server.commands().size() == 2; }));
    EXPECT_EQ(server.commands()[1], "toc_init_done");
    EXPECT_EQ(log.events, QStringList {"signedOn(Ab Cdef|Group [Friends]\r\nAlice\r\nBob\r\n|Carol\r\n)"});
    EXPECT_EQ(settled, QList<TocDialect> {TocDialect::Toc2});
}

TEST_F(Toc, Toc1SignOnBytesAndMessages)
{
    // "password" roasted with "Tic/Toc".
    server.actAsToc1("marlbot", "0x2408105c23001130");
    toc.setDialect(TocDialect::Toc1);
    connectClient(QStringLiteral("Marl Bot"), QStringLiteral("password"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return toc.state() == State::SignedOn && server.commands().size() == 2; }));
    EXPECT_EQ(server.commands(),
              (QList<QByteArray> {"toc_signon login.example 29999 marlbot 0x2408105c23001130 "
                                  "english \"MarlSockTOC1.0\"",
                                  "toc_init_done"}));
    EXPECT_EQ(log.events, QStringList {"signedOn(marlbot|Group [Buddies]\r\nOwner One\r\nAl B\r\n|)"});
    sayExpecting({
        {"CHAT_JOIN:0:Music Room", "chatJoined(Music Room|0)"},
        // The message is everything after the fourth colon.
        {"CHAT_IN:0:Al B:F:<b>time: 12:30 :)</b>", "chatMessageReceived(0|Al B|false|<b>time: 12:30 :)</b>)"},
        {"chat_in:0:Al:T:psst", "chatMessageReceived(0|Al|true|psst)"},
        {"CHAT_IN:0:Al:F", ""},
    });
}

TEST_F(Toc, SequenceCountsFromOneTheKeepAliveTimerSendsAndOfflineSendsTakeNoNumber)
{
    signOn();
    // The keep-alive's tick, as when its minute is up.
    toc.setAntiIdle(true);
    EXPECT_TRUE(toc.hasTimerRunning());
    toc.sendAntiIdle();
    toc.leaveChat(7);
    // The program's end stops the keep-alive and signs off once.
    toc.shutdown();
    toc.shutdown();
    EXPECT_FALSE(toc.hasTimerRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.clientGone(); }));
    EXPECT_EQ(log.events, QStringList {"signedOff(marlbot)"});
    EXPECT_EQ(headers(), (QStringList {"1:1", "2:2", "2:3", "5:4", "2:5"}));
    EXPECT_TRUE(server.frames()[3].payload.isEmpty());

    toc.sendChat(7, QStringLiteral("lost"));
    toc.sendAntiIdle();
    signOn();
    EXPECT_EQ(headers(0, 1), QStringList {"1:6"});
}

TEST_F(Toc, SequenceWrapsAfter65534AndWhatTheHeaderCannotDescribeTakesNoNumber)
{
    signOn();  // frames 1 to 3
    toc.sendFrame(300, "no such type");
    toc.sendFrame(2, QByteArray(65536, 'x'));
    toc.sendFrame(255, QByteArray(65535, 'y'));
    toc.sendFrame(0, {});
    for (int i = 6; i <= 65536; ++i)
        toc.sendAntiIdle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.frames().size() == 65536; }, 30000));
    EXPECT_EQ(server.frames()[3].payload, QByteArray(65535, 'y'));
    EXPECT_EQ(headers(3, 2) + headers(65533), (QStringList {"255:4", "0:5", "5:65534", "5:0", "5:1"}));
}

// What the program sends, and one command for the escapes of all others.
TEST_F(Toc, CommandsQuoteAndEscapeTheirArguments)
{
    signOn();
    toc.sendInstantMessage("Some One", "a \"b\" (c) {d} [e] \\", false);
    // Chat text goes out as its caller escaped it, as UTF-8.
    toc.sendChat(7, "say \\\"hi\\\" (brackets) [stay] {as} $");
    toc.sendChat(12, "Björk 😀");
    // Buddies in TOC2's own words.
    toc.addBuddy("Al B", "Friends");
    toc.removeBuddy("Al B", "Friends");
    EXPECT_EQ(server.sentAfterSignOn(5),
              (QList<QByteArray> {"toc_send_im \"someone\" \"a \\\"b\\\" \\(c\\) \\{d\\} \\[e\\] \\\\\"",
                                  "toc_chat_send 7 \"say \\\"hi\\\" (brackets) [stay] {as} $\"",
                                  "toc_chat_send 12 \"Bj\xc3\xb6rk \xf0\x9f\x98\x80\"",
                                  "toc2_new_buddies {g:Friends\nb:Al B\n}", "toc2_remove_buddy \"Al B\" \"Friends\""}));
}

TEST_F(Toc, LongChatIsCutToTheCommandLimitBetweenWholeEscapesAndCharacters)
{
    signOn();
    const QByteArray head = "toc_chat_send 123456 \"";
    const qsizetype room = TocClient::kMaxCommandBytes - head.size() - 2;
    toc.sendChat(123456, QString(room - 2, u'c') + QStringLiteral("\\\\tail"));
    toc.sendChat(123456, QString(room - 1, u'c') + QStringLiteral("\\\\tail"));
    // Two-byte characters past an odd start: the last one does not fit whole.
    // So are three- and four-byte ones.
    const QByteArray wide[] = {"\xc2\xa9", "\xef\xbf\xbd", "\xf0\x9f\x98\x80"};
    for (const QByteArray& character : wide)
        toc.sendChat(123456, u'c' + QString::fromUtf8(character.repeated(5000)));
    QList<QByteArray> cut {head + QByteArray(room - 2, 'c') + "\\\\\"", head + QByteArray(room - 1, 'c') + '"'};
    for (const QByteArray& character : wide)
        cut.append(head + 'c' + character.repeated((room - 1) / character.size()) + '"');
    EXPECT_EQ(server.sentAfterSignOn(5), cut);
    // The first fills the 2,048 bytes exactly, its NUL included.
    EXPECT_EQ(server.frames()[3].payload.size(), 2048);
    // A stray continuation byte is a character of its own.
    EXPECT_EQ(cutChatText("\xc2\xa9\x80", 2), "\xc2\xa9");
}

TEST_F(Toc, ServerMessagesRaiseTheirEventsAndOddOnesNothing)
{
    signOn();
    sayExpecting({
        {"CHAT_JOIN:7:Music Room", "chatJoined(Music Room|7)"},
        // Command words ignore case, fields keep it; colons stay in the text.
        {"chat_in_enc:7:Al:T:A:en:Hi", "chatMessageReceived(7|Al|true|Hi)"},
        {S::CHAT_IN_ENC(7, "Al", "time: 12:30 :)"), "chatMessageReceived(7|Al|false|time: 12:30 :))"},
        // UTF-8 crosses whole; other bytes are read as Windows-1252.
        {S::CHAT_IN_ENC(7, "Zoë", "Björk 😀"), "chatMessageReceived(7|Zoë|false|Björk 😀)"},
        {S::CHAT_IN_ENC(7, "Al", "caf\xe9 \x93x\x94"), "chatMessageReceived(7|Al|false|café “x”)"},
        {S::CHAT_IN_ENC(7, "Al", QByteArray("nul\0", 4)), "chatMessageReceived(7|Al|false|nul)"},
        {"CHAT_LEFT:7", "chatLeft(7)"},
        {"IM_IN_ENC2:Al B:F:F:T: :F:L:en:hi: there", "instantMessageReceived(Al B|hi: there)"},
        {"UPDATE_BUDDY2:Al:t:0:0:0: O", "buddyCameOnline(Al)"},
        {"UPDATE_BUDDY2:Al", ""},
        {"EVILED:25:Al", "warned(Al|25)"},
        {"CHAT_UPDATE_BUDDY:7:T:Al:Bo", "chatUserUpdated(7|true|Al|Bo)"},
        {"CHAT_INVITE:Music Room:7:Al:come", "chatInviteReceived(Music Room|7|Al|come)"},
        {"RVOUS_PROPOSE:Al B:UUID:cookie:0:1.2.3.4:5.6.7.8:9.9.9.9:5190",
         "rendezvousRequested(Al B|UUID|cookie|5.6.7.8)"},
        // Missing or odd fields skip only their own message.
        {"RVOUS_PROPOSE:Al B:UUID:cookie:0:1.2.3.4", ""},
        {"CHAT_IN_ENC:7:Al:F:A", ""},
        {"IM_IN_ENC2:Al B:F:F:T: :F:L:en", ""},
        {"EVILED:x:Al", ""},
        {"CHAT_UPDATE_BUDDY:7:F:Al", ""},
        {"CHAT_INVITE:Music Room:7:Al", ""},
        {"CHAT_IN_ENC:x7:Al:F:A:en:t", ""},
        {"ERROR:abc", ""},
        {"", ""},
        {"CHAT_LEFT:", ""},
    });
    EXPECT_EQ(toc.state(), State::SignedOn);
}

// Sign-on took two of the burst; what the burst cannot carry waits.
TEST_F(Toc, TooFastFromTheServerHalvesThePaceAndWhatWaitsIsDroppedByALogin)
{
    toc.setSendRate(1);
    signOn();
    QList<double> rates;
    QObject::connect(&toc, &TocClient::sendRateChanged, [&](double rate) { rates.append(rate); });
    server.send(server.frame(2, "ERROR:903") + server.frame(2, "ERROR:960"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rates.size() == 2; }));
    EXPECT_EQ(rates, (QList<double> {0.5, 0.25}));
    for (const char* text : {"one", "two", "three", "four"})
        toc.sendChat(7, QString::fromLatin1(text));
    ASSERT_TRUE(server.waitForCommands(5));
    EXPECT_EQ(server.commands().constLast(), "toc_chat_send 7 \"three\"");
    EXPECT_EQ(toc.sendQueue().size(), 1);
    ASSERT_NO_FATAL_FAILURE(connectClient());
    EXPECT_EQ(toc.sendQueue().size(), 0);
    EXPECT_EQ(toc.sendQueue().droppedInAll(), 1);
}

TEST_F(Toc, RoomTableFindsARejoinedRoomUnderItsNewIdAfter1000Joins)
{
    signOn();
    const auto ids = [&](const QStringList& names) {
        QList<qint32> result;
        for (const QString& name : names)
            result.append(toc.chatId(name));
        return result << toc.lastChatId();
    };
    QList<std::pair<QByteArray, QString>> joins;
    for (int id = 1; id <= 1001; ++id)
        joins.append(
            {S::CHAT_JOIN(id, "Room " + QByteArray::number(id)), QStringLiteral("chatJoined(Room %1|%1)").arg(id)});
    sayExpecting(joins);
    // Slots 1..999 held rooms 1..999; rooms 1000 and 1001 wrapped into slot 0.
    EXPECT_EQ(ids({" ROOM  1001", "Room 1", "Room 1000", "Room 2"}), (QList<qint32> {1001, 0, 1000, 2, 1001}));
    sayExpecting({{S::CHAT_JOIN(2002, "Room 2"), "chatJoined(Room 2|2002)"},
                  {S::CHAT_JOIN(2005, "Room 5"), "chatJoined(Room 5|2005)"}});
    EXPECT_EQ(ids({"Room 2", "Room 5", "Room 3"}), (QList<qint32> {2002, 2005, 0, 2005}));
}

TEST_F(Toc, ServerClosingMidFrameOrSendingNoFramesEndsTheSessionCleanly)
{
    signOn();
    server.send(chat("whole") + chat("cut short").first(10));
    server.closeClient();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.has("signedOff"); }));
    EXPECT_EQ(log.events, (QStringList {"chatMessageReceived(7|Al|false|whole)", "signedOff(marlbot)"}));
    EXPECT_EQ(toc.state(), State::Disconnected);

    // The cut-off bytes do not leak into the next connection; frames of
    // unknown types are skipped, and bytes that are no frames drop it.
    signOn();
    server.send(server.frame(9, "whatever") + server.frame(2, QByteArray("\xff\xfe\0\x01:::", 7)) + chat("fresh"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.has("chatMessageReceived"); }));
    EXPECT_EQ(log.events, QStringList {"chatMessageReceived(7|Al|false|fresh)"});
    server.send("HTTP/1.1 400 Bad Request\r\n\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.has("signedOff") && server.clientGone(); }));
    EXPECT_EQ(toc.state(), State::Disconnected);
}

// A PAUSE lets what is pending run before the frames behind it, loses none
// of them, and a close that came with them is told after them.
TEST_F(Toc, APauseLetsPendingEventsRunFirstAndTheCloseComesAfterTheFramesBehindIt)
{
    signOn();
    QObject::connect(&toc, &TocClient::chatMessageReceived, &toc,
                     [&](qint32, const QString&, bool, const QString& text) {
                         if (text == QLatin1String("first"))
                             QTimer::singleShot(0, &toc, [&] { log.events.append(QStringLiteral("pending")); });
                     });
    const int before = log.packets;
    server.send(chat("first") + server.frame(2, "PAUSE") + chat("after") + server.frame(2, "PAUSE")
                + chat("last words"));
    server.closeClient();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.has("signedOff"); }));
    EXPECT_EQ(log.events,
              (QStringList {"chatMessageReceived(7|Al|false|first)", "pending", "chatMessageReceived(7|Al|false|after)",
                            "chatMessageReceived(7|Al|false|last words)", "signedOff(marlbot)"}));
    EXPECT_EQ(log.packets - before, 5);
}

// The system probes a silent connection and gives up on one whose bytes
// stay unanswered, on the timings the client relies on.
TEST(KeepAlive, TheSystemProbesAnIdleConnectionAndGivesUpOnAnUnansweredOne)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(socket.waitForConnected(5000));
    keepAlive(socket);
    const int fd = int(socket.socketDescriptor());
    const auto option = [fd](int level, int name) {
        int value = -1;
        socklen_t size = sizeof value;
        return ::getsockopt(fd, level, name, &value, &size) == 0 ? value : -1;
    };
    EXPECT_EQ(option(SOL_SOCKET, SO_KEEPALIVE), 1);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPIDLE), 60);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPINTVL), 10);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPCNT), 6);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_USER_TIMEOUT), 120000);
}

}  // namespace
