#include "support/QtPrinters.h"

#include "controls/UserStore.h"
#include "toc/BotSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct BotSettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QProcessEnvironment environment;
    BotOptions options;

    BotSettingsTest()
    {
        options.screenName = QStringLiteral("Quill Bot");
        options.room = QStringLiteral("Music Room");
        options.owner = QStringLiteral("Owner One");
    }
    ~BotSettingsTest() override
    {
        for (const QString& key :
             {BotMode::kScreenNameKey, BotMode::kRoomKey, BotMode::kExchangeKey, BotMode::kOwnerKey})
            SaveSetting(BotMode::kBotGroup, key, QString());
        SaveSetting(BotMode::kGroup, BotMode::kVersionKey, QString());
    }

    QString file(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    // The settings, or the usage error's message.
    std::variant<HeadlessBotSettings, UsageError> resolve() { return resolveBotSettings(options, environment); }
    QString password()
    {
        const auto r = resolve();
        return std::holds_alternative<HeadlessBotSettings>(r)
            ? std::get<HeadlessBotSettings>(r).password
            : QStringLiteral("error: ") + std::get<UsageError>(r).message;
    }
};

TEST_F(BotSettingsTest, PasswordFromFileCredentialEnvironmentOrCommandLineInThatOrder)
{
    const QString credentials = dir.filePath(QStringLiteral("credentials"));
    QDir().mkpath(credentials);
    options.password = QStringLiteral("from option");
    EXPECT_EQ(password(), "from option");
    environment.insert(QStringLiteral("QUILLON_TOC_PASSWORD"), QStringLiteral("from environment"));
    EXPECT_EQ(password(), "from environment");
    // A credentials folder without our credential is passed over.
    environment.insert(QStringLiteral("CREDENTIALS_DIRECTORY"), credentials);
    EXPECT_EQ(password(), "from environment");
    file(QStringLiteral("credentials/toc-password"), "from credential\n");
    EXPECT_EQ(password(), "from credential");
    // Only the first line counts, without its line end; blanks are kept.
    options.passwordFile = file(QStringLiteral("pw"), " from file \r\nsecond line\n");
    EXPECT_EQ(password(), " from file ");

    options.passwordFile = file(QStringLiteral("empty"), "\nsecond line\n");
    EXPECT_TRUE(password().startsWith(QStringLiteral("error: the password file ")));
    options.passwordFile = dir.filePath(QStringLiteral("missing"));
    EXPECT_TRUE(password().startsWith(QStringLiteral("error: cannot read the password file ")));
    options.passwordFile.reset();
    environment.clear();
    options.password.reset();
    EXPECT_TRUE(password().startsWith(QStringLiteral("error: --bot needs a password")));
}

TEST_F(BotSettingsTest, OptionsWinOverTheStoreWithoutBeingStoredAndWhatIsMissingIsNamed)
{
    options = {};
    options.password = QStringLiteral("pw");
    const struct {
        QString key;
        const char* value;
        const char* missing;
    } keys[] = {
        {BotMode::kScreenNameKey, "Stored Bot", "--bot needs --screen-name (or the key screenname under [bot] in "},
        {BotMode::kRoomKey, "Stored Room", "--bot needs --room (or the key room under [bot] in "},
        {BotMode::kOwnerKey, "Stored Owner", "--bot needs --owner (or the key owner under [bot] in "},
    };
    for (const auto& k : keys) {
        const auto r = resolve();
        ASSERT_TRUE(std::holds_alternative<UsageError>(r)) << k.missing;
        EXPECT_TRUE(std::get<UsageError>(r).message.startsWith(QString::fromLatin1(k.missing)))
            << std::get<UsageError>(r).message.toStdString();
        SaveSetting(BotMode::kBotGroup, k.key, QString::fromLatin1(k.value));
    }
    SaveSetting(BotMode::kBotGroup, BotMode::kExchangeKey, QStringLiteral("5"));
    options.room = QStringLiteral("Music Room");
    const auto r = resolve();
    ASSERT_TRUE(std::holds_alternative<HeadlessBotSettings>(r));
    const HeadlessBotSettings& s = std::get<HeadlessBotSettings>(r);
    EXPECT_EQ(QStringList({s.screenName, s.room, s.exchange, s.owner}),
              QStringList({"Stored Bot", "Music Room", "5", "Stored Owner"}));
    EXPECT_EQ(GetSetting(BotMode::kBotGroup, BotMode::kRoomKey), "Stored Room");

    // A number that is not an exchange is refused wherever it comes from.
    SaveSetting(BotMode::kBotGroup, BotMode::kExchangeKey, QStringLiteral("five"));
    ASSERT_TRUE(std::holds_alternative<UsageError>(resolve()));
    EXPECT_EQ(std::get<UsageError>(resolve()).message,
              "the key exchange under [bot] takes a whole number from -32768 to 32767");
    for (const char* exchange : {"40000", ""}) {
        options.exchange = QString::fromLatin1(exchange);
        ASSERT_TRUE(std::holds_alternative<UsageError>(resolve())) << exchange;
        EXPECT_TRUE(std::get<UsageError>(resolve()).message.startsWith(QStringLiteral("--exchange ")));
    }
}

TEST_F(BotSettingsTest, TheTocVersionOptionWinsOverTheStoreWhichWinsOverAuto)
{
    const auto dialect = [this] {
        const auto r = resolve();
        return std::holds_alternative<HeadlessBotSettings>(r) ? std::get<HeadlessBotSettings>(r).dialect : std::nullopt;
    };
    options.password = QStringLiteral("pw");
    EXPECT_EQ(dialect(), TocDialect::Auto);
    SaveSetting(BotMode::kGroup, BotMode::kVersionKey, QStringLiteral("1"));
    EXPECT_EQ(dialect(), TocDialect::Toc1);
    options.tocVersion = QStringLiteral("2");
    EXPECT_EQ(dialect(), TocDialect::Toc2);
    EXPECT_EQ(GetSetting(BotMode::kGroup, BotMode::kVersionKey), "1");
    options.tocVersion = QStringLiteral("3");
    ASSERT_TRUE(std::holds_alternative<UsageError>(resolve()));
    EXPECT_EQ(std::get<UsageError>(resolve()).message, "--toc-version takes 1, 2 or auto");
}

}  // namespace
