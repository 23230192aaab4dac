#pragma once
#include "components/IFreedbClient.h"

namespace corvane {

// The freedb client component's settings: the server (one of a fixed list or any host the user
// names), port, time-out, proxy and the identity sent with every look-up.
class FreedbClientSettings final : public IFreedbClient {
 public:
  static constexpr int kServerSlots = 10;
  static constexpr int kDefaultPort = 80;
  static constexpr int kDefaultTimeoutMs = 10000;
  // What the settings hold until the user gives their own.
  static QString DefaultProxyHost() { return QStringLiteral("proxy.example.com"); }
  static QString DefaultClientEmail() { return QStringLiteral("someone@example.com"); }
  static QString DefaultClientName() { return QStringLiteral("corvane"); }

  FreedbResult SelectServer(int index) override;
  QString GetServerName() const override { return server_; }
  void SetServerName(const QString& host) override { server_ = host; }
  void SetPort(int port) override { port_ = port; }
  void SetTimeout(int milliseconds) override { timeout_ms_ = milliseconds; }
  void SetProxy(const QString& host) override { proxy_ = host; }
  void SetClientEmail(const QString& email) override { email_ = email; }
  void SetClientName(const QString& name) override { name_ = name; }
  void SetClientTag(const QString& tag) override { tag_ = tag; }
  void SetMusicBrainzUrl(const QString& url) override { musicbrainz_url_ = url; }

  int GetPort() const override { return port_; }
  int GetTimeout() const override { return timeout_ms_; }
  QString GetProxy() const override { return proxy_; }
  QString GetClientEmail() const override { return email_; }
  QString GetClientName() const override { return name_; }
  QString GetClientTag() const override { return tag_; }
  QString GetMusicBrainzUrl() const override { return musicbrainz_url_; }

 private:
  QString server_ = DefaultFreedbServer();
  int port_ = kDefaultPort;
  int timeout_ms_ = kDefaultTimeoutMs;
  QString proxy_;
  QString email_;
  QString name_;
  QString tag_;
  QString musicbrainz_url_;
};

}  // namespace corvane
