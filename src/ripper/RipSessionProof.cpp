// The session's proof: the database's verdicts and the rip log.
#include "ripper/RipSessionProof.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/grabber/DriveIdentifier.h"
#include "encoding/ReplayGain.h"
#include "formats/OutputFormatCatalogue.h"
#include "ripper/RipSession.h"

namespace corvane {

std::optional<AccurateRipCheckResult> CheckRippedTracks(std::vector<RipSessionTrack>& tracks,
                                                        const DiscVerification& disc, const SettingsStore& settings) {
  std::vector<RipSessionTrack*> ripped;
  std::vector<TrackChecksums> sums;
  for (RipSessionTrack& track : tracks) {
    if (!track.done || !track.checksum) continue;
    ripped.push_back(&track);
    sums.push_back(track.Checksums());
  }
  if (ripped.empty()) return std::nullopt;
  AccurateRipCheckResult check = CheckWithAccurateRip(disc.Id(), sums, settings);
  for (size_t k = 0; k < ripped.size() && k < check.verdicts.size(); ++k) ripped[k]->verdict = check.verdicts[k];
  return check;
}

namespace {

// A measurement as the log gives it; silence has a loudness line of its own and no gain.
void LoudnessTexts(const Loudness& loudness, QString& level, QString& gain, QString& peak) {
  if (!loudness.measured) {
    level = StringTable::Text(text::kRipLogSilent);
    return;
  }
  level = QString::number(loudness.integrated, 'f', 2) + QStringLiteral(" LUFS");
  gain = GainText(GainFor(loudness));
  peak = PeakText(loudness.true_peak);
}

}  // namespace

RipLogData RipLogOf(const std::vector<RipSessionTrack>& tracks, const RipLogFacts& facts,
                    const std::optional<DiscVerification>& disc, const std::optional<AccurateRipCheckResult>& check) {
  RipLogData data;
  data.date = QDateTime::currentDateTime();
  data.drive = DriveIdentifier(facts.device);
  if (data.drive.isEmpty()) data.drive = facts.device;
  data.read_offset = facts.careful.read_offset;
  data.grab_mode_preset = facts.careful.grab_mode;
  data.retries = facts.careful.retries;
  data.error_action = facts.careful.error_action;
  data.output_format = facts.output_format;
  if (disc) {
    data.accurate_rip_id = DiscIdName(disc->Id());
    data.cddb_id = QStringLiteral("%1").arg(disc->Id().cddb, 8, 16, QLatin1Char('0'));
  }
  if (check)
    data.database_status = check->DatabaseText();
  else
    data.database_status = StringTable::Text(text::kRipNotChecked);
  for (const RipSessionTrack& track : tracks) {
    if (!track.done) continue;
    RipLogTrack& line = data.tracks.emplace_back();
    line.number = track.number;
    line.title = facts.titles.value(track.row);
    line.file = track.output;
    line.read_errors = track.stats.given_up;
    line.worst_retries = track.stats.worst_attempts;
    if (const TrackChecksums sums = track.Checksums(); track.checksum && sums.complete) {
      line.crc32 = sums.crc32;
      line.v1 = sums.v1;
      line.v2 = sums.v2;
    }
    if (track.verdict) line.verdict = AccurateRipVerdictText(*track.verdict);
    if (track.replaygain) LoudnessTexts(track.replaygain->Result(), line.loudness, line.gain, line.peak);
  }
  if (facts.album) LoudnessTexts(*facts.album, data.album_loudness, data.album_gain, data.album_peak);
  if (check) data.summary = check->SummaryText();
  return data;
}

void RipSession::Verify() {
  if (options_.verify && verification_ && !Interrupted()) check_ = CheckRippedTracks(tracks_, *verification_, stored_);
  observer_.Verified(tracks_, check_);
}

QString RipSession::WriteLog() {
  const auto first =
      std::find_if(tracks_.begin(), tracks_.end(), [](const RipSessionTrack& track) { return track.done; });
  if (!options_.log || Interrupted() || first == tracks_.end()) return {};
  const RipLogFacts facts{options_.device, options_.careful, catalogue::NameOf(options_.settings.format),
                          metadata_.titles, album_loudness_};
  const QString path = FreeRipLogPath(QFileInfo(first->output).absolutePath(), metadata_.album);
  if (!WriteRipLog(path, RipLogOf(tracks_, facts, verification_, check_))) {
    observer_.Message(StringTable::Format(text::kRipLogFailed, {path}));
    return {};
  }
  return path;
}

}  // namespace corvane
