#include "components/freedb/MusicBrainzLookup.h"

#include <QElapsedTimer>
#include <algorithm>
#include <mutex>

#include "components/BoundedGet.h"
#include "components/freedb/MusicBrainzAnswer.h"

namespace corvane {
namespace {

constexpr qint64 kRequestSpacingMs = 1000;
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
    const qint64 turn = std::max(now, next_send_);
    next_send_ = turn + kRequestSpacingMs;
    return turn - now;
  }
  // How much longer a look-up whose turn came must wait for the last request's end to be a
  // second ago.
  static qint64 AfterLastEnd() {
    const std::lock_guard lock(mutex_);
    return std::max<qint64>(0, last_end_ + kRequestSpacingMs - Clock().elapsed());
  }
  static void Ended() {
    const std::lock_guard lock(mutex_);
    last_end_ = Clock().elapsed();
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
  static inline qint64 next_send_ = 0;
  static inline qint64 last_end_ = -kRequestSpacingMs;
};

// <base>/ws/2/discid/<id> with releases, their tracks, artist credits, release groups and
// genres as JSON; invalid unless the base is an http or https address.
QUrl DiscIdUrl(const QString& base_url, const QString& discId) {
  QUrl url(base_url.trimmed().isEmpty() ? MusicBrainzSettings().base_url : base_url.trimmed(), QUrl::StrictMode);
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

MusicBrainzLookup::MusicBrainzLookup(QObject* parent) : QObject(parent), get_(new BoundedGet(this)) {
  turn_.setSingleShot(true);
  // A coarse timer may fire a little early, and the spacing is a lower bound.
  turn_.setTimerType(Qt::PreciseTimer);
  connect(&turn_, &QTimer::timeout, this, &MusicBrainzLookup::Send);
  connect(get_, &BoundedGet::finished, this, &MusicBrainzLookup::OnAnswer);
  connect(get_, &BoundedGet::requestSent, this, [this] { emit progress(CddbLookupState::Querying); });
}

MusicBrainzLookup::~MusicBrainzLookup() { Drop(); }

bool MusicBrainzLookup::IsRunning() const { return running_; }

void MusicBrainzLookup::Start(const MusicBrainzSettings& settings, const MusicBrainzToc& toc) {
  Drop();
  settings_ = settings;
  disc_id_ = MusicBrainzDiscId(toc);
  get_->SetProxy(settings.proxy_host, settings.proxy_port);
  running_ = true;
  emit progress(CddbLookupState::Connecting);
  // A look-up that cannot send still reports from the event loop, as every other one does.
  const bool sendable = !disc_id_.isEmpty() && DiscIdUrl(settings_.base_url, disc_id_).isValid();
  turn_.start(static_cast<int>(sendable ? RequestTurns::Book() : 0));
}

void MusicBrainzLookup::Send() {
  const QUrl url = DiscIdUrl(settings_.base_url, disc_id_);
  if (disc_id_.isEmpty() || !url.isValid()) return Finish(CddbLookupState::Failed);
  if (const qint64 wait = RequestTurns::AfterLastEnd(); wait > 0) return turn_.start(static_cast<int>(wait));
  get_->StartDeadline(settings_.timeout_ms > 0 ? settings_.timeout_ms : FreedbClientSettings::kDefaultTimeoutMs);
  sent_ = true;
  get_->Get(url, settings_.user_agent.isEmpty() ? QStringLiteral("Corvane/" CORVANE_VERSION) : settings_.user_agent,
            kMaxAnswerBytes, "application/json");
}

void MusicBrainzLookup::OnAnswer(const BoundedAnswer& reply) {
  if (reply.status == kHttpNotFound) return Finish(CddbLookupState::NoMatch);
  if (!reply.Is(200)) return Finish(CddbLookupState::Failed);
  const MusicBrainzAnswer answer = ParseMusicBrainzAnswer(reply.body, disc_id_);
  Finish(answer.state, answer.entry);
}

void MusicBrainzLookup::Finish(CddbLookupState state, const CddbEntry& entry) {
  Drop();
  emit finished(state, entry);
}

void MusicBrainzLookup::Drop() {
  running_ = false;
  turn_.stop();
  get_->Drop();
  if (!sent_) return;
  sent_ = false;
  RequestTurns::Ended();
}

}  // namespace corvane
