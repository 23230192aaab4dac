#include "components/BoundedGet.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "components/AbandonReply.h"

namespace corvane {

BoundedGet::BoundedGet(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this)) {
  deadline_.setSingleShot(true);
  // A coarse timer may fire a little early; the deadline is the time the server is given.
  deadline_.setTimerType(Qt::PreciseTimer);
  connect(&deadline_, &QTimer::timeout, this, [this] { End(BoundedAnswer::Ending(BoundedAnswer::End::TimedOut)); });
}

BoundedGet::~BoundedGet() { Drop(); }

void BoundedGet::SetProxy(const QString& host, int port) {
  network_->setProxy(host.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy)
                                    : QNetworkProxy(QNetworkProxy::HttpProxy, host, static_cast<quint16>(port)));
}

void BoundedGet::StartDeadline(int milliseconds) { deadline_.start(milliseconds); }

void BoundedGet::Get(const QUrl& url, const QString& userAgent, qint64 maxBytes, const QByteArray& accept) {
  AbandonReply(reply_, this);
  body_.clear();
  max_bytes_ = maxBytes;
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);
  if (!accept.isEmpty()) request.setRawHeader("Accept", accept);
  // A compressed answer would be inflated before the size bound could see it.
  request.setRawHeader("Accept-Encoding", "identity");
  reply_ = network_->get(request);
  connect(reply_, &QNetworkReply::readyRead, this, &BoundedGet::OnReadyRead);
  connect(reply_, &QNetworkReply::finished, this, &BoundedGet::OnFinished);
  connect(reply_, &QNetworkReply::requestSent, this, &BoundedGet::requestSent);
}

void BoundedGet::Drop() {
  deadline_.stop();
  body_.clear();
  AbandonReply(reply_, this);
}

void BoundedGet::OnReadyRead() {
  // Read no more than one byte past the bound: that byte alone proves the answer oversize.
  body_ += reply_->read(max_bytes_ + 1 - body_.size());
  if (body_.size() > max_bytes_) End(BoundedAnswer::Ending(BoundedAnswer::End::TooLarge));
}

void BoundedGet::OnFinished() {
  OnReadyRead();
  if (reply_ == nullptr) return;
  BoundedAnswer answer;
  answer.status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  answer.end = reply_->error() == QNetworkReply::NoError ? BoundedAnswer::End::Answered : BoundedAnswer::End::Failed;
  answer.body = body_;
  End(std::move(answer));
}

void BoundedGet::End(BoundedAnswer answer) {
  if (answer.end == BoundedAnswer::End::TimedOut) deadline_.stop();
  body_.clear();
  AbandonReply(reply_, this);
  emit finished(answer);
}

}  // namespace corvane
