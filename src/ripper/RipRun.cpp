#include "ripper/RipRun.h"

#include <QFileInfo>

#include "common/ForwardingUserInterface.h"
#include "common/RunCompletion.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "components/grabber/DriveIdentifier.h"
#include "ripper/RipLog.h"
#include "ripper/RipperView.h"

namespace corvane {
namespace {

const char* const kSection = keys::section::kRip;

QString Word(int id) { return StringTable::Text(id); }

int StatusWordOf(RipResult result) {
  switch (result) {
    case RipResult::Done:
      return text::kRipCompleted;
    case RipResult::Failed:
    case RipResult::NoDisc:
    case RipResult::NoOutput:
    case RipResult::RetryLimit:
      return text::kRipFailed;
    case RipResult::StoppedThis:
    case RipResult::StoppedAll:
    case RipResult::NoFolder:
      return text::kRipCancelled;
    case RipResult::Skipped:
      break;
  }
  return text::kRipSkipped;
}

// What a ripped row's status rests on: the sectors that never read, the database's verdict, when
// asked, and its checksums.
QString RowDetail(const RipSessionTrack& track) {
  QStringList lines;
  if (track.stats.given_up > 0)
    lines << track.detail
          << Word(text::kRipLogReadErrors) + QStringLiteral(": ") + QString::number(track.stats.given_up);
  if (track.verdict) lines << AccurateRipVerdictText(*track.verdict);
  if (const TrackChecksums sums = track.Checksums(); track.checksum && sums.complete) {
    lines << Word(text::kRipLogCrc) + QStringLiteral(": ") + ChecksumText(sums.crc32)
          << Word(text::kRipLogV1) + QStringLiteral(": ") + ChecksumText(sums.v1)
          << Word(text::kRipLogV2) + QStringLiteral(": ") + ChecksumText(sums.v2);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

RipRun::RipRun(IRipperView& view, IUserInterface& ui, SettingsStore& settings, IAudioCDGrabber* grabber,
               Mp3EncoderConfig& mp3, RipRunServices services)
    : view_(view), ui_(ui), settings_(settings), grabber_(grabber), mp3_(mp3), services_(std::move(services)) {}

RipRun::~RipRun() = default;

bool RipRun::CheckRows() {
  if (view_.RowCount() == 0) {
    ui_.ShowMessage(Word(text::kRipNoTracks), MessageIcon::Information, MessageButtons::Ok);
    return false;
  }
  for (int row = 0; row < view_.RowCount(); ++row) {
    if (view_.RowChecked(row)) return true;
  }
  ui_.ShowMessage(Word(text::kRipNoneChecked), MessageIcon::Error, MessageButtons::Ok);
  return false;
}

bool RipRun::ChooseOutputFolder(QString& folder) {
  const QString field = start_.output_folder_field;
  folder = field;
  if (folder.isEmpty() || values_.output_folder_confirmation) {
    const QString from = folder.isEmpty() ? settings_.ReadText(kSection, keys::kLastOutputFolder) : folder;
    const std::optional<QString> chosen = ui_.ChooseFolder(Word(text::kRipFolderChooserTitle), from);
    if (!chosen) return false;
    folder = *chosen;
  }
  settings_.WriteText(kSection, keys::kLastOutputFolder, folder);
  if (field.isEmpty()) {
    view_.SetOutputFolderField(folder);
    settings_.WriteText(kSection, keys::kOutputFolder, folder);
  }
  return true;
}

RipSessionOptions RipRun::OptionsFor(const QString& folder) {
  RipSessionOptions options;
  options.device = start_.device;
  options.output_folder = folder;
  options.pattern = pattern_;
  options.settings = start_.settings;
  options.TakeReading(values_, ReadOffsetFor(settings_, DriveIdentifier(start_.device)));
  options.tags = start_.keep_tags;
  options.normalize = LoudnessTarget::Read(settings_, keys::section::kRip);
  options.verify = values_.verify_accuraterip;
  options.log = values_.rip_log;
  options.program_folder = start_.program_folder;
  options.existing.question = text::kRipAlreadyExists;
  options.existing.confirm = values_.confirm_overwrite;
  options.existing.overwrite_all = &overwrite_all_;
  options.existing.remember = [this](bool dont_ask_again) {
    settings_.WriteNumber(kSection, keys::kConfirmOverwrite, dont_ask_again ? 0 : 1);
  };
  options.grab_without_disc = true;
  options.fail_at_retry_limit = true;
  options.end_at_folder_failure = true;
  options.stop_request = &stop_;
  options.waiting = &waiting_;
  return options;
}

void RipRun::SetRunning(bool running) {
  running_ = running;
  if (running) {
    view_.SetRipButton(Word(text::kRipStopButton), Word(text::kRipStopTooltip), true);
  } else {
    view_.SetRipButton(Word(text::kRipStartButton), Word(text::kRipStartTooltip), true);
  }
  view_.SetRipControlsEnabled(!running);
}

void RipRun::Run(const RipRunStart& start) {
  if (running_) return;
  start_ = start;
  if (services_.stop_playback) services_.stop_playback();
  if (!CheckRows()) return;
  if (services_.check_before_run && !services_.check_before_run()) return;
  if (grabber_ == nullptr) {
    ui_.ShowMessage(Word(text::kCoreComponentsFailed), MessageIcon::Error, MessageButtons::Ok);
    return;
  }
  values_ = RipperSettingsValues::Load(settings_);
  QString folder;
  if (!ChooseOutputFolder(folder)) return;
  output_folder_ = folder;
  pattern_ = SplitRipPattern(start_.output_name);
  DiscMetadata metadata{start_.artist, start_.album, start_.year, start_.genre_entry, {}};
  std::vector<int> rows;
  for (int row = 0; row < view_.RowCount(); ++row) {
    metadata.titles << view_.RowTitle(row);
    if (view_.RowChecked(row)) rows.push_back(row);
  }
  overwrite_all_ = false;
  stop_.pressed = false;
  cancelled_from_ = -1;
  RipSession session(*grabber_, settings_, mp3_, OptionsFor(folder), metadata, rows, *this);
  // Set-up stopped before any output was opened: there is nothing to complete.
  if (!session.SetUp()) return;

  SetRunning(true);
  for (int row = 0; row < view_.RowCount(); ++row)
    view_.SetRowStatus(row, Word(view_.RowChecked(row) ? text::kRipWaiting : text::kRipSkipped));
  session.Rip();
  session.Verify();
  session.WriteLog();
  End(session);
}

std::unique_ptr<IUserInterface> RipRun::Interface(int /*slot*/, const QString& /*name*/) {
  return std::make_unique<ForwardingUserInterface>(ui_);
}

void RipRun::Message(const QString& text) { ui_.ShowMessage(text, MessageIcon::Error, MessageButtons::Ok); }

void RipRun::TrackStarting(const RipSessionTrack& track, int ordinal, int total) {
  view_.FocusRow(track.row);
  if (!pattern_.folder.isEmpty()) output_folder_ = QFileInfo(track.output).absolutePath();
  ui_.SetStatusText(1, Word(text::kStatusOutput) + track.output);
  view_.SetRowStatus(track.row, Word(text::kRipGrabbing));
  view_.SetRipLabel(
      StringTable::Format(text::kRipTrackLabel, {Word(text::kRipGrabbing), ordinal, total, view_.RowTitle(track.row)}));
  ui_.SetJobProgress(0);
}

void RipRun::TellFailure(const RipSessionTrack& track) {
  switch (track.result) {
    case RipResult::NoOutput:
      ui_.ShowMessage(StringTable::Format(text::kRipUnableToCreate, {track.output}), MessageIcon::Error,
                      MessageButtons::Ok);
      return;
    case RipResult::NoFolder:
      ui_.ShowMessage(StringTable::Format(text::kRipFolderFailed, {QFileInfo(track.output).absolutePath()}),
                      MessageIcon::Error, MessageButtons::Ok);
      return;
    case RipResult::RetryLimit:
      ui_.ShowMessage(Word(text::kRipReadError), MessageIcon::Error, MessageButtons::Ok);
      if (services_.open_rip_settings) services_.open_rip_settings();
      return;
    default:
      break;
  }
  QString message = StringTable::Format(text::kRipTrackFailed, {track.number});
  if (!track.detail.isEmpty()) message += QStringLiteral("\n\n") + track.detail;
  ui_.ShowMessage(message, MessageIcon::Error, MessageButtons::Ok);
}

void RipRun::TrackEnded(const RipSessionTrack& track, int /*ended*/, int /*total*/) {
  if (track.failed || track.result == RipResult::NoFolder) TellFailure(track);
  ui_.SetJobProgress(100);
  if (track.failed) ui_.SetJobProgress(0);
  if ((track.result == RipResult::StoppedAll || track.result == RipResult::NoFolder) && cancelled_from_ < 0)
    cancelled_from_ = track.row;
  const QString word = Word(StatusWordOf(track.result));
  view_.SetRowStatus(track.row, word);
  if (track.done && track.stats.given_up > 0) view_.SetRowStatusDetail(track.row, RowDetail(track));
  view_.SetRipLabel(word);
}

void RipRun::Verified(const std::vector<RipSessionTrack>& tracks, const std::optional<AccurateRipCheckResult>&) {
  for (const RipSessionTrack& track : tracks) {
    if (!track.done) continue;
    if (const QString detail = RowDetail(track); !detail.isEmpty()) view_.SetRowStatusDetail(track.row, detail);
  }
}

void RipRun::RequestStop() {
  if (!running_) return;
  stop_.pressed = true;
  waiting_.Wake();  // a grab waiting for its end asks about the stop now
}

void RipRun::End(const RipSession& session) {
  // A Stop All or a missing folder cancels every row after it, checked or not.
  for (int row = cancelled_from_ + 1; cancelled_from_ >= 0 && row < view_.RowCount(); ++row)
    view_.SetRowStatus(row, Word(text::kRipCancelled));
  RunCompletion completion;
  const RipTally tally = TallyTracks(session.Tracks());
  if (tally.AllRipped()) {
    completion.summary = StringTable::Format(text::kRipSucceeded, {output_folder_});
  } else {
    // Anything short of a whole rip is told with the counts, under a heading that says so.
    completion.heading = Word(tally.ripped == 0 ? text::kRipNoTrackHeading : text::kRipNotEveryTrackHeading);
    completion.summary = tally.Summary(output_folder_).trimmed();
  }
  // The database's word on the tracks goes under the summary, the details into the rip log.
  if (session.Check()) completion.summary += QLatin1Char('\n') + session.Check()->SummaryText();
  completion.failed_count = static_cast<int>(tally.failed.size());
  completion.folder = output_folder_;
  CompleteRun(ui_, settings_, kSection, completion);
  ui_.SetJobProgress(0);  // while running, so that it reaches the rip's own bar
  SetRunning(false);
  view_.SetRipLabel(Word(text::kRipIdle));
  ui_.SetStatusText(1, Word(text::kStatusOutput));
}

}  // namespace corvane
