#include "components/freedb/LookupSettings.h"

#include <QUrl>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/freedb/FreedbClientSettings.h"

namespace corvane {
namespace {

constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;
constexpr int kHighestPort = 65535;

QString PublicMusicBrainz() { return QStringLiteral("https://musicbrainz.org"); }

// The version as one token (the user agent and the hello both split at spaces).
QString VersionToken() { return QString::fromLatin1(CORVANE_VERSION).simplified().replace(u' ', u'-'); }

int PortOr80(int port) { return port >= 1 && port <= kHighestPort ? port : kHttpPort; }

// A stored time-out of zero or less would end every look-up at once.
int TimeoutOf(const IFreedbClient& client) {
  return client.GetTimeout() > 0 ? client.GetTimeout() : FreedbClientSettings::kDefaultTimeoutMs;
}

// What the user typed as the server: a host, "host:port", "[v6 address]:port" or a whole
// http(s) address with a path of its own. Text that is no address at all stays the host, so
// the look-up fails on it visibly instead of going somewhere else.
struct ServerAddress {
  QString host;
  int port = -1;  // -1: none given
  QString path;   // empty: none given
  bool https = false;
};

ServerAddress ParseServer(const QString& text) {
  const QString trimmed = text.trimmed();
  const bool hasScheme = trimmed.contains(QLatin1String("://"));
  const QUrl url(hasScheme ? trimmed : QStringLiteral("http://") + trimmed, QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty()) return {trimmed, -1, {}};
  ServerAddress address{url.host(), url.port(), url.path()};
  address.https = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
  if (address.port < 0 && address.https) address.port = kHttpsPort;
  if (address.path == QLatin1String("/")) address.path.clear();
  return address;
}

// The proxy as the client holds it: a host, possibly a bracketed IPv6 address.
QString ProxyHost(const IFreedbClient& client) {
  QString host = client.GetProxy().trimmed();
  if (host.startsWith(u'[') && host.endsWith(u']')) host = host.mid(1, host.size() - 2);
  return host;
}

// An address the user gave: neither empty nor the placeholder the settings start with.
bool IsUsersAddress(const QString& email) {
  const QString trimmed = email.trimmed();
  const qsizetype at = trimmed.indexOf(u'@');
  return at > 0 && at < trimmed.size() - 1 &&
         trimmed.compare(FreedbClientSettings::DefaultClientEmail(), Qt::CaseInsensitive) != 0;
}

QUrl MusicBrainzBase(const IFreedbClient& client) {
  QString base = client.GetMusicBrainzUrl().trimmed();
  if (base.isEmpty()) base = PublicMusicBrainz();
  if (!base.contains(QLatin1String("://"))) base.prepend(QStringLiteral("https://"));
  while (base.endsWith(u'/')) base.chop(1);
  return QUrl(base);
}

bool IsPublicMusicBrainz(const QUrl& base) {
  return base.host().compare(QLatin1String("musicbrainz.org"), Qt::CaseInsensitive) == 0 &&
         (base.port() < 0 || base.port() == kHttpsPort);
}

}  // namespace

// "Server Port" is the port the settings dialog shows after the proxy host. With a proxy it is
// the proxy's port and the server is reached on the port written in its name, else 80 (443 for
// an https address); without a proxy it is the server's port unless the name carries one.
CddbServerSettings CddbSettingsOf(const IFreedbClient& client) {
  CddbServerSettings settings;
  const ServerAddress server = ParseServer(client.GetServerName());
  settings.host = server.host;
  settings.https = server.https;
  settings.proxy_host = ProxyHost(client);
  if (settings.proxy_host.isEmpty()) {
    settings.port = server.port >= 0 ? server.port : PortOr80(client.GetPort());
  } else {
    settings.proxy_port = PortOr80(client.GetPort());
    settings.port = server.port >= 0 ? server.port : kHttpPort;
  }
  if (!server.path.isEmpty())
    settings.path = server.path;
  else if (server.host.compare(QLatin1String("vgmdb.net"), Qt::CaseInsensitive) == 0)
    settings.path = QStringLiteral("/cddb/cddb.cgi");
  settings.timeout_ms = TimeoutOf(client);
  // Without an address of the user's own the hello goes out anonymous, never with the
  // placeholder as though it were someone's.
  settings.email = IsUsersAddress(client.GetClientEmail()) ? client.GetClientEmail().trimmed() : QString();
  settings.client_name = client.GetClientName();
  settings.client_version = VersionToken();
  return settings;
}

MusicBrainzSettings MusicBrainzSettingsOf(const IFreedbClient& client) {
  MusicBrainzSettings settings;
  settings.base_url = MusicBrainzBase(client).toString();
  settings.timeout_ms = TimeoutOf(client);
  settings.proxy_host = ProxyHost(client);
  settings.proxy_port = PortOr80(client.GetPort());
  const QString contact =
      IsUsersAddress(client.GetClientEmail()) ? client.GetClientEmail().trimmed() : QStringLiteral("anonymous");
  settings.user_agent =
      QStringLiteral("%1/%2 ( %3 )").arg(FreedbClientSettings::DefaultClientName(), VersionToken(), contact);
  return settings;
}

QString LookupServiceName(const IFreedbClient& client, LookupSource source) {
  if (source != LookupSource::MusicBrainz) return client.GetServerName();
  const QUrl base = MusicBrainzBase(client);
  if (IsPublicMusicBrainz(base)) return StringTable::Text(text::kMusicBrainzName);
  QString host = base.host().contains(u':') ? u'[' + base.host() + u']' : base.host();
  if (base.port() >= 0) host += u':' + QString::number(base.port());
  return StringTable::Format(text::kMusicBrainzAtHost, {base.host().isEmpty() ? base.toString() : host});
}

}  // namespace corvane
