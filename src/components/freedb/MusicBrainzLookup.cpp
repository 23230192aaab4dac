#include "components/freedb/MusicBrainzLookup.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>
#include <mutex>

#include "components/AbandonReply.h"
#include "components/freedb/MusicBrainzAnswer.h"

namespace corvane {
namespace {

constexpr int kFallbackTimeoutMs = 10000;
constexpr qint64 kRequestSpacingMs = 1000;
constexpr int kHttpOk = 200;
constexpr int kHttpNotFound = 404;

// When requests may go out: each a second after the one sent before it (a look-up books its turn
// when it starts), and a second after the last one that ended, so that the spacing also holds as
// the server sees the requests arrive.
class RequestTurns {
 public:
  // Books the next free turn and returns how long to wait for it.
  static qint64 Book() {
    const std::lock_guard lock(mutex_);
    const qint64 now = Clock().elapsed();
    const qint64 turn = std::max(now, nextSend_);
    nextSend_ = turn + kRequestSpacingMs;
    return turn - now;
  }
  // How much longer a look-up whose turn came must wait for the last request's end to be a
  // second ago.
  static qint64 AfterLastEnd() {
    const std::lock_guard lock(mutex_);
    return std::max<qint64>(0, lastEnd_ + kRequestSpacingMs - Clock().elapsed());
  }
  static void Ended() {
    const std::lock_guard lock(mutex_);
    lastEnd_ = Clock().elapsed();
  }

 private:
  static QElapsedTimer& Clock() {
    static QElapsedTimer clock = [] {
      QElapsedTimer started;
      started.start();
      return started;
    }();
    return clock;
  }

  static inline std::mutex mutex_;
  static inline qint64 nextSend_ = 0;
  static inline qint64 lastEnd_ = -kRequestSpacingMs;
};

// <base>/ws/2/discid/<id> with releases, their tracks, artist credits, release groups and
// genres as JSON; invalid unless the base is an http or https address.
QUrl DiscIdUrl(const QString& baseUrl, const QString& discId) {
  QUrl url(baseUrl.trimmed().isEmpty() ? MusicBrainzSettings().baseUrl : baseUrl.trimmed(), QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) return {};
  QString path = url.path();
  while (path.endsWith(u'/')) path.chop(1);
  url.setPath(path + QStringLiteral("/ws/2/discid/") + discId);
  url.setQuery(QStringLiteral("inc=recordings+artist-credits+release-groups+genres&fmt=json"), QUrl::StrictMode);
  url.setFragment({});
  return url;
}

}  // namespace

MusicBrainzLookup::MusicBrainzLookup(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this)) {
  turn_.setSingleShot(true);
  // A coarse timer may fire a little early, and the spacing is a lower bound.
  turn_.setTimerType(Qt::PreciseTimer);
  deadline_.setSingleShot(true);
  connect(&turn_, &QTimer::timeout, this, &MusicBrainzLookup::Send);
  connect(&deadline_, &QTimer::timeout, this, [this] { Finish(CddbLookupState::Failed); });
}

MusicBrainzLookup::~MusicBrainzLookup() { Drop(); }

bool MusicBrainzLookup::IsRunning() const { return running_; }

void MusicBrainzLookup::Start(const MusicBrainzSettings& settings, const MusicBrainzToc& toc) {
  Drop();
  settings_ = settings;
  discId_ = MusicBrainzDiscId(toc);
  network_->setProxy(settings.proxyHost.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy)
                                                  : QNetworkProxy(QNetworkProxy::HttpProxy, settings.proxyHost,
                                                                  static_cast<quint16>(settings.proxyPort)));
  running_ = true;
  emit progress(CddbLookupState::Connecting);
  // A look-up that cannot send still reports from the event loop, as every other one does.
  const bool sendable = !discId_.isEmpty() && DiscIdUrl(settings_.baseUrl, discId_).isValid();
  turn_.start(static_cast<int>(sendable ? RequestTurns::Book() : 0));
}

void MusicBrainzLookup::Send() {
  const QUrl url = DiscIdUrl(settings_.baseUrl, discId_);
  if (discId_.isEmpty() || !url.isValid()) return Finish(CddbLookupState::Failed);
  if (const qint64 wait = RequestTurns::AfterLastEnd(); wait > 0) return turn_.start(static_cast<int>(wait));
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  request.setHeader(QNetworkRequest::UserAgentHeader,
                    settings_.userAgent.isEmpty() ? QStringLiteral("Corvane/" CORVANE_VERSION) : settings_.userAgent);
  request.setRawHeader("Accept", "application/json");
  // A compressed answer would be inflated before the size bound could see it.
  request.setRawHeader("Accept-Encoding", "identity");
  deadline_.start(settings_.timeoutMs > 0 ? settings_.timeoutMs : kFallbackTimeoutMs);
  reply_ = network_->get(request);
  connect(reply_, &QNetworkReply::readyRead, this, &MusicBrainzLookup::OnReadyRead);
  connect(reply_, &QNetworkReply::finished, this, &MusicBrainzLookup::OnFinished);
  connect(reply_, &QNetworkReply::requestSent, this, [this] { emit progress(CddbLookupState::Querying); });
}

void MusicBrainzLookup::OnReadyRead() {
  body_ += reply_->readAll();
  if (body_.size() > kMaxAnswerBytes) Finish(CddbLookupState::Failed);
}

void MusicBrainzLookup::OnFinished() {
  OnReadyRead();
  if (!reply_) return;
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status == kHttpNotFound) return Finish(CddbLookupState::NoMatch);
  if (status != kHttpOk || reply_->error() != QNetworkReply::NoError) return Finish(CddbLookupState::Failed);
  const MusicBrainzAnswer answer = ParseMusicBrainzAnswer(body_, discId_);
  Finish(answer.state, answer.entry);
}

void MusicBrainzLookup::Finish(CddbLookupState state, const CddbEntry& entry) {
  Drop();
  emit finished(state, entry);
}

void MusicBrainzLookup::Drop() {
  running_ = false;
  turn_.stop();
  deadline_.stop();
  body_.clear();
  if (!reply_) return;
  RequestTurns::Ended();
  AbandonReply(reply_, this);
}

}  // namespace corvane
