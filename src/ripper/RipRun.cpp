#include "ripper/RipRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "common/PathJoin.h"
#include "common/RunCompletion.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "components/IConversionComponent.h"
#include "encoding/EncodeTrack.h"
#include "encoding/OutputTagging.h"
#include "engine/CdStream.h"
#include "engine/MixerStream.h"
#include "formats/OutputFormatCatalogue.h"
#include "output/OutputClaims.h"
#include "output/OutputSettling.h"
#include "output/TemporaryOutput.h"
#include "ripper/DiscReading.h"
#include "ripper/RipOutputNaming.h"
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
      return text::kRipFailed;
    case RipResult::StoppedThis:
    case RipResult::StoppedAll:
      return text::kRipCancelled;
    case RipResult::Skipped:
      break;
  }
  return text::kRipSkipped;
}

}  // namespace

RipRun::RipRun(IRipperView& view, IUserInterface& ui, SettingsStore& settings, IAudioCDGrabber* grabber,
               RipRunServices services)
    : view_(view), ui_(ui), settings_(settings), grabber_(grabber), services_(std::move(services)) {
  if (!services_.encode) services_.encode = EncodeTrack;
}

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
  if (folder.isEmpty() || rip_settings_.output_folder_confirmation) {
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

  rip_settings_ = RipperSettingsValues::Load(settings_);
  const int preset = static_cast<int>(rip_settings_.grab_mode);
  const int action = static_cast<int>(rip_settings_.error_action);
  if (grabber_ != nullptr) {
    grabber_->SetGrabMode(preset);
    grabber_->SetErrorAction(action);
    grabber_->SetRetries(rip_settings_.retries);
  }
  component_grab_ = rip_settings_.UsesComponentGrab(start_.settings);
  RipVerifier::RunFacts facts;
  facts.device = start_.device;
  facts.grab_mode = preset;
  facts.retries = rip_settings_.retries;
  facts.error_action = action;
  facts.output_format = QStringLiteral("%1, %2 Hz, %3 ch")
                           .arg(catalogue::ExtensionOf(start_.settings.format).mid(1).toUpper())
                           .arg(start_.settings.sample_rate)
                           .arg(start_.settings.channels);
  facts.album = start_.album;
  verifier_.Start(facts, settings_);
  if (grabber_ != nullptr) grabber_->SetReadOffset(verifier_.ReadOffset());

  if (!ChooseOutputFolder(output_folder_)) return;
  total_ = 0;
  for (int row = 0; row < view_.RowCount(); ++row) total_ += view_.RowChecked(row) ? 1 : 0;

  encoder_ = grabber_ != nullptr ? grabber_->GetEncoder() : nullptr;
  if (encoder_ != nullptr && services_.setup_encoder && !services_.setup_encoder(*encoder_)) {
    // Set-up stopped before any output was opened: there is nothing to complete.
    static_cast<void>(encoder_->Reset());
    return;
  }

  SetRunning(true);
  for (int row = 0; row < view_.RowCount(); ++row) view_.SetRowStatus(row, Word(text::kRipWaiting));
  const RipPatternParts pattern = SplitRipPattern(start_.output_name);
  const QString runFolder = output_folder_;
  stop_request_ = false;
  stop_all_after_track_ = false;
  overwrite_all_ = false;
  ordinal_ = 0;
  failed_ = 0;
  claims_ = std::make_unique<OutputClaims>();

  for (int row = 0; row < view_.RowCount(); ++row) {
    view_.FocusRow(row);
    if (!view_.RowChecked(row)) {
      view_.SetRowStatus(row, Word(text::kRipSkipped));
      view_.SetRipLabel(Word(text::kRipSkipped));
      continue;
    }
    ++ordinal_;
    const QString title = view_.RowTitle(row);
    if (!pattern.folder.isEmpty()) {
      const RipNameFields fields{title, row + 1, start_.artist, start_.album};
      output_folder_ = RipFolderPath(runFolder, pattern.folder, fields);
      if (!QDir().mkpath(output_folder_)) {
        ui_.ShowMessage(StringTable::Format(text::kRipFolderFailed, {output_folder_}), MessageIcon::Error,
                        MessageButtons::Ok);
        for (int left = row; left < view_.RowCount(); ++left) view_.SetRowStatus(left, Word(text::kRipCancelled));
        break;
      }
    }
    const RipNameFields fields{title, row + 1, start_.artist, start_.album};
    const QString output = RipFilePath(output_folder_, pattern.file, fields, start_.settings.format);
    const RipResult result = RipTrackTo(row, title, output);
    Finish(row, result);
    if (result == RipResult::StoppedAll || stop_all_after_track_) {
      const int first = result == RipResult::StoppedAll ? row : row + 1;
      for (int left = first; left < view_.RowCount(); ++left) view_.SetRowStatus(left, Word(text::kRipCancelled));
      break;
    }
  }
  End();
}

bool RipRun::SettleOutput(QString& output, bool& replace, OutputClaim& claim) {
  ExistingOutputRules rules;
  rules.question = text::kRipAlreadyExists;
  rules.confirm = rip_settings_.confirm_overwrite;
  rules.overwrite_all = &overwrite_all_;
  // A name an earlier track of this run took is an existing output whatever the settings say:
  // two tracks never land on one file unasked.
  rules.ask_for_taken = true;
  rules.remember = [this](bool dontAsk) {
    rip_settings_.confirm_overwrite = !dontAsk;
    settings_.WriteNumber(kSection, keys::kConfirmOverwrite, dontAsk ? 0 : 1);
  };
  return corvane::SettleOutput(output, replace, claim, ui_, rules);
}

RipResult RipRun::RipTrackTo(int row, const QString& title, QString output) {
  bool replace = false;
  OutputClaim claim(claims_.get());
  if (!SettleOutput(output, replace, claim)) return RipResult::Skipped;
  const bool byName = component_grab_ || catalogue::WriterNeedsName(start_.settings.format);
  int error = 0;
  std::unique_ptr<TemporaryOutput> temporary = TemporaryOutput::Create(output, byName, error);
  if (!temporary) {
    ui_.ShowMessage(StringTable::Format(text::kRipUnableToCreate, {output}), MessageIcon::Error, MessageButtons::Ok);
    return RipResult::Failed;
  }
  ui_.SetStatusText(1, Word(text::kStatusOutput) + output);
  view_.SetRowStatus(row, Word(text::kRipGrabbing));
  view_.SetRipLabel(StringTable::Format(text::kRipTrackLabel, {Word(text::kRipGrabbing), ordinal_, total_, title}));
  ui_.SetJobProgress(0);

  QString reason;
  bool grabbed = false;
  RipResult result = RipResult::NoDisc;
  PcmTap* tap = verifier_.BeginTrack(row);
  read_errors_ = 0;
  read_attempts_ = 0;
  const SourceTags tags = TrackTags(row, title);
  const SourceTags* kept = start_.keep_tags ? &tags : nullptr;
  if (!component_grab_) result = OwnPath(row, temporary->WritePath(), output, tap, kept, reason);
  if (result == RipResult::NoDisc) {
    // Without a disc the library cannot read, the grabber may still reach the drive.
    component_grab_ = true;
    // The grabber opens its output by name.
    if (!byName) temporary = TemporaryOutput::Create(output, true, error);
    grabbed = true;
    result = temporary ? ComponentGrab(row, temporary->WritePath(), tap, reason) : RipResult::Failed;
  }
  if (result == RipResult::Failed) {
    QString message = StringTable::Format(text::kRipTrackFailed, {row + 1});
    if (!reason.isEmpty()) message += QStringLiteral("\n\n") + reason;
    ui_.ShowMessage(message, MessageIcon::Error, MessageButtons::Ok);
  }
  if (grabbed && result == RipResult::Done && rip_settings_.retries != 0 && read_attempts_ == rip_settings_.retries) {
    ui_.ShowMessage(Word(text::kRipReadError), MessageIcon::Error, MessageButtons::Ok);
    if (services_.open_rip_settings) services_.open_rip_settings();
    result = RipResult::Failed;
  }
  // An unfinished track lets its name go; its file goes with `temporary`.
  if (result != RipResult::Done) return result;
  // Tags the back-end does not write itself go in once the audio is complete.
  if (kept != nullptr)
    WriteTagsAfterEncoding(temporary->WritePath(), start_.settings.format, tags, rip_settings_.Id3v2For(tags));
  switch (PlaceOutput(
      *temporary, output, replace, [&] { return SettleOutput(output, replace, claim); }, error)) {
    case Placing::Done:
      claim.Keep();
      verifier_.TrackRipped(row, title, output, read_attempts_, read_errors_);
      return RipResult::Done;
    case Placing::Skipped:
      return RipResult::Skipped;
    case Placing::Failed:
      break;
  }
  ui_.ShowMessage(StringTable::Format(text::kRipUnableToCreate, {output}), MessageIcon::Error, MessageButtons::Ok);
  return RipResult::Failed;
}

RipResult RipRun::OwnPath(int row, const QString& writePath, const QString& shownPath, PcmTap* tap,
                          const SourceTags* tags, QString& reason) {
  const bool skipErrors = rip_settings_.error_action != ErrorAction::Stop;
  auto created = CdStream::Create(start_.device, row,
                                  CdReadOptions{rip_settings_.retries, skipErrors, verifier_.ReadOffset(), tap});
  if (!created.Succeeded()) {
    if (created.status.code == EngineError::NoCd) return RipResult::NoDisc;
    ui_.ShowMessage(StringTable::Format(text::kRipStartFailedCode, {ToCode(created.status.code)}), MessageIcon::Error,
                    MessageButtons::Ok);
    return RipResult::Failed;
  }
  std::unique_ptr<CdStream> cd = std::move(*created.value);
  std::unique_ptr<MixerStream> mixer;
  const EncoderInput wanted = catalogue::InputFor(start_.settings, CdStream::kRate, 2);
  if (wanted.mixer) {
    auto mixed = MixerStream::Create(*cd, wanted.rate, wanted.channels);
    if (!mixed.Succeeded()) {
      ui_.ShowMessage(StringTable::Format(text::kRipStartFailedCode, {ToCode(mixed.status.code)}), MessageIcon::Error,
                      MessageButtons::Ok);
      return RipResult::Failed;
    }
    mixer = std::move(*mixed.value);
  }
  EncodeJob job;
  job.output_path = writePath;
  job.final_path = shownPath;
  job.source = cd.get();
  job.encode = mixer ? static_cast<AudioStream*>(mixer.get()) : cd.get();
  job.converter = encoder_;
  job.settings = start_.settings;
  job.keep_tags = tags != nullptr;
  job.tags = tags;
  job.stop_question = text::kAskStopRipping;
  job.stop_request = &stop_request_;
  job.program_folder = start_.program_folder;
  job.user_settings = &settings_;
  EncodeOutcome outcome = services_.encode(job, ui_);
  ui_.SetJobProgress(100);
  if (encoder_ != nullptr) {
    const ConverterResult finishing = encoder_->Reset();
    if (finishing.Failed() && outcome.Succeeded()) outcome = EncodingFailed(finishing);
  }
  read_errors_ = cd->SkippedSectors();
  read_attempts_ = cd->WorstAttempts();
  mixer.reset();
  cd.reset();
  switch (outcome.code) {
    case EncodeResult::Done:
      return RipResult::Done;
    case EncodeResult::StoppedThis:
      return RipResult::StoppedThis;
    case EncodeResult::StoppedAll:
      return RipResult::StoppedAll;
    case EncodeResult::Failed:
      break;
  }
  reason = outcome.text;
  return RipResult::Failed;
}

SourceTags RipRun::TrackTags(int row, const QString& title) const {
  SourceTags tags;
  tags.title = title;
  tags.artist = start_.artist;
  tags.album = start_.album;
  tags.year = start_.year;
  tags.track = QString::number(row + 1);
  tags.genre = start_.genre;
  return tags;
}

void RipRun::Finish(int row, RipResult result) {
  ui_.SetJobProgress(100);
  if (result == RipResult::Failed || result == RipResult::NoDisc) {
    ui_.SetJobProgress(0);
    ++failed_;
  }
  if (row < view_.RowCount()) {
    view_.SetRowStatus(row, Word(StatusWordOf(result)));
    view_.SetRipLabel(Word(StatusWordOf(result)));
  }
}

void RipRun::End() {
  RunCompletion completion;
  completion.summary = StringTable::Format(text::kRipSucceeded, {output_folder_});
  // The database's word on the tracks goes under the summary, the details into the rip log.
  const QString verified = verifier_.Finish(settings_, output_folder_);
  if (!verified.isEmpty()) completion.summary += QLatin1Char('\n') + verified;
  for (const auto& [row, detail] : verifier_.RowDetails()) view_.SetRowStatusDetail(row, detail);
  completion.failed_count = failed_;
  completion.folder = output_folder_;
  CompleteRun(ui_, settings_, kSection, completion);
  ui_.SetJobProgress(0);  // while running, so that it reaches the rip's own bar
  SetRunning(false);
  view_.SetRipLabel(Word(text::kRipIdle));
  ui_.SetStatusText(1, Word(text::kStatusOutput));
  claims_.reset();
}

}  // namespace corvane
