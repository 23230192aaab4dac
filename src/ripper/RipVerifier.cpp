#include "ripper/RipVerifier.h"

#include <QFileInfo>

#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/grabber/DriveIdentifier.h"
#include "ripper/RipLog.h"
#include "ripper/RipSessionProof.h"
#include "ripper/RipperSettingsValues.h"

namespace corvane {

void RipVerifier::Start(const RunFacts& facts, const SettingsStore& settings) {
  facts_ = facts;
  disc_ = DiscVerification::Read(facts.device);
  read_offset_ = ReadOffsetFor(settings, DriveIdentifier(facts.device));
  current_.reset();
  current_row_ = -1;
  ripped_.clear();
  titles_.clear();
  result_.reset();
}

PcmTap* RipVerifier::BeginTrack(int row) {
  current_ = disc_ ? disc_->ChecksumFor(row) : nullptr;
  current_row_ = row;
  return current_.get();
}

void RipVerifier::TrackRipped(int row, const QString& title, const QString& output, int worstAttempts, int readErrors) {
  RipSessionTrack& track = ripped_.emplace_back();
  track.row = row;
  track.number = disc_ ? disc_->TrackNumberOfRow(row) : row + 1;
  track.audio_index = disc_ ? disc_->AudioIndexOfRow(row) : -1;
  track.output = output;
  track.done = true;
  track.stats = {worstAttempts, readErrors};
  if (current_row_ == row) track.checksum = std::move(current_);
  if (titles_.size() <= row) titles_.resize(row + 1);
  titles_[row] = title;
  current_.reset();
  current_row_ = -1;
}

std::vector<std::pair<int, QString>> RipVerifier::RowDetails() const {
  std::vector<std::pair<int, QString>> details;
  for (const RipSessionTrack& track : ripped_) {
    QStringList lines;
    if (track.verdict) lines << AccurateRipVerdictText(*track.verdict);
    if (const TrackChecksums sums = track.Checksums(); sums.audio_index >= 0 && sums.complete) {
      const auto hex = [](quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(); };
      lines << StringTable::Text(text::kRipLogCrc) + QStringLiteral(": ") + hex(sums.crc32)
            << StringTable::Text(text::kRipLogV1) + QStringLiteral(": ") + hex(sums.v1)
            << StringTable::Text(text::kRipLogV2) + QStringLiteral(": ") + hex(sums.v2);
    }
    if (!lines.isEmpty()) details.emplace_back(track.row, lines.join(QLatin1Char('\n')));
  }
  return details;
}

QString RipVerifier::Finish(const SettingsStore& settings, const QString& logFolder) {
  current_.reset();
  if (ripped_.empty()) return {};
  const RipperSettingsValues values = RipperSettingsValues::Read(settings);
  if (disc_ && values.verify_accuraterip) result_ = CheckRippedTracks(ripped_, *disc_, settings);
  if (values.rip_log) {
    RipLogFacts facts;
    facts.device = QFileInfo(facts_.device).absoluteFilePath();
    facts.careful = {facts_.grab_mode, facts_.error_action, facts_.retries, read_offset_};
    facts.output_format = facts_.output_format;
    facts.titles = titles_;
    facts.disc_name_with_ending = true;
    facts.say_not_checked = false;
    WriteRipLog(FreeRipLogPath(logFolder, facts_.album), RipLogOf(ripped_, facts, disc_, result_));
  }
  return result_ ? result_->SummaryText() : QString();
}

}  // namespace corvane
