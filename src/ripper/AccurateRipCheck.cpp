#include "ripper/AccurateRipCheck.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/accuraterip/AccurateRipFetch.h"

namespace corvane {

QString AccurateRipCheckResult::DatabaseText() const {
  int id = text::kAccurateRipDatabaseNotFound;
  switch (status) {
    case AccurateRipStatus::Found:
      id = text::kAccurateRipDatabaseFound;
      break;
    case AccurateRipStatus::NotFound:
      break;
    case AccurateRipStatus::Unreachable:
      id = text::kAccurateRipDatabaseUnreachable;
      break;
    case AccurateRipStatus::Discarded:
      id = text::kAccurateRipDatabaseDiscarded;
      break;
  }
  return StringTable::Format(id, {disc_name});
}

QString AccurateRipCheckResult::SummaryText() const {
  // Without the disc's entry nothing was compared: "0 of N accurate" would read as a failed check.
  if (status == AccurateRipStatus::Unreachable) return StringTable::Text(text::kAccurateRipNotCheckedUnreachable);
  if (status == AccurateRipStatus::NotFound) return StringTable::Text(text::kAccurateRipNotCheckedNotFound);
  return AccurateRipSummaryText(accurate, static_cast<int>(verdicts.size()));
}

AccurateRipCheckResult CheckWithAccurateRip(const AccurateRipDiscId& disc, const std::vector<TrackChecksums>& tracks,
                                            const SettingsStore& settings, int timeoutMs) {
  AccurateRipCheckResult result;
  result.disc_name = disc.Name();
  const QString base = settings.ReadText(keys::section::kRip, keys::kAccurateRipUrl, QString());
  const AccurateRipFetchResult fetched = FetchAccurateRipAnswer(base, disc.UrlPath(), timeoutMs);
  AccurateRipAnswer answer;
  switch (fetched.status) {
    case AccurateRipFetchStatus::Found:
      answer = ParseAccurateRipAnswer(fetched.body, disc);
      break;
    case AccurateRipFetchStatus::NotFound:
      answer.status = AccurateRipStatus::NotFound;
      break;
    case AccurateRipFetchStatus::Unreachable:
      answer.status = AccurateRipStatus::Unreachable;
      break;
  }
  result.status = answer.status;
  for (const TrackChecksums& track : tracks) {
    AccurateRipVerdict verdict = answer.For(track.audio_index, track.v1, track.v2);
    if (!track.complete && verdict.kind == AccurateRipVerdict::Kind::Accurate)
      verdict = {AccurateRipVerdict::Kind::NotAccurate, 0};
    if (verdict.kind == AccurateRipVerdict::Kind::Accurate) ++result.accurate;
    result.verdicts.push_back(verdict);
  }
  return result;
}

QString DiscIdName(const AccurateRipDiscId& id) {
  QString name = id.Name();
  if (name.endsWith(QStringLiteral(".bin"))) name.chop(4);
  return name;
}

}  // namespace corvane
