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
    BotOptions options {QStringLiteral("Quill Bot"), QStringLiteral("Music Room"), {}, QStringLiteral("Owner One")};

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
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return f.fileName();
    }
    // The settings; a usage error fails the test.
    HeadlessBotSettings settings()
    {
        auto r = resolveBotSettings(options, environment);
        EXPECT_TRUE(std::holds_alternative<HeadlessBotSettings>(r)) << std::get<UsageError>(r).message.toStdString();
        return std::holds_alternative<HeadlessBotSettings>(r) ? std::get<HeadlessBotSettings>(std::move(r))
                                                              : HeadlessBotSettings {};
    }
    // The usage error's message; empty when the settings are whole.
    QString error()
    {
        const auto r = resolveBotSettings(options, environment);
        return std::holds_alternative<UsageError>(r) ? std::get<UsageError>(r).message : QString();
    }
};

TEST_F(BotSettingsTest, PasswordFromFileCredentialEnvironmentOrCommandLineInThatOrder)
{
    const QString credentials = dir.filePath(QStringLiteral("credentials"));
    QDir().mkpath(credentials);
    options.password = QStringLiteral("from option");
    EXPECT_EQ(settings().password, "from option");
    environment.insert(QStringLiteral("QUILLON_TOC_PASSWORD"), QStringLiteral("from environment"));
    EXPECT_EQ(settings().password, "from environment");
    // A credentials folder without our credential is passed over.
    environment.insert(QStringLiteral("CREDENTIALS_DIRECTORY"), credentials);
    EXPECT_EQ(settings().password, "from environment");
    file(QStringLiteral("credentials/toc-password"), "from credential\n");
    EXPECT_EQ(settings().password, "from credential");
    // Only the first line counts, without its line end; blanks are kept.
    options.passwordFile = file(QStringLiteral("pw"), " from file \r\nsecond line\n");
    EXPECT_EQ(settings().password, " from file ");

    options.passwordFile = file(QStringLiteral("empty"), "\nsecond line\n");
    EXPECT_TRUE(error().startsWith(QStringLiteral("the password file "))) << error().toStdString();
    options.passwordFile = dir.filePath(QStringLiteral("missing"));
    EXPECT_TRUE(error().startsWith(QStringLiteral("cannot read the password file "))) << error().toStdString();
    options.passwordFile.reset();
    environment.clear();
    options.password.reset();
    EXPECT_TRUE(error().startsWith(QStringLiteral("--bot needs a password"))) << error().toStdString();
}

TEST_F(BotSettingsTest, OptionsWinOverTheStoreWithoutBeingStoredAndWhatIsMissingIsNamed)
{
    options = {};
    options.password = QStringLiteral("pw");
    const std::pair<QString, const char*> keys[] = {
        {BotMode::kScreenNameKey, "--bot needs --screen-name (or the key screenname under [bot] in "},
        {BotMode::kRoomKey, "--bot needs --room (or the key room under [bot] in "},
        {BotMode::kOwnerKey, "--bot needs --owner (or the key owner under [bot] in "},
    };
    for (const auto& [key, missing] : keys) {
        EXPECT_TRUE(error().startsWith(QString::fromLatin1(missing))) << error().toStdString();
        SaveSetting(BotMode::kBotGroup, key, QStringLiteral("Stored ") + key);
    }
    SaveSetting(BotMode::kBotGroup, BotMode::kExchangeKey, QStringLiteral("5"));
    options.room = QStringLiteral("Music Room");
    const HeadlessBotSettings s = settings();
    EXPECT_EQ(QStringList({s.screenName, s.room, s.exchange, s.owner, tocDialectText(*s.dialect)}),
              QStringList({"Stored screenname", "Music Room", "5", "Stored owner", "auto"}));
    EXPECT_EQ(GetSetting(BotMode::kBotGroup, BotMode::kRoomKey), "Stored room");

    // The version option wins over the store, which wins over auto.
    SaveSetting(BotMode::kGroup, BotMode::kVersionKey, QStringLiteral("1"));
    EXPECT_EQ(settings().dialect, TocDialect::Toc1);
    options.tocVersion = QStringLiteral("2");
    EXPECT_EQ(settings().dialect, TocDialect::Toc2);
    options.tocVersion = QStringLiteral("3");
    EXPECT_EQ(error(), "--toc-version takes 1, 2 or auto");

    // A number that is not an exchange is refused wherever it comes from.
    options.tocVersion.reset();
    SaveSetting(BotMode::kBotGroup, BotMode::kExchangeKey, QStringLiteral("five"));
    EXPECT_EQ(error(), "the key exchange under [bot] takes a whole number from -32768 to 32767");
    for (const char* exchange : {"40000", ""}) {
        options.exchange = QString::fromLatin1(exchange);
        EXPECT_TRUE(error().startsWith(QStringLiteral("--exchange "))) << exchange;
    }
}

}  // namespace
