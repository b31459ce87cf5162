#include "support/SmallDisk.h"
#include "toc/WaitFor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int kTimeoutMs = 30000;

// The built program in a terminal room, with its files in a folder of its
// own; the owner is "Owner". Every line the scanner reads is logged, so a
// test can wait until a line has been read before it types the next one.
class HeadlessRoom : public testing::Test {
protected:
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QProcess quillon;
    QByteArray out;
    QByteArray err;

    void SetUp() override
    {
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillon.scan.debug=true"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        QObject::connect(&quillon, &QProcess::readyReadStandardOutput,
                         [this] { out += quillon.readAllStandardOutput(); });
        QObject::connect(&quillon, &QProcess::readyReadStandardError,
                         [this] { err += quillon.readAllStandardError(); });
    }

    void TearDown() override
    {
        quillon.kill();
        quillon.waitForFinished(5000);
        if (HasFailure())
            std::fprintf(stderr, "stdout:\n%s\nstderr:\n%s\n", out.constData(), err.constData());
    }

    void start()
    {
        quillon.setProcessEnvironment(env);
        quillon.start(QStringLiteral(QUILLON_BINARY),
                      {QStringLiteral("--headless"), QStringLiteral("--screen-name"), QStringLiteral("Owner")});
        ASSERT_TRUE(quillon.waitForStarted(kTimeoutMs));
    }
    // Starts and waits until the start line has made "Owner" the owner.
    void startOwned()
    {
        ASSERT_NO_FATAL_FAILURE(start());
        ASSERT_TRUE(printed("found screen name [Owner]"));
    }
    void type(const QString& line) { quillon.write(line.toUtf8() + '\n'); }
    bool printed(const QByteArray& text)
    {
        return waitFor([&] { return out.contains(text); }, kTimeoutMs);
    }
    bool logged(const QByteArray& text)
    {
        return waitFor([&] { return err.contains(text); }, kTimeoutMs);
    }
    // Types the line and waits until the scanner has read it, with its speaker.
    bool said(const QString& line, const QByteArray& asRead)
    {
        type(line);
        return logged("quillon.scan: said by " + asRead);
    }
    bool endsWith(int status)
    {
        quillon.closeWriteChannel();
        return quillon.waitForFinished(kTimeoutMs) && quillon.exitStatus() == QProcess::NormalExit
            && quillon.exitCode() == status;
    }
    // A path as the owner types it in the room.
    static QString typed(QString path) { return path.replace(u'/', u'\\'); }
    // A folder of empty songs, as many as asked.
    QString music(int songs)
    {
        const QString dir = home.path() + QStringLiteral("/music");
        QDir().mkpath(dir);
        for (int i = 1; i <= songs; ++i)
            QFile(dir + QStringLiteral("/song number %1 with a long name.mp3").arg(i)).open(QIODevice::WriteOnly);
        return dir;
    }
    QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(HeadlessRoom, AKillSoonAfterAChangeKeepsTheChange)
{
    ASSERT_NO_FATAL_FAILURE(startOwned());
    type(QStringLiteral("dir ") + typed(music(300)));
    ASSERT_TRUE(printed("F</b>iles:300"));
    const QString playlist = home.path() + QStringLiteral("/data/quillon/playlist.txt");
    const QString settings = home.path() + QStringLiteral("/config/quillon/settings.quillon");
    ASSERT_TRUE(
        waitFor([&] { return read(playlist).count('\n') == 300 && read(settings) == "[loads]:2\r\n"; }, kTimeoutMs));
    ::kill(pid_t(quillon.processId()), SIGKILL);
    ASSERT_TRUE(quillon.waitForFinished(kTimeoutMs));
    EXPECT_EQ(read(playlist).count("with a long name;"), 300);
    EXPECT_EQ(read(settings), "[loads]:2\r\n");
}

// The disk is full from the start: every write of the playlist fails and
// says why, the old playlist stays whole, and the run ends with status 1
// after the rest of its shut-down.
TEST_F(HeadlessRoom, AFileThatCannotBeWrittenIsSaidAndFailsTheRun)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
    const QString playlist = disk.path() + QStringLiteral("/quillon/playlist.txt");
    ASSERT_TRUE(QDir().mkpath(disk.path() + QStringLiteral("/quillon")));
    QFile old(playlist);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old;/old.mp3\r\n");
    old.close();
    QFile filler(disk.path() + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'f')) > 0) {
    }
    filler.close();
    env.insert(QStringLiteral("XDG_DATA_HOME"), disk.path());

    ASSERT_NO_FATAL_FAILURE(startOwned());
    type(QStringLiteral("dir ") + typed(music(300)));
    ASSERT_TRUE(printed("F</b>iles:301"));
    const QByteArray said = "quillon: Cannot write " + playlist.toUtf8() + ": No space left on device\n";
    EXPECT_TRUE(logged(said));
    EXPECT_TRUE(endsWith(1));
    EXPECT_TRUE(out.contains("unloaded."));
    EXPECT_EQ(err.count(said), 2);
    EXPECT_EQ(read(playlist), "old;/old.mp3\r\n");
}

TEST_F(HeadlessRoom, AMemberCannotSpeakForTheOwner)
{
    ASSERT_NO_FATAL_FAILURE(startOwned());
    const QString victim = home.path() + QStringLiteral("/victim");
    ASSERT_TRUE(QFile(victim).open(QIODevice::WriteOnly));

    ASSERT_TRUE(
        said(QStringLiteral("/as Eve: hello<BR>Owner: del ") + typed(victim), "Eve | hello&lt;BR&gt;Owner: del "));
    ASSERT_TRUE(said(QStringLiteral("/as Eve: x<BR><B>Owner</B>: end"), "Eve | x&lt;BR&gt;&lt;B&gt;Owner"));
    type(QStringLiteral("ver"));
    EXPECT_TRUE(printed("Quillon 3.2"));
    EXPECT_TRUE(QFile::exists(victim));
    EXPECT_TRUE(endsWith(0));
}

TEST_F(HeadlessRoom, TheOwnerCannotIgnoreHimself)
{
    ASSERT_NO_FATAL_FAILURE(startOwned());
    ASSERT_TRUE(said(QStringLiteral("/as Bob: hi"), "Bob | hi"));
    // "Owner" is listed first and holds an "e".
    type(QStringLiteral("unx e"));
    ASSERT_TRUE(printed("UnIgnored"));
    type(QStringLiteral("ver"));
    EXPECT_TRUE(printed("Quillon 3.2"));
}

TEST_F(HeadlessRoom, FindSnFindsTheOwnerAfterTheStartLineWasMissed)
{
    ASSERT_NO_FATAL_FAILURE(start());
    // Said before the first look at the room, this line hides the start line.
    type(QStringLiteral("hello"));
    ASSERT_TRUE(logged("quillon.scan: said by Owner | hello"));
    type(QStringLiteral("/find-sn"));
    EXPECT_TRUE(printed("] Finding SN"));
    EXPECT_TRUE(printed("Found Screen Name: Owner"));
    type(QStringLiteral("ver"));
    EXPECT_TRUE(printed("Quillon 3.2"));
}

TEST_F(HeadlessRoom, ASearchWithSeveralHitsDoesNotHoldUpTheNextOne)
{
    ASSERT_TRUE(QDir().mkpath(home.path() + QStringLiteral("/data/quillon")));
    QFile playlist(home.path() + QStringLiteral("/data/quillon/playlist.txt"));
    ASSERT_TRUE(playlist.open(QIODevice::WriteOnly));
    playlist.write("alpha one;/no/alpha one.mp3\r\nalpha two;/no/alpha two.mp3\r\nbeta;/no/beta.mp3\r\n");
    playlist.close();
    ASSERT_NO_FATAL_FAILURE(startOwned());
    type(QStringLiteral("p alpha"));
    ASSERT_TRUE(printed("2</b> Files Found, Select One."));
    // No one can pick in a terminal: the owner narrows the search instead.
    type(QStringLiteral("p beta"));
    EXPECT_TRUE(printed("beta</U>"));
}

TEST_F(HeadlessRoom, RelativeXdgPathsAreIgnoredByEveryFile)
{
    const QString cwd = home.path() + QStringLiteral("/cwd");
    ASSERT_TRUE(QDir().mkpath(cwd));
    quillon.setWorkingDirectory(cwd);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("relative/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("relative/data"));
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_TRUE(endsWith(0));
    for (const char* file :
         {"/.config/quillon/settings.quillon", "/.config/quillon/quillon.conf", "/.local/share/quillon/playlist.txt"})
        EXPECT_TRUE(QFile::exists(home.path() + QLatin1String(file))) << file;
    EXPECT_EQ(QDir(cwd).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

}  // namespace
