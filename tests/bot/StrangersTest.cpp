#include "BotForm.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

const QStringList kWords = {
    "x ", "unx ", "p?", "P?", "p ", "r", "r ", "url ", "dir ", "ar", "AR", "xar", "cpl", "del ", "rem ", "clr",
    "info", "ver", "drive ", "Drive ", "stop", "pause", "unpause", "next", "prev", "tray", "show", "min", "end",
    "Finding SN", "found screen name", "kkk",
};
const QStringList kPieces = {
    "", " ", "  ", "/", "//", "\\", ":", "::", ";", "*", "?", "%s", "%p", "%n", "<b>", "</b>", "<FONT COLOR=#0080ff>",
    "</font>", "&amp;", "\u00bb", "\u00f1", "\u00b3\u00b7\u00b2", "song", "a", "e", "Owner Me", "owner me", "[",
    "]", "(", ")", "http://", "c:\\", "..", "\t", "\r", "\n", QString(QChar(0)), QString(QChar(1)), QString(QChar(3)),
    "\u202e", "\U0001F3B5",
};

// Everything of the program's state that a line could change.
struct Snapshot {
    QList<QStringList> lists;
    QList<int> selections;
    QStringList fields;
    QList<int> checks;
    QStringList player;
    QStringList ui;
    QStringList files;

    bool operator==(const Snapshot&) const = default;
};

QStringList filesUnder(const QString& dir)
{
    QStringList found;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        found.append(it.filePath() + u' ' + QString::number(it.fileInfo().size()));
    }
    found.sort();
    return found;
}

Snapshot snapshot(TestForm& t)
{
    MainForm& f = *t;
    Snapshot s;
    for (ListBox* l : {&f.List1, &f.List2, &f.List3, &f.lstRan, &f.lstsettings, &f.lstusers}) {
        s.lists.append(l->items());
        s.selections.append(l->listIndex());
    }
    for (TextField* field : {&f.txtFont, &f.txtPlay, &f.txtPlaying, &f.txtIgnore, &f.txtUnignore, &f.txtLoads,
                             &f.txtNum, &f.txtNumber, &f.txtSec, &f.txtMin, &f.txtURL, &f.txtafont,
                             static_cast<TextField*>(&f.labTime), static_cast<TextField*>(&f.labFile),
                             static_cast<TextField*>(&f.lbuser)})
        s.fields.append(field->text());
    for (CheckBox* c : {&f.chkBot, &f.chkChat, &f.chkSendAOL, &f.chkenabled, &f.chkTime, &f.music})
        s.checks.append(c->value());
    s.player = t.wmp.urls + t.wmp.calls;
    s.ui = t.ui.events + t.ui.messages;
    s.files = filesUnder(t.dir.path());
    s.checks.append(f.isUnloaded());
    return s;
}

class Lines {
public:
    explicit Lines(quint32 seed) : m_random(seed) {}

    QString text()
    {
        QString s;
        const int parts = int(m_random.bounded(1, 7));
        for (int i = 0; i < parts; ++i) {
            switch (m_random.bounded(5)) {
            case 0: s += kWords.at(int(m_random.bounded(kWords.size()))); break;
            case 1: s += kPieces.at(int(m_random.bounded(kPieces.size()))); break;
            case 2: s += noise(int(m_random.bounded(1, 12))); break;
            case 3: s += m_pathOfTheTest; break;
            default: s += kWords.at(int(m_random.bounded(kWords.size()))) + kPieces.at(int(m_random.bounded(kPieces.size())));
            }
        }
        if (m_random.bounded(200) == 0)
            s += noise(int(m_random.bounded(2000, 20000)));
        return s;
    }

    QString speaker()
    {
        static const QStringList near = {"owner me", "OwnerMe", "Owner Me ", " Owner Me", "Owner  Me", "OWNER ME",
                                         "Owner Me\t", "", "Bob", "       unkown        "};
        if (m_random.bounded(3) == 0)
            return near.at(int(m_random.bounded(near.size())));
        return noise(int(m_random.bounded(1, 16)));
    }

    QString date()
    {
        static const QStringList dates = {"0", "", "12:00", "(12:00:01 PM)", "<font>", "FONT", "x/y"};
        return dates.at(int(m_random.bounded(dates.size())));
    }

    QString m_pathOfTheTest;

private:
    QString noise(int length)
    {
        QString s;
        for (int i = 0; i < length; ++i)
            s += QChar(char16_t(m_random.bounded(4) == 0 ? m_random.bounded(0x0, 0x300) : m_random.bounded(0x20, 0x7f)));
        return s;
    }

    QRandomGenerator m_random;
};

class Strangers : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Owner lines name relative paths too; they resolve in a sandbox.
        previousDir = QDir::currentPath();
        QDir().mkpath(t.dir.path() + QStringLiteral("/cwd"));
        QDir::setCurrent(t.dir.path() + QStringLiteral("/cwd"));
        QFile(QStringLiteral("bystander.txt")).open(QIODevice::WriteOnly);
        forgetChatSends();
        t->discovery.Timer2.stop();
        knowOwner(*t);
        music = t.dir.path() + QStringLiteral("/music");
        QDir().mkpath(music + QStringLiteral("/inner"));
        QStringList names;
        for (const char* name : {"alpha", "stop", "ver", "next song", "r"}) {
            QFile(music + u'/' + QLatin1String(name) + QStringLiteral(".mp3")).open(QIODevice::WriteOnly);
            names.append(QLatin1String(name));
        }
        fillPlaylist(*t, names, music);
        t->List1.setListIndex(2);
        t->labTime.setCaption(QStringLiteral("1:23"));
        t->labFile.setCaption(QStringLiteral("ver"));
    }

    // The playlist is whole when List1 holds the name of every List2 line,
    // in step, and every line is one of those the test put there.
    void expectPlaylistWhole(const QStringList& original)
    {
        ASSERT_EQ(t->List1.count(), t->List2.count());
        qsizetype from = 0;
        for (int i = 0; i < t->List2.count(); ++i) {
            EXPECT_EQ(t->List1.item(i), t->List2.item(i).section(u';', 0, 0));
            from = original.indexOf(t->List2.item(i), from);
            ASSERT_GE(from, 0) << qPrintable(t->List2.item(i));
            ++from;
        }
    }

    void TearDown() override { QDir::setCurrent(previousDir); }

    TestForm t;
    QString music;
    QString previousDir;
};

TEST_F(Strangers, ThousandsOfLinesFromOtherMembersChangeNothing)
{
    Lines lines(20261206);
    lines.m_pathOfTheTest = QString(music).replace(u'/', u'\\') + QStringLiteral("\\*");
    const Snapshot before = snapshot(t);
    for (int i = 0; i < 20000; ++i) {
        const QString who = lines.speaker();
        ASSERT_NE(who, kOwner);
        say(*t, who, lines.text(), lines.date());
    }
    // Lines naming the states of discovery itself.
    say(*t, QStringLiteral("Mallory"), u'[' + Discovery::kIdle + QStringLiteral("] Finding SN"));
    say(*t, QStringLiteral("Mallory"), QStringLiteral("[kkk] Finding SN"));
    say(*t, QStringLiteral("Mallory"), QStringLiteral("[] Finding SN"));
    EXPECT_TRUE(t.sent.isEmpty()) << qPrintable(t.sent.value(0));
    EXPECT_TRUE(snapshot(t) == before);
}

TEST_F(Strangers, MalformedCommandsFromTheOwnerLeaveThePlaylistWhole)
{
    const QStringList original = t->List2.items();
    const QStringList malformed = {
        "x", "x ", "x  ", "unx", "unx ", "del", "del ", "del \\no\\such\\file.mp3", "del \\no\\such\\*",
        "del *\\*", "drive", "drive ", "drive nonsense", "drive \\\\\\", "drive :", "url", "url ", "url /", "dir",
        "dir ", "dir \\no\\such\\dir", "dir :", "rem", "rem ", "rem \t", "p", "p ", "p  ", "r ", "r  ", "p?x",
        "info ", "ver ", ":", "/", "\\", "", QString(QChar(0)), QString(5000, u'p'),
    };
    for (const QString& line : malformed)
        say(*t, kOwner, line);
    expectPlaylistWhole(original);
    EXPECT_EQ(t->List2.count(), original.size());
    EXPECT_FALSE(t->isUnloaded());
}

TEST_F(Strangers, RandomOwnerLinesNeverBreakThePlaylist)
{
    const QStringList original = t->List2.items();
    Lines lines(4711);
    lines.m_pathOfTheTest = QStringLiteral("\\no\\such\\place");
    for (int i = 0; i < 300; ++i) {
        QString text = lines.text();
        // The owner may end the program; that is not what is tested here.
        if (text.trimmed() == QLatin1String("end") || text.contains(QLatin1String("end")))
            continue;
        say(*t, kOwner, text, QStringLiteral("0"));
    }
    expectPlaylistWhole(original);
    EXPECT_FALSE(t->isUnloaded());
}

} // namespace
