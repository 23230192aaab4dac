#include "components/freedb/CddbLookup.h"

#include "components/BoundedGet.h"
#include "components/freedb/CddbAnswer.h"

namespace corvane {
namespace {

constexpr int kHttpsPort = 443;

// One hello token: never empty, no spaces (the server splits the hello at spaces), and every
// character outside the unreserved set percent-encoded, "+" included.
QByteArray HelloToken(QString text, const char* fallback) {
  text = text.trimmed();
  text.replace(u' ', u'_');
  if (text.isEmpty()) text = QLatin1String(fallback);
  return QUrl::toPercentEncoding(text);
}

QString QueryCommand(const CddbToc& toc) {
  QStringList words{QStringLiteral("cddb"), QStringLiteral("query"),
                    QStringLiteral("%1").arg(toc.disc_id, 8, 16, QLatin1Char('0')),
                    QString::number(toc.track_frames.size())};
  for (const int frame : toc.track_frames) words.append(QString::number(frame));
  words.append(QString::number(toc.leadout_seconds));
  return words.join(u' ');
}

}  // namespace

QUrl CddbCommandUrl(const CddbServerSettings& settings, const QString& command) {
  const auto at = settings.email.indexOf(u'@');
  const QString user = at < 0 ? settings.email : settings.email.left(at);
  const QString host = at < 0 ? QString() : settings.email.mid(at + 1);
  const QByteArray hello = HelloToken(user, "anonymous") + '+' + HelloToken(host, "localhost") + '+' +
                           HelloToken(settings.client_name, "corvane") + '+' + HelloToken(settings.client_version, "0");
  QByteArray cmd = QUrl::toPercentEncoding(command, " ");
  cmd.replace(' ', '+');

  QUrl url;
  const bool https = settings.https || settings.port == kHttpsPort;
  url.setScheme(https ? QStringLiteral("https") : QStringLiteral("http"));
  url.setHost(settings.host);
  if (settings.port != (https ? kHttpsPort : 80)) url.setPort(settings.port);
  url.setPath(settings.path.startsWith(u'/') ? settings.path : u'/' + settings.path);
  url.setQuery(QString::fromLatin1("cmd=" + cmd + "&hello=" + hello + "&proto=6"), QUrl::StrictMode);
  return url;
}

CddbLookup::CddbLookup(QObject* parent) : QObject(parent), get_(new BoundedGet(this)) {
  connect(get_, &BoundedGet::finished, this, &CddbLookup::OnAnswer);
  connect(get_, &BoundedGet::requestSent, this, [this] {
    if (step_ == Step::Query) emit progress(CddbLookupState::Querying);
  });
}

CddbLookup::~CddbLookup() = default;

bool CddbLookup::IsRunning() const { return get_->InFlight(); }

void CddbLookup::Start(const CddbServerSettings& settings, const CddbToc& toc) {
  get_->Drop();
  settings_ = settings;
  get_->SetProxy(settings.proxy_host, settings.proxy_port);
  get_->StartDeadline(settings.timeout_ms > 0 ? settings.timeout_ms : FreedbClientSettings::kDefaultTimeoutMs);
  step_ = Step::Query;
  emit progress(CddbLookupState::Connecting);
  Send(QueryCommand(toc));
}

void CddbLookup::Send(const QString& command) {
  get_->Get(CddbCommandUrl(settings_, command), settings_.client_name + u'/' + settings_.client_version,
            kMaxAnswerBytes);
}

void CddbLookup::OnAnswer(const BoundedAnswer& reply) {
  const auto answer = reply.Is(200) ? SplitCddbAnswer(reply.body) : std::nullopt;
  if (!answer) return Finish(CddbLookupState::Failed);
  // 202: no match; 401: no such entry; 403: the entry is corrupt. Every other code that is not
  // the expected answer is a server or protocol error.
  const bool nothingThere = answer->code == 202 || answer->code == 401 || answer->code == 403;
  if (step_ == Step::Query) {
    if (answer->code == 200 || answer->code == 210 || answer->code == 211) {
      const auto match = FirstCddbMatch(*answer);
      const bool emptyList = answer->code != 200 && answer->lines.isEmpty();
      if (!match) return Finish(emptyList ? CddbLookupState::NoMatch : CddbLookupState::Failed);
      step_ = Step::Read;
      return Send(QStringLiteral("cddb read %1 %2").arg(match->category, match->disc_id));
    }
    return Finish(nothingThere ? CddbLookupState::NoMatch : CddbLookupState::Failed);
  }
  if (answer->code == 210) {
    const auto entry = ParseCddbEntry(*answer);
    return entry ? Finish(CddbLookupState::Found, *entry) : Finish(CddbLookupState::Failed);
  }
  Finish(nothingThere ? CddbLookupState::NoMatch : CddbLookupState::Failed);
}

void CddbLookup::Finish(CddbLookupState state, const CddbEntry& entry) {
  get_->Drop();
  emit finished(state, entry);
}

}  // namespace corvane
