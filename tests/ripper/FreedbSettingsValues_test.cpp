// The freedb settings as stored and as the dialog shows them, and the freedb client's server
// list they are offered from.
#include "ripper/FreedbSettingsValues.h"

#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "components/IFreedbClient.h"

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
  EXPECT_EQ(settings.ReadText(kSection, keys::kClientEmail), FreedbSettingsValues::DefaultClientEmail());
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
