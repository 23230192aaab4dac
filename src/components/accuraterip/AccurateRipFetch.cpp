#include "components/accuraterip/AccurateRipFetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "components/AbandonReply.h"

namespace corvane {
namespace {

constexpr int kHttpOk = 200;
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

AccurateRipFetch::AccurateRipFetch(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this)) {
  send_.setSingleShot(true);
  deadline_.setSingleShot(true);
  // A coarse timer may fire a little early; the deadline is the time the server is given.
  deadline_.setTimerType(Qt::PreciseTimer);
  connect(&send_, &QTimer::timeout, this, &AccurateRipFetch::Send);
  connect(&deadline_, &QTimer::timeout, this, [this] { Finish(AccurateRipFetchStatus::Unreachable); });
}

AccurateRipFetch::~AccurateRipFetch() { Drop(); }

void AccurateRipFetch::Start(const QString& baseUrl, const QString& path, int timeoutMs) {
  Drop();
  url_ = AccurateRipAnswerUrl(baseUrl, path);
  running_ = true;
  deadline_.start(timeoutMs > 0 ? timeoutMs : kDefaultTimeoutMs);
  send_.start(0);
}

void AccurateRipFetch::Send() {
  if (!url_.isValid()) return Finish(AccurateRipFetchStatus::Unreachable);
  QNetworkRequest request(url_);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Corvane/" CORVANE_VERSION));
  // A compressed answer would be inflated before the size bound could see it.
  request.setRawHeader("Accept-Encoding", "identity");
  reply_ = network_->get(request);
  connect(reply_, &QNetworkReply::readyRead, this, &AccurateRipFetch::OnReadyRead);
  connect(reply_, &QNetworkReply::finished, this, &AccurateRipFetch::OnFinished);
}

void AccurateRipFetch::OnReadyRead() {
  // Read no more than one byte past the bound: that byte alone proves the answer oversize.
  body_ += reply_->read(kMaxAnswerBytes + 1 - body_.size());
  if (body_.size() > kMaxAnswerBytes) Finish(AccurateRipFetchStatus::Unreachable);
}

void AccurateRipFetch::OnFinished() {
  OnReadyRead();
  if (!reply_) return;
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status == kHttpNotFound) return Finish(AccurateRipFetchStatus::NotFound);
  if (status != kHttpOk || reply_->error() != QNetworkReply::NoError)
    return Finish(AccurateRipFetchStatus::Unreachable);
  Finish(AccurateRipFetchStatus::Found);
}

void AccurateRipFetch::Finish(AccurateRipFetchStatus status) {
  AccurateRipFetchResult result;
  result.status = status;
  if (status == AccurateRipFetchStatus::Found) result.body = body_;
  Drop();
  emit finished(result);
}

void AccurateRipFetch::Drop() {
  running_ = false;
  send_.stop();
  deadline_.stop();
  body_.clear();
  AbandonReply(reply_, this);
}

AccurateRipFetchResult FetchAccurateRipAnswer(const QString& baseUrl, const QString& path, int timeoutMs) {
  AccurateRipFetch fetch;
  QEventLoop loop;
  AccurateRipFetchResult result;
  bool done = false;
  QObject::connect(&fetch, &AccurateRipFetch::finished, &loop, [&](const AccurateRipFetchResult& ended) {
    result = ended;
    done = true;
    loop.quit();
  });
  fetch.Start(baseUrl, path, timeoutMs);
  if (!done) loop.exec();
  return result;
}

}  // namespace corvane
