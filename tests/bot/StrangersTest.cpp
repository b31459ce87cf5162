#include "BotTest.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

namespace {

// Pieces of room lines: the command words, markup, separators, control characters.
const QStringList kPieces = {
    "x ",
    "unx ",
    "p?",
    "P?",
    "p ",
    "r",
    "r ",
    "url ",
    "dir ",
    "ar",
    "AR",
    "xar",
    "cpl",
    "del ",
    "rem ",
    "clr",
    "info",
    "ver",
    "drive ",
    "Drive ",
    "stop",
    "pause",
    "unpause",
    "next",
    "prev",
    "tray",
    "show",
    "min",
    "end",
    "Finding SN",
    "found screen name",
    "kkk",
    "",
    " ",
    "  ",
    "/",
    "//",
    "\\",
    ":",
    "::",
    ";",
    "*",
    "?",
    "%s",
    "%p",
    "%n",
    "<b>",
    "</b>",
    "<FONT COLOR=#0080ff>",
    "</font>",
    "&amp;",
    "\u00bb",
    "\u00f1",
    "\u00b3\u00b7\u00b2",
    "song",
    "a",
    "e",
    "Owner Me",
    "owner me",
    "[",
    "]",
    "(",
    ")",
    "http://",
    "c:\\",
    "..",
    "\t",
    "\r",
    "\n",
    QString(QChar(0)),
    QString(QChar(1)),
    QString(QChar(3)),
    "\u202e",
    "\U0001F3B5",
};

struct Lines {
    QRandomGenerator random;
    QString path;  // a path of the test, typed as in the room

    QString pick(const QStringList& from) { return from.at(int(random.bounded(from.size()))); }
    QString noise(int length)
    {
        QString s;
        while (length-- > 0)
            s += QChar(char16_t(random.bounded(4) == 0 ? random.bounded(0x0, 0x300) : random.bounded(0x20, 0x7f)));
        return s;
    }
    QString text()
    {
        QString s;
        for (int parts = int(random.bounded(1, 7)); parts > 0; --parts) {
            const quint32 kind = random.bounded(4);
            s += kind == 0 ? noise(int(random.bounded(1, 12))) : kind == 1 ? path : pick(kPieces) + pick(kPieces);
        }
        return random.bounded(200) == 0 ? s + noise(int(random.bounded(2000, 20000))) : s;
    }
};

class Strangers : public BotTest<> {
protected:
    void SetUp() override
    {
        BotTest::SetUp();
        // Owner lines name relative paths too; they resolve in a sandbox.
        previousDir = QDir::currentPath();
        QDir().mkpath(t.dir.path() + "/cwd");
        QDir::setCurrent(t.dir.path() + "/cwd");
        QFile("bystander.txt").open(QIODevice::WriteOnly);
        t->discovery.Timer2.stop();
        music = t.dir.path() + "/music";
        QDir().mkpath(music + "/inner");
        const QStringList names = {"alpha", "stop", "ver", "next song", "r"};
        for (const QString& name : names)
            QFile(music + u'/' + name + ".mp3").open(QIODevice::WriteOnly);
        fill(names, music);
        original = t->List2.items();
        t->List1.setListIndex(2);
    }
    void TearDown() override { QDir::setCurrent(previousDir); }

    // Everything of the program's state that a line could change.
    QStringList snapshot()
    {
        FormState& f = t;
        QStringList s = t.wmp.urls + t.wmp.calls + t.ui.events + t.ui.messages;
        for (ListBox* l : {&f.List1, &f.List2, &f.List3, &f.lstRan, &f.lstsettings, &f.lstusers})
            s << l->items() << QString::number(l->listIndex());
        for (TextField* field :
             {&f.txtFont, &f.txtPlay, &f.txtPlaying, &f.txtIgnore, &f.txtUnignore, &f.txtLoads, &f.txtNum, &f.txtNumber,
              &f.txtSec, &f.txtMin, &f.txtURL, &f.txtafont, static_cast<TextField*>(&f.labTime),
              static_cast<TextField*>(&f.labFile), static_cast<TextField*>(&f.lbuser)})
            s << field->text();
        for (CheckBox* c : {&f.chkBot, &f.chkChat, &f.chkSendAOL, &f.chkenabled, &f.chkTime, &f.music})
            s << QString::number(c->value());
        QStringList files {QString::number(t.isUnloaded())};
        for (QDirIterator it(t.dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            files << it.next() + u' ' + QString::number(it.fileInfo().size());
        files.sort();
        return s + files;
    }

    QString music, previousDir;
    QStringList original;
};

TEST_F(Strangers, ThousandsOfLinesFromOtherMembersChangeNothing)
{
    Lines lines {QRandomGenerator(20261206), QString(music).replace(u'/', u'\\') + "\\*"};
    const QStringList near = {"owner me", "OwnerMe",    "Owner Me ", " Owner Me", "Owner  Me",
                              "OWNER ME", "Owner Me\t", "",          "Bob",       "       unkown        "};
    const QStringList dates = {"0", "", "12:00", "(12:00:01 PM)", "<font>", "FONT", "x/y"};
    const QStringList before = snapshot();
    for (int i = 0; i < 20000; ++i)
        say(i % 3 ? lines.noise(int(lines.random.bounded(1, 16))) : lines.pick(near), lines.text(), lines.pick(dates));
    // Lines naming the states of discovery itself.
    for (const QString& tag : {Discovery::kIdle, QStringLiteral("kkk"), QString()})
        say("Mallory", u'[' + tag + "] Finding SN");
    EXPECT_TRUE(t.sent.isEmpty()) << qPrintable(t.sent.value(0));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Strangers, MalformedOrRandomLinesFromTheOwnerLeaveThePlaylistWhole)
{
    for (const QString& line : QStringList {"x",
                                            "x ",
                                            "x  ",
                                            "unx",
                                            "unx ",
                                            "del",
                                            "del ",
                                            "del \\no\\such\\file.mp3",
                                            "del \\no\\such\\*",
                                            "del *\\*",
                                            "drive",
                                            "drive ",
                                            "drive nonsense",
                                            "drive \\\\\\",
                                            "drive :",
                                            "url",
                                            "url ",
                                            "url /",
                                            "dir",
                                            "dir ",
                                            "dir \\no\\such\\dir",
                                            "dir :",
                                            "rem",
                                            "rem ",
                                            "rem \t",
                                            "p",
                                            "p ",
                                            "p  ",
                                            "r ",
                                            "r  ",
                                            "p?x",
                                            "info ",
                                            "ver ",
                                            ":",
                                            "/",
                                            "\\",
                                            "",
                                            QString(QChar(0)),
                                            QString(5000, u'p')})
        owner(line);
    EXPECT_EQ(t->List2.items(), original);

    Lines lines {QRandomGenerator(4711), "\\no\\such\\place"};
    for (int i = 0; i < 300; ++i) {
        // The owner may end the program; that is not what is tested here.
        if (const QString text = lines.text(); !text.contains("end"))
            owner(text, "0");
    }
    EXPECT_FALSE(t->isUnloaded());
    // Whole: List1 names every List2 line, in step, and each line is one of those put there.
    QStringList names;
    for (const QString& line : t->List2.items()) {
        names << line.section(u';', 0, 0);
        EXPECT_TRUE(original.contains(line)) << qPrintable(line);
    }
    EXPECT_EQ(t->List1.items(), names);
}

}  // namespace
