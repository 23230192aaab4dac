#pragma once
#include <QString>
#include <QStringList>

#include "components/freedb/FreedbClientSettings.h"

namespace corvane {

class IFreedbClient;
class SettingsStore;

// The "FreeDB Setting" values that the "FreeDB Settings" dialog and the freedb look-up read, with
// the client's defaults (FreedbClientSettings). Load writes every missing value back with its
// default (and an empty proxy host, e-mail address or client name too); Save writes the values
// the dialog edits.
struct FreedbSettingsValues {
  bool auto_query = false;
  int server_index = 0;  // position in the server box: 0 the default server, 1..10 the list
  int server_port = FreedbClientSettings::kDefaultPort;
  int timeout_ms = FreedbClientSettings::kDefaultTimeoutMs;
  bool use_proxy = false;
  QString proxy_host;
  QString client_email;
  QString client_name;
  int freedb_source = 0;    // 0 the freedb-compatible server, 1 MusicBrainz
  QString server_name;      // empty: the default server
  QString musicbrainz_url;  // empty: the public service

  static FreedbSettingsValues Load(SettingsStore& settings);
  // Writes "Auto Query", "Server URL Index", "Use Proxy", "Proxy URL", "Server Port",
  // "Client Email", "Freedb Source", "Server Name" and "MusicBrainz URL" (the last two trimmed).
  void Save(SettingsStore& settings) const;

  // Hands the values to the freedb client before a look-up: the server (a listed one, or the
  // user's own "Server Name", or the default), port, time-out, identity with a fresh client tag,
  // the proxy when it is on, and the MusicBrainz address.
  void ApplyTo(IFreedbClient& client) const;

  // "host:port", as the proxy edit shows it.
  QString ProxyText() const;
  // Takes the proxy edit's text apart at its last ":". Without one the whole text is the host
  // and the port is 80; a port part that is not a port number (0..65535) gives port 0.
  void SetProxyText(const QString& text);

  // The entries of the server box: the default server, then servers 1..10 of the client's list.
  // The client's current server is left as it was.
  static QStringList ServerEntries(IFreedbClient& client);
};

}  // namespace corvane
