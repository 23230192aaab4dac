#pragma once
#include <QString>
#include <memory>

#include "common/Result.h"

namespace corvane {

enum class FreedbErrorCode : int { Ok = 0, InvalidServer = 1 };

// What QueryFreedb's source argument selects.
enum class LookupSource : int { Freedb = 0, MusicBrainz = 1 };
using FreedbResult = Result<FreedbErrorCode>;

// The freedb client component: holds the settings a look-up uses (server, port, time-out, proxy
// and the client's identity). The grabber's QueryFreedb reads them.
class IFreedbClient {
 public:
  virtual ~IFreedbClient() = default;

  // Makes server `index` (1..10) of the built-in list current; InvalidServer outside it.
  virtual FreedbResult SelectServer(int index) = 0;
  virtual QString GetServerName() const = 0;
  virtual void SetServerName(const QString& host) = 0;
  virtual void SetPort(int port) = 0;
  virtual void SetTimeout(int milliseconds) = 0;
  // Proxy host; empty for a direct connection.
  virtual void SetProxy(const QString& host) = 0;
  virtual void SetClientEmail(const QString& email) = 0;
  virtual void SetClientName(const QString& name) = 0;
  virtual void SetClientTag(const QString& tag) = 0;
  // Base address of the MusicBrainz web service; empty for the public one.
  virtual void SetMusicBrainzUrl(const QString& url) = 0;

  virtual int GetPort() const = 0;
  virtual int GetTimeout() const = 0;
  virtual QString GetProxy() const = 0;
  virtual QString GetClientEmail() const = 0;
  virtual QString GetClientName() const = 0;
  virtual QString GetClientTag() const = 0;
  virtual QString GetMusicBrainzUrl() const = 0;
};

// The default server host, first in the list.
QString DefaultFreedbServer();
// Creates the freedb client component.
std::unique_ptr<IFreedbClient> CreateFreedbClient();

}  // namespace corvane
