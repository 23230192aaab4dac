#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

namespace corvane {

class BoundedGet;
struct BoundedAnswer;

// How a request for a disc's checksum answer ended. Neither "not found" nor "unreachable" is a
// fault of the rip: the caller reports them as the database's status.
enum class AccurateRipFetchStatus {
  Found,        // 200: `body` holds the answer as sent
  NotFound,     // 404: the database does not know the disc
  Unreachable,  // no connection, no name, deadline passed, any other status, or an oversize answer
};

struct AccurateRipFetchResult {
  AccurateRipFetchStatus status = AccurateRipFetchStatus::Unreachable;
  QByteArray body;  // only with Found
};

inline constexpr const char* kAccurateRipDefaultBase = "http://www.accuraterip.com/accuraterip/";

// The address of an answer: `baseUrl` (empty: the public one; a missing trailing "/" is added)
// followed by `path` ("a/b/c/dBAR-...bin"). Invalid unless the base is an http or https address
// with a host and the path is relative and non-empty.
QUrl AccurateRipAnswerUrl(const QString& baseUrl, const QString& path);

// Fetches one answer body with a plain GET: one deadline for the whole exchange, the body capped
// at kMaxAnswerBytes, a User-Agent naming the program and its version. Reports exactly once
// through finished(), always from the event loop, never from inside Start().
class AccurateRipFetch final : public QObject {
  Q_OBJECT
 public:
  // A response is 13 bytes plus 9 per track; 99 tracks in a few responses fit many times over.
  static constexpr qint64 kMaxAnswerBytes = 64 * 1024;
  static constexpr int kDefaultTimeoutMs = 10000;

  explicit AccurateRipFetch(QObject* parent = nullptr);
  ~AccurateRipFetch() override;

  // Starts a request; one still running is dropped without a report. A timeout of 0 or less
  // means the default.
  void Start(const QString& baseUrl, const QString& path, int timeoutMs = kDefaultTimeoutMs);
  bool IsRunning() const { return running_; }

 signals:
  void finished(const corvane::AccurateRipFetchResult& result);

 private:
  void Send();
  void OnAnswer(const BoundedAnswer& reply);
  void Finish(AccurateRipFetchStatus status, const QByteArray& body = {});
  void Drop();

  BoundedGet* get_;  // its deadline runs from Start on
  QTimer send_;      // sends from the event loop, so that even a refused address reports from there
  QUrl url_;
  bool running_ = false;
};

// The same request run to its end on a local event loop (the caller's thread needs a
// QCoreApplication; the window keeps repainting and taking input meanwhile).
AccurateRipFetchResult FetchAccurateRipAnswer(const QString& baseUrl, const QString& path,
                                              int timeoutMs = AccurateRipFetch::kDefaultTimeoutMs);

}  // namespace corvane
