// The freedb settings as stored and as the dialog shows them, and the freedb client's server
// list they are offered from.
#include "ripper/FreedbSettingsValues.h"

#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "components/IFreedbClient.h"
#include "support/QtPrinters.h"

using namespace corvane;

namespace {

const char* const kSection = keys::section::kFreeDb;

TEST(FreedbSettingsValuesTest, LoadWritesMissingNumbersAndEmptyTexts) {
  MemorySettings settings;
  settings.WriteText(kSection, keys::kClientEmail, QString());  // empty counts as missing
  settings.WriteText(kSection, keys::kProxyUrl, QStringLiteral("cache.lan"));
  settings.WriteNumber(kSection, keys::kServerUrlIndex, 3);
  const FreedbSettingsValues values = FreedbSettingsValues::Load(settings);
  for (auto [value, number] : {std::pair{keys::kAutoQuery, 0},
                               {keys::kServerUrlIndex, 3},
                               {keys::kServerPort, 80},
                               {keys::kTimeout, 10000},
                               {keys::kUseProxy, 0},
                               {keys::kFreedbSource, 0}})
    EXPECT_EQ(settings.ReadNumber(kSection, value, -77), number) << value;
  EXPECT_EQ(settings.ReadText(kSection, keys::kProxyUrl), QStringLiteral("cache.lan"));
  EXPECT_EQ(settings.ReadText(kSection, keys::kClientEmail), FreedbClientSettings::DefaultClientEmail());
  EXPECT_EQ(settings.ReadText(kSection, keys::kClientAppName), QStringLiteral("corvane"));
  EXPECT_EQ(values.ProxyText(), QStringLiteral("cache.lan:80"));
  EXPECT_EQ(values.server_index, 3);
}

struct ProxyCase {
  const char* text;
  const char* host;
  int port;
};

class ProxyText : public testing::TestWithParam<ProxyCase> {};

TEST_P(ProxyText, SplitsAtTheLastColon) {
  const ProxyCase c = GetParam();
  MemorySettings settings;
  FreedbSettingsValues values = FreedbSettingsValues::Load(settings);
  values.SetProxyText(QString::fromLatin1(c.text));
  values.Save(settings);
  EXPECT_EQ(settings.ReadText(kSection, keys::kProxyUrl), QString::fromLatin1(c.host));
  EXPECT_EQ(settings.ReadNumber(kSection, keys::kServerPort, -77), c.port);
}

INSTANTIATE_TEST_SUITE_P(Texts, ProxyText,
                         testing::Values(ProxyCase{"cache:8080", "cache", 8080}, ProxyCase{"cache", "cache", 80},
                                         ProxyCase{"cache:x", "cache", 0}, ProxyCase{"cache:", "cache", 0},
                                         ProxyCase{"cache:70000", "cache", 0}, ProxyCase{"cache:-1", "cache", 0},
                                         ProxyCase{"[::1]:3128", "[::1]", 3128},
                                         ProxyCase{" cache : 81 ", "cache", 81}));

TEST(FreedbSettingsValuesTest, SaveWritesTheDialogsValuesOnly) {
  MemorySettings settings;
  FreedbSettingsValues values = FreedbSettingsValues::Load(settings);
  values.auto_query = true;
  values.server_index = 2;
  values.use_proxy = true;
  values.client_email = QStringLiteral("me@example.org");
  values.timeout_ms = 5;
  values.client_name = QStringLiteral("other");
  values.Save(settings);
  EXPECT_EQ(settings.ReadNumber(kSection, keys::kAutoQuery, -77), 1);
  EXPECT_EQ(settings.ReadNumber(kSection, keys::kServerUrlIndex, -77), 2);
  EXPECT_EQ(settings.ReadNumber(kSection, keys::kUseProxy, -77), 1);
  EXPECT_EQ(settings.ReadText(kSection, keys::kClientEmail), QStringLiteral("me@example.org"));
  EXPECT_EQ(settings.ReadNumber(kSection, keys::kTimeout, -77), 10000);
  EXPECT_EQ(settings.ReadText(kSection, keys::kClientAppName), QStringLiteral("corvane"));
}

TEST(FreedbSettingsValuesTest, ServiceAndOwnServersRoundTripTrimmed) {
  MemorySettings settings;
  FreedbSettingsValues values = FreedbSettingsValues::Load(settings);
  EXPECT_EQ(values.freedb_source, 0);
  EXPECT_TRUE(values.server_name.isEmpty());
  EXPECT_TRUE(values.musicbrainz_url.isEmpty());
  values.freedb_source = 1;
  values.server_name = QStringLiteral("  127.0.0.1:8123 ");
  values.musicbrainz_url = QStringLiteral(" http://mb.lan:5000\t");
  values.Save(settings);
  EXPECT_EQ(settings.ReadNumber(kSection, keys::kFreedbSource, -77), 1);
  EXPECT_EQ(settings.ReadText(kSection, keys::kServerName), QStringLiteral("127.0.0.1:8123"));
  EXPECT_EQ(settings.ReadText(kSection, keys::kMusicBrainzUrl), QStringLiteral("http://mb.lan:5000"));
  const FreedbSettingsValues again = FreedbSettingsValues::Load(settings);
  EXPECT_EQ(again.freedb_source, 1);
  EXPECT_EQ(again.server_name, QStringLiteral("127.0.0.1:8123"));
  EXPECT_EQ(again.musicbrainz_url, QStringLiteral("http://mb.lan:5000"));
}

struct ServerChoice {
  int index;
  const char* serverName;
  int listedAs;  // 0: the default server, -1: the server name, else that server of the list
};

class ApplyToServer : public testing::TestWithParam<ServerChoice> {};

TEST_P(ApplyToServer, PicksListedOwnOrDefaultServer) {
  const ServerChoice c = GetParam();
  std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
  client->SetServerName(QStringLiteral("stale.lan"));
  FreedbSettingsValues values;
  values.server_index = c.index;
  values.server_name = QString::fromLatin1(c.serverName);
  values.ApplyTo(*client);
  QString expected = c.listedAs == 0 ? DefaultFreedbServer() : QString::fromLatin1(c.serverName).trimmed();
  if (c.listedAs > 0) {
    std::unique_ptr<IFreedbClient> listed = CreateFreedbClient();
    ASSERT_TRUE(listed->SelectServer(c.listedAs).Succeeded());
    expected = listed->GetServerName();
  }
  EXPECT_EQ(client->GetServerName(), expected);
}

INSTANTIATE_TEST_SUITE_P(Indexes, ApplyToServer,
                         testing::Values(ServerChoice{0, "", 0}, ServerChoice{0, " cddb.lan ", -1},
                                         ServerChoice{2, "", 2}, ServerChoice{2, "cddb.lan", 2},
                                         ServerChoice{11, "", 0}, ServerChoice{11, "cddb.lan", -1},
                                         ServerChoice{-4, "cddb.lan", -1}));

TEST(FreedbSettingsValuesTest, ApplyToHandsOverEverySettingWithAFreshTag) {
  std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
  FreedbSettingsValues values;
  values.server_port = 8123;
  values.timeout_ms = 2500;
  values.client_email = QStringLiteral("me@example.org");
  values.client_name = QStringLiteral("corvane");
  values.proxy_host = QStringLiteral("cache");
  values.musicbrainz_url = QStringLiteral(" http://127.0.0.1:5000 ");
  values.use_proxy = false;
  values.ApplyTo(*client);
  EXPECT_EQ(client->GetPort(), 8123);
  EXPECT_EQ(client->GetTimeout(), 2500);
  EXPECT_EQ(client->GetClientEmail(), QStringLiteral("me@example.org"));
  EXPECT_EQ(client->GetClientName(), QStringLiteral("corvane"));
  EXPECT_TRUE(client->GetProxy().isEmpty());
  EXPECT_EQ(client->GetMusicBrainzUrl(), QStringLiteral("http://127.0.0.1:5000"));
  const QString firstTag = client->GetClientTag();

  values.use_proxy = true;
  values.ApplyTo(*client);
  EXPECT_EQ(client->GetProxy(), QStringLiteral("cache"));
  const QString secondTag = client->GetClientTag();
  for (const QString& tag : {firstTag, secondTag}) {
    bool decimal = false;
    tag.toULongLong(&decimal);
    EXPECT_TRUE(decimal && !tag.startsWith(u'-') && !tag.startsWith(u'+')) << tag.toStdString();
  }
  EXPECT_NE(firstTag, secondTag);
}

TEST(FreedbClientTest, ServerListOffersLiveServersByPosition) {
  std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
  ASSERT_TRUE(client);
  EXPECT_EQ(DefaultFreedbServer(), QStringLiteral("gnudb.gnudb.org"));
  EXPECT_EQ(client->GetServerName(), DefaultFreedbServer());
  EXPECT_EQ(client->GetPort(), 80);
  EXPECT_EQ(client->GetTimeout(), 10000);
  EXPECT_TRUE(client->GetProxy().isEmpty());

  ASSERT_TRUE(client->SelectServer(1).Succeeded());
  EXPECT_EQ(client->GetServerName(), DefaultFreedbServer());  // the default comes first
  client->SetServerName(QStringLiteral("cddb.lan"));
  for (int index : {0, 11, -1}) EXPECT_EQ(client->SelectServer(index).code, FreedbErrorCode::InvalidServer) << index;
  EXPECT_EQ(client->GetServerName(), QStringLiteral("cddb.lan"));  // a refused index changes nothing

  // The server box: the default, then servers 1..10 by position; the client's choice stays.
  const QStringList entries = FreedbSettingsValues::ServerEntries(*client);
  ASSERT_EQ(entries.size(), 11);
  EXPECT_EQ(entries.front(), DefaultFreedbServer());
  for (int index = 1; index <= 10; ++index) {
    std::unique_ptr<IFreedbClient> other = CreateFreedbClient();
    ASSERT_TRUE(other->SelectServer(index).Succeeded());
    EXPECT_EQ(entries[index], other->GetServerName()) << index;
  }
  EXPECT_EQ(client->GetServerName(), QStringLiteral("cddb.lan"));
  // Servers that closed down are not offered.
  EXPECT_TRUE(entries.filter(QStringLiteral("freedb.org")).isEmpty()) << entries.join(u' ').toStdString();
}

}  // namespace
