#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace corvane {

// How a bounded GET ended: the server's status and body, or why there are none.
struct BoundedAnswer {
  enum class End { Answered, Failed, TooLarge, TimedOut };
  End end = End::Failed;
  int status = 0;  // the HTTP status when the server gave one, also with a Failed end
  QByteArray body;
  // An end without an answer.
  static BoundedAnswer Ending(End end) {
    BoundedAnswer answer;
    answer.end = end;
    return answer;
  }
  // Whether the whole answer arrived with status `wanted`.
  bool Is(int wanted) const { return end == End::Answered && status == wanted; }
};

// One HTTP GET the way every look-up of the program makes it: redirects are not followed, the
// answer comes uncompressed so that its size bound sees the bytes as sent, an answer past the
// bound ends the request, an HTTP proxy when one is set, and one deadline that may span several
// requests. Runs on the event loop of its thread; each Get reports exactly once through
// finished() unless it is dropped first, and a deadline that passes reports TimedOut.
class BoundedGet final : public QObject {
  Q_OBJECT
 public:
  explicit BoundedGet(QObject* parent = nullptr);
  ~BoundedGet() override;

  // The proxy of the requests after this; an empty host connects directly.
  void SetProxy(const QString& host, int port);
  // Gives what follows `milliseconds`, however many requests it takes.
  void StartDeadline(int milliseconds);
  // Sends the request; `accept` is the Accept header when not empty. The deadline goes on.
  void Get(const QUrl& url, const QString& userAgent, qint64 maxBytes, const QByteArray& accept = {});
  // Drops the request in flight without a report and stops the deadline.
  void Drop();
  bool InFlight() const { return reply_ != nullptr; }

 signals:
  void requestSent();
  void finished(const corvane::BoundedAnswer& answer);

 private:
  void OnReadyRead();
  void OnFinished();
  void End(BoundedAnswer answer);

  QNetworkAccessManager* network_;
  QTimer deadline_;
  QNetworkReply* reply_ = nullptr;
  QByteArray body_;
  qint64 max_bytes_ = 0;
};

}  // namespace corvane
