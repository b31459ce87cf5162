#include "bot/RoomPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DeleteFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = tmp.path();
        QDir().mkpath(root + QStringLiteral("/sub.mp3"));
        for (const char* name : {"a.mp3", "b.mp3", "ab.mp3", "notes.txt", ".hidden.mp3", "[x]1.mp3", "sub.mp3/c.mp3"})
            touch(QLatin1String(name));
    }
    void touch(const QString& name) { QFile(root + u'/' + name).open(QIODevice::WriteOnly); }
    bool has(const QString& name) const { return QFileInfo::exists(root + u'/' + name); }
    QStringList files() const { return QDir(root).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name); }

    QTemporaryDir tmp;
    QString root;
};

TEST_F(DeleteFiles, RoomPathsTurnBackslashesIntoSlashes)
{
    EXPECT_EQ(roomPath(QStringLiteral("\\home\\me\\Music")), "/home/me/Music");
    EXPECT_EQ(roomPath(QStringLiteral("c")), "c");
}

TEST_F(DeleteFiles, ANamedFileGoesAndNothingElse)
{
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/a.mp3")), 1);
    EXPECT_FALSE(has(QStringLiteral("a.mp3")));
    EXPECT_EQ(files().size(), 6);
}

TEST_F(DeleteFiles, AStarTakesTheMatchingFilesOfThatDirectoryOnly)
{
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/*.mp3")), 4);
    EXPECT_EQ(files(), (QStringList{QStringLiteral(".hidden.mp3"), QStringLiteral("notes.txt"), QStringLiteral("sub.mp3")}));
    EXPECT_TRUE(has(QStringLiteral("sub.mp3/c.mp3")));
}

TEST_F(DeleteFiles, AQuestionMarkStandsForOneCharacterAndBracketsAreLiteral)
{
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/?.mp3")), 2);
    EXPECT_TRUE(has(QStringLiteral("ab.mp3")));
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/[x]?.mp3")), 1);
    EXPECT_FALSE(has(QStringLiteral("[x]1.mp3")));
}

TEST_F(DeleteFiles, DirectoriesAreNeverDeletedNorEntered)
{
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/sub.mp3")), 0);
    EXPECT_EQ(deleteFiles(root), 0);
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/*")), 5);
    EXPECT_TRUE(has(QStringLiteral("sub.mp3/c.mp3")));
}

TEST_F(DeleteFiles, ALinkToADirectoryIsLeftAlone)
{
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/sub.mp3"), root + QStringLiteral("/link")));
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/link")), 0);
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/link")).isSymLink());
    EXPECT_TRUE(has(QStringLiteral("sub.mp3/c.mp3")));
}

TEST_F(DeleteFiles, AWildcardInADirectoryPartMatchesNothing)
{
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/*/c.mp3")), 0);
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/sub.mp?/*")), 0);
    EXPECT_TRUE(has(QStringLiteral("sub.mp3/c.mp3")));
}

TEST_F(DeleteFiles, MissingPathsAndEmptyTextDeleteNothing)
{
    EXPECT_EQ(deleteFiles(QString()), 0);
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/nothing/*.mp3")), 0);
    EXPECT_EQ(deleteFiles(root + QStringLiteral("/none.mp3")), 0);
    EXPECT_EQ(files().size(), 7);
}

} // namespace
