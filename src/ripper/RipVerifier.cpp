#include "ripper/RipVerifier.h"

#include <QDateTime>
#include <QFileInfo>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "components/grabber/DriveIdentifier.h"
#include "ripper/RipLog.h"
#include "ripper/RipperSettingsValues.h"

namespace corvane {

namespace {

const char* const kSection = keys::section::kRip;

}  // namespace

void RipVerifier::Start(const RunFacts& facts, const SettingsStore& settings) {
  facts_ = facts;
  disc_ = DiscVerification::Read(facts.device);
  read_offset_ = ReadOffsetFor(settings, DriveIdentifier(facts.device));
  current_.reset();
  current_row_ = -1;
  ripped_.clear();
  result_.reset();
}

PcmTap* RipVerifier::BeginTrack(int row) {
  current_ = disc_ ? disc_->ChecksumFor(row) : nullptr;
  current_row_ = row;
  return current_.get();
}

void RipVerifier::TrackRipped(int row, const QString& title, const QString& output, int worstAttempts, int readErrors) {
  Ripped track;
  track.row = row;
  track.number = disc_ ? disc_->TrackNumberOfRow(row) : row + 1;
  track.title = title;
  track.output = output;
  track.worstAttempts = worstAttempts;
  track.readErrors = readErrors;
  if (current_ && current_row_ == row) {
    track.sums = {disc_->AudioIndexOfRow(row), current_->V1(), current_->V2(), current_->Crc32(), current_->Complete()};
  }
  ripped_.push_back(track);
  current_.reset();
  current_row_ = -1;
}

std::vector<std::pair<int, QString>> RipVerifier::RowDetails() const {
  std::vector<std::pair<int, QString>> details;
  for (size_t i = 0; i < ripped_.size(); ++i) {
    const Ripped& track = ripped_[i];
    QStringList lines;
    if (result_) lines << AccurateRipVerdictText(result_->verdicts[i]);
    if (track.sums.audioIndex >= 0 && track.sums.complete) {
      const auto hex = [](quint32 value) { return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper(); };
      lines << StringTable::Text(text::kRipLogCrc) + QStringLiteral(": ") + hex(track.sums.crc32)
            << StringTable::Text(text::kRipLogV1) + QStringLiteral(": ") + hex(track.sums.v1)
            << StringTable::Text(text::kRipLogV2) + QStringLiteral(": ") + hex(track.sums.v2);
    }
    if (!lines.isEmpty()) details.emplace_back(track.row, lines.join(QLatin1Char('\n')));
  }
  return details;
}

QString RipVerifier::Finish(const SettingsStore& settings, const QString& logFolder) {
  current_.reset();
  if (ripped_.empty()) return {};
  const RipperSettingsValues values = RipperSettingsValues::Read(settings);
  const bool verify = disc_ && values.verify_accuraterip;
  if (verify) {
    std::vector<TrackChecksums> sums;
    for (const Ripped& track : ripped_) sums.push_back(track.sums);
    result_ = CheckWithAccurateRip(disc_->Id(), sums, settings);
  }
  if (values.rip_log) {
    RipLogData log;
    log.date = QDateTime::currentDateTime();
    const QString identifier = DriveIdentifier(facts_.device);
    log.drive = identifier.isEmpty() ? QFileInfo(facts_.device).absoluteFilePath() : identifier;
    log.readOffset = read_offset_;
    log.grabModePreset = facts_.grabMode;
    log.retries = facts_.retries;
    log.errorAction = facts_.errorAction;
    log.outputFormat = facts_.outputFormat;
    if (disc_) {
      log.accurateRipId = disc_->Id().Name();
      log.cddbId = QStringLiteral("%1").arg(disc_->Id().cddb, 8, 16, QLatin1Char('0'));
    }
    if (result_) {
      log.databaseStatus = result_->DatabaseText();
      log.summary = result_->SummaryText();
    }
    for (size_t i = 0; i < ripped_.size(); ++i) {
      const Ripped& track = ripped_[i];
      RipLogTrack line;
      line.number = track.number;
      line.title = track.title;
      line.file = track.output;
      line.worstRetries = track.worstAttempts;
      line.readErrors = track.readErrors;
      if (track.sums.audioIndex >= 0 && track.sums.complete) {
        line.crc32 = track.sums.crc32;
        line.v1 = track.sums.v1;
        line.v2 = track.sums.v2;
      }
      if (result_) line.verdict = AccurateRipVerdictText(result_->verdicts[i]);
      log.tracks.push_back(line);
    }
    WriteRipLog(FreeRipLogPath(logFolder, facts_.album), log);
  }
  return result_ ? result_->SummaryText() : QString();
}

}  // namespace corvane
