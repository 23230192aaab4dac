#include "cli/ConsoleRipReport.h"

#include <QJsonDocument>
#include <cstdio>

#include "cli/AccurateRipReport.h"
#include "cli/LoudnessOptions.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"

namespace corvane::cli {
namespace {

QString Opt(const char* name) { return QString::fromLatin1(name); }

void PrintJsonLine(const QJsonObject& object) {
  std::fputs(QJsonDocument(object).toJson(QJsonDocument::Compact).constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace

QJsonObject ConsoleRipReport::TrackObject(const RipSessionTrack& track) const {
  const QString source = StringTable::Format(text::kRipTrackName, {track.number});
  QJsonObject object{{Opt("track"), track.number},  {Opt("source"), device_ + QLatin1Char('#') + source},
                     {Opt("output"), track.output}, {Opt("status"), track.status},
                     {Opt("detail"), track.detail}, {Opt("seconds"), track.seconds}};
  if (track.done) object.insert(Opt("read_errors"), track.stats.given_up);
  if (track.done && track.checksum) AddChecksumFields(object, track.Checksums(), track.verdict);
  if (track.done && track.replaygain) AddLoudnessFields(object, track.replaygain->Result());
  return object;
}

void ConsoleRipReport::TrackEnded(const RipSessionTrack& track, int ended, int total) {
  console_.SetOverall(ended, total);
  if (json_) {
    // With the look-up on, a track's object waits for its verdict.
    if (!verify_) PrintJsonLine(TrackObject(track));
    return;
  }
  const QString source = StringTable::Format(text::kRipTrackName, {track.number});
  QString line = track.status + QStringLiteral(": ") + source;
  if (track.done) line += QStringLiteral(" -> ") + track.output;
  if (!track.detail.isEmpty()) line += QStringLiteral(" (") + track.detail + QLatin1Char(')');
  console_.Print(line);
}

void ConsoleRipReport::Verified(const std::vector<RipSessionTrack>& tracks,
                                const std::optional<AccurateRipCheckResult>& check) {
  if (json_) {
    if (verify_) {
      for (const RipSessionTrack& track : tracks) PrintJsonLine(TrackObject(track));
    }
    return;
  }
  for (const RipSessionTrack& track : tracks) {
    if (!track.done || !track.checksum) continue;
    console_.Print(
        ChecksumLine(StringTable::Format(text::kRipTrackName, {track.number}), track.Checksums(), track.verdict));
  }
  if (check) console_.Print(check->SummaryText());
}

}  // namespace corvane::cli
