#include "ripper/FreedbSettingsValues.h"

#include <chrono>
#include <cstdint>
#include <random>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "components/IFreedbClient.h"

namespace corvane {
namespace {
const char* const kSection = keys::section::kFreeDb;
constexpr int kHighestPort = 65535;
constexpr int kListedServers = 10;

std::uint32_t NowForSeed() {
  return static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

// A fresh number for each look-up: drawn once from the clock, then three more times from a
// generator seeded with the clock mixed with the previous draw.
QString FreshClientTag() {
  std::mt19937 generator(NowForSeed());
  std::uint32_t r = generator();
  for (int round = 0; round < 3; ++round) {
    generator.seed(NowForSeed() * r);
    r = generator();
  }
  return QString::number(r);
}
}  // namespace

FreedbSettingsValues FreedbSettingsValues::Load(SettingsStore& settings) {
  FreedbSettingsValues v;
  v.auto_query = settings.ReadNumberOrStore(kSection, keys::kAutoQuery, 0) != 0;
  v.server_index = settings.ReadNumberOrStore(kSection, keys::kServerUrlIndex, 0);
  v.server_port = settings.ReadNumberOrStore(kSection, keys::kServerPort, FreedbClientSettings::kDefaultPort);
  v.timeout_ms = settings.ReadNumberOrStore(kSection, keys::kTimeout, FreedbClientSettings::kDefaultTimeoutMs);
  v.use_proxy = settings.ReadNumberOrStore(kSection, keys::kUseProxy, 0) != 0;
  v.proxy_host = settings.ReadTextOrStore(kSection, keys::kProxyUrl, FreedbClientSettings::DefaultProxyHost());
  v.client_email = settings.ReadTextOrStore(kSection, keys::kClientEmail, FreedbClientSettings::DefaultClientEmail());
  v.client_name = settings.ReadTextOrStore(kSection, keys::kClientAppName, FreedbClientSettings::DefaultClientName());
  v.freedb_source = settings.ReadNumberOrStore(kSection, keys::kFreedbSource, 0);
  v.server_name = settings.ReadText(kSection, keys::kServerName).trimmed();
  v.musicbrainz_url = settings.ReadText(kSection, keys::kMusicBrainzUrl).trimmed();
  return v;
}

void FreedbSettingsValues::Save(SettingsStore& settings) const {
  settings.WriteNumber(kSection, keys::kAutoQuery, auto_query ? 1 : 0);
  settings.WriteNumber(kSection, keys::kServerUrlIndex, server_index);
  settings.WriteNumber(kSection, keys::kUseProxy, use_proxy ? 1 : 0);
  settings.WriteText(kSection, keys::kProxyUrl, proxy_host);
  settings.WriteNumber(kSection, keys::kServerPort, server_port);
  settings.WriteText(kSection, keys::kClientEmail, client_email);
  settings.WriteNumber(kSection, keys::kFreedbSource, freedb_source);
  settings.WriteText(kSection, keys::kServerName, server_name.trimmed());
  settings.WriteText(kSection, keys::kMusicBrainzUrl, musicbrainz_url.trimmed());
}

void FreedbSettingsValues::ApplyTo(IFreedbClient& client) const {
  const bool listed =
      server_index >= 1 && server_index <= kListedServers && client.SelectServer(server_index).Succeeded();
  if (!listed) {
    const QString own = server_name.trimmed();
    client.SetServerName(own.isEmpty() ? DefaultFreedbServer() : own);
  }
  client.SetPort(server_port);
  client.SetTimeout(timeout_ms);
  client.SetClientEmail(client_email);
  client.SetClientName(client_name);
  client.SetClientTag(FreshClientTag());
  client.SetProxy(use_proxy ? proxy_host : QString());
  client.SetMusicBrainzUrl(musicbrainz_url.trimmed());
}

QString FreedbSettingsValues::ProxyText() const { return QStringLiteral("%1:%2").arg(proxy_host).arg(server_port); }

void FreedbSettingsValues::SetProxyText(const QString& text) {
  const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
  if (colon < 0) {
    proxy_host = text.trimmed();
    server_port = FreedbClientSettings::kDefaultPort;
    return;
  }
  proxy_host = text.left(colon).trimmed();
  bool isNumber = false;
  const int port = text.mid(colon + 1).trimmed().toInt(&isNumber);
  server_port = isNumber && port >= 0 && port <= kHighestPort ? port : 0;
}

QStringList FreedbSettingsValues::ServerEntries(IFreedbClient& client) {
  const QString current = client.GetServerName();
  QStringList entries{DefaultFreedbServer()};
  for (int i = 1; i <= kListedServers; ++i) {
    // Box position i stands for server i, so a slot the client refuses keeps its place.
    entries << (client.SelectServer(i).Succeeded() ? client.GetServerName() : DefaultFreedbServer());
  }
  client.SetServerName(current);
  return entries;
}

}  // namespace corvane
