// How the freedb client component's settings become a look-up's: the server typed as a host, a
// host with its port or a whole address, the proxy, the identity sent and the MusicBrainz address.
#include "components/freedb/LookupSettings.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QUrlQuery>

#include "support/QtPrinters.h"

namespace corvane {
namespace {

struct ServerCase {
  const char* serverName;
  int port;
  const char* proxy;
  const char* host;
  int expectedPort;
  const char* path;
  int proxy_port;  // checked when a proxy is set
};

class CddbServer : public testing::TestWithParam<ServerCase> {};

TEST_P(CddbServer, TakesTheServerNameApart) {
  const ServerCase c = GetParam();
  std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
  client->SetServerName(QString::fromLatin1(c.serverName));
  client->SetPort(c.port);
  client->SetProxy(QString::fromLatin1(c.proxy));
  client->SetTimeout(2500);
  const CddbServerSettings settings = CddbSettingsOf(*client);
  EXPECT_EQ(settings.host, QString::fromLatin1(c.host));
  EXPECT_EQ(settings.port, c.expectedPort);
  EXPECT_EQ(settings.path, QString::fromLatin1(c.path));
  EXPECT_EQ(settings.timeout_ms, 2500);
  EXPECT_EQ(settings.proxy_host, QString::fromLatin1(c.proxy).remove(u'[').remove(u']'));
  if (*c.proxy) {
    EXPECT_EQ(settings.proxy_port, c.proxy_port);
  }
  EXPECT_EQ(LookupServiceName(*client, LookupSource::Freedb), QString::fromLatin1(c.serverName));
  EXPECT_EQ(CddbCommandUrl(settings, QStringLiteral("x")).scheme(),
            QString::fromLatin1(c.serverName).startsWith(QLatin1String("https")) ? "https" : "http");
}

const char* const kCgi = "/~cddb/cddb.cgi";

INSTANTIATE_TEST_SUITE_P(
    Names, CddbServer,
    testing::Values(ServerCase{"gnudb.gnudb.org", 80, "", "gnudb.gnudb.org", 80, kCgi, 0},
                    ServerCase{"vgmdb.net", 80, "", "vgmdb.net", 80, "/cddb/cddb.cgi", 0},
                    ServerCase{"127.0.0.1", 8123, "", "127.0.0.1", 8123, kCgi, 0},
                    ServerCase{"127.0.0.1:8123", 80, "", "127.0.0.1", 8123, kCgi, 0},
                    ServerCase{"[::1]:9000", 80, "", "::1", 9000, kCgi, 0},
                    ServerCase{"http://cddb.lan:8880/cgi/cddb", 80, "", "cddb.lan", 8880, "/cgi/cddb", 0},
                    ServerCase{"https://cddb.lan/", 80, "", "cddb.lan", 443, kCgi, 0},
                    ServerCase{"https://cddb.lan:8443", 80, "", "cddb.lan", 8443, kCgi, 0},
                    ServerCase{"cddb.lan", 0, "", "cddb.lan", 80, kCgi, 0},  // a port the proxy text spoilt
                    // Behind a proxy the stored port is the proxy's.
                    ServerCase{"cddb.lan", 3128, "cache", "cddb.lan", 80, kCgi, 3128},
                    ServerCase{"cddb.lan:8880", 3128, "[fd00::1]", "cddb.lan", 8880, kCgi, 3128}));

QString HelloOf(const IFreedbClient& client) {
  return QUrlQuery(CddbCommandUrl(CddbSettingsOf(client), QStringLiteral("cddb query")).query())
      .queryItemValue(QStringLiteral("hello"));
}

TEST(LookupSettingsTest, OnlyTheUsersOwnAddressIsSentAsTheIdentity) {
  const QString version = QString::fromLatin1(CORVANE_VERSION).section(u' ', 0, 0);
  std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
  client->SetClientName(QStringLiteral("corvane"));
  for (const char* email : {"someone@example.com", "SOMEONE@example.com ", "", "me", "@host", "me@"}) {
    client->SetClientEmail(QString::fromLatin1(email));
    EXPECT_TRUE(HelloOf(*client).startsWith(QStringLiteral("anonymous+localhost+corvane+") + version))
        << email << " " << HelloOf(*client).toStdString();
    EXPECT_EQ(MusicBrainzSettingsOf(*client).user_agent.section(u' ', 1), QStringLiteral("( anonymous )")) << email;
  }
  client->SetClientEmail(QStringLiteral(" jane@example.org "));
  EXPECT_TRUE(HelloOf(*client).startsWith(QStringLiteral("jane+example.org+corvane+") + version))
      << HelloOf(*client).toStdString();
  const QString agent = MusicBrainzSettingsOf(*client).user_agent;
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^corvane/\\S+ \\( jane@example\\.org \\)$")).match(agent).hasMatch())
      << agent.toStdString();
  EXPECT_TRUE(agent.startsWith(QStringLiteral("corvane/") + version)) << agent.toStdString();
}

struct MusicBrainzCase {
  const char* url;
  const char* base;
  const char* name;
};

class MusicBrainzAddress : public testing::TestWithParam<MusicBrainzCase> {};

TEST_P(MusicBrainzAddress, GivesBaseAndServiceName) {
  const MusicBrainzCase c = GetParam();
  std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
  client->SetMusicBrainzUrl(QString::fromLatin1(c.url));
  client->SetTimeout(4000);
  client->SetPort(3128);
  client->SetProxy(QStringLiteral("cache"));
  const MusicBrainzSettings settings = MusicBrainzSettingsOf(*client);
  EXPECT_EQ(settings.base_url, QString::fromLatin1(c.base));
  EXPECT_EQ(settings.timeout_ms, 4000);
  EXPECT_EQ(settings.proxy_host, QStringLiteral("cache"));
  EXPECT_EQ(settings.proxy_port, 3128);
  EXPECT_EQ(LookupServiceName(*client, LookupSource::MusicBrainz), QString::fromUtf8(c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Urls, MusicBrainzAddress,
    testing::Values(MusicBrainzCase{"", "https://musicbrainz.org", "MusicBrainz"},
                    MusicBrainzCase{"https://musicbrainz.org/", "https://musicbrainz.org", "MusicBrainz"},
                    MusicBrainzCase{"http://127.0.0.1:5000//", "http://127.0.0.1:5000", "MusicBrainz (127.0.0.1:5000)"},
                    MusicBrainzCase{" mb.lan ", "https://mb.lan", "MusicBrainz (mb.lan)"},
                    MusicBrainzCase{"http://[::1]:5000/mirror", "http://[::1]:5000/mirror",
                                    "MusicBrainz ([::1]:5000)"}));

TEST(LookupSettingsTest, TimeoutThatCannotWorkFallsBackToTheDefault) {
  std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
  for (int timeout : {0, -5}) {
    client->SetTimeout(timeout);
    EXPECT_EQ(CddbSettingsOf(*client).timeout_ms, 10000) << timeout;
    EXPECT_EQ(MusicBrainzSettingsOf(*client).timeout_ms, 10000) << timeout;
  }
}

}  // namespace
}  // namespace corvane
