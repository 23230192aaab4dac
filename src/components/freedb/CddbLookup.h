#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include "components/freedb/CddbEntry.h"
#include "components/freedb/FreedbClientSettings.h"

namespace corvane {

class BoundedGet;
struct BoundedAnswer;

// Where a look-up stands. The first two are progress; the last three end the look-up.
enum class CddbLookupState : int { Failed = -1, NoMatch = -2, Connecting = 1, Querying = 2, Found = 3 };

struct CddbServerSettings {
  QString host;
  int port = 80;       // 443 speaks HTTPS
  bool https = false;  // HTTPS on another port
  QString path = QStringLiteral("/~cddb/cddb.cgi");
  int timeout_ms =
      FreedbClientSettings::kDefaultTimeoutMs;  // one deadline for the whole look-up, both requests included
  QString proxy_host;                           // empty: a direct connection
  int proxy_port = 80;
  QString email;  // its two halves are the user and host of the hello
  QString client_name;
  QString client_version;
};

// The URL of one CDDB command on the server, the hello and protocol level 6 included.
QUrl CddbCommandUrl(const CddbServerSettings& settings, const QString& command);

// Looks a disc up on a freedb-compatible server over HTTP: a query, then a read of its first match.
// Runs on the event loop of the thread that owns it; each look-up reports Connecting, then
// Querying once the query is sent, then exactly one final state through finished().
class CddbLookup final : public QObject {
  Q_OBJECT
 public:
  static constexpr qint64 kMaxAnswerBytes = 1 << 20;

  explicit CddbLookup(QObject* parent = nullptr);
  ~CddbLookup() override;

  // Starts a look-up; one still running is dropped without a report.
  void Start(const CddbServerSettings& settings, const CddbToc& toc);
  bool IsRunning() const;

 signals:
  void progress(corvane::CddbLookupState state);
  // `entry` is filled only when `state` is Found.
  void finished(corvane::CddbLookupState state, const corvane::CddbEntry& entry);

 private:
  enum class Step { Query, Read };

  void Send(const QString& command);
  void OnAnswer(const BoundedAnswer& reply);
  void Finish(CddbLookupState state, const CddbEntry& entry = {});

  BoundedGet* get_;
  CddbServerSettings settings_;
  Step step_ = Step::Query;
};

}  // namespace corvane
