#include "components/accuraterip/AccurateRipFetch.h"

#include "common/EventLoopWaiting.h"
#include "components/BoundedGet.h"

namespace corvane {
namespace {

constexpr int kHttpNotFound = 404;

}  // namespace

QUrl AccurateRipAnswerUrl(const QString& baseUrl, const QString& path) {
  const QString base = baseUrl.trimmed().isEmpty() ? QString::fromLatin1(kAccurateRipDefaultBase) : baseUrl.trimmed();
  QUrl url(base, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) return {};
  // The path names a file below the base: nothing that could climb out of it or add a query.
  if (path.isEmpty() || path.startsWith(u'/') || path.contains(u'?') || path.contains(u'#') ||
      path.split(u'/').contains(QStringLiteral("..")))
    return {};
  QString basePath = url.path();
  if (!basePath.endsWith(u'/')) basePath += u'/';
  url.setPath(basePath + path);
  url.setQuery(QString());
  url.setFragment(QString());
  return url.isValid() ? url : QUrl();
}

AccurateRipFetch::AccurateRipFetch(QObject* parent) : QObject(parent), get_(new BoundedGet(this)) {
  send_.setSingleShot(true);
  connect(&send_, &QTimer::timeout, this, &AccurateRipFetch::Send);
  connect(get_, &BoundedGet::finished, this, &AccurateRipFetch::OnAnswer);
}

AccurateRipFetch::~AccurateRipFetch() { Drop(); }

void AccurateRipFetch::Start(const QString& baseUrl, const QString& path, int timeoutMs) {
  Drop();
  url_ = AccurateRipAnswerUrl(baseUrl, path);
  running_ = true;
  get_->StartDeadline(timeoutMs > 0 ? timeoutMs : kDefaultTimeoutMs);
  send_.start(0);
}

void AccurateRipFetch::Send() {
  if (!url_.isValid()) return Finish(AccurateRipFetchStatus::Unreachable);
  get_->Get(url_, QStringLiteral("Corvane/" CORVANE_VERSION), kMaxAnswerBytes);
}

void AccurateRipFetch::OnAnswer(const BoundedAnswer& reply) {
  if (reply.status == kHttpNotFound) return Finish(AccurateRipFetchStatus::NotFound);
  if (!reply.Is(200)) return Finish(AccurateRipFetchStatus::Unreachable);
  Finish(AccurateRipFetchStatus::Found, reply.body);
}

void AccurateRipFetch::Finish(AccurateRipFetchStatus status, const QByteArray& body) {
  AccurateRipFetchResult result;
  result.status = status;
  result.body = body;
  Drop();
  emit finished(result);
}

void AccurateRipFetch::Drop() {
  running_ = false;
  send_.stop();
  get_->Drop();
}

AccurateRipFetchResult FetchAccurateRipAnswer(const QString& baseUrl, const QString& path, int timeoutMs) {
  EventLoopWaiting waiting;
  AccurateRipFetch fetch;
  AccurateRipFetchResult result;
  bool done = false;
  QObject::connect(&fetch, &AccurateRipFetch::finished, [&](const AccurateRipFetchResult& ended) {
    result = ended;
    done = true;
    waiting.Wake();
  });
  fetch.Start(baseUrl, path, timeoutMs);
  waiting.WaitUntil([&] { return done; });
  return result;
}

}  // namespace corvane
