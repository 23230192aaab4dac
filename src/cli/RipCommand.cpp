#include "cli/RipCommand.h"

#include <unistd.h>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include "cli/AccurateRipReport.h"
#include "cli/CommandParsing.h"
#include "cli/ComponentGrab.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/DiscDevice.h"
#include "cli/DiscLookup.h"
#include "cli/OutputOptions.h"
#include "cli/TrackList.h"
#include "common/ProgramFolder.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "common/strings/ConverterText.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "components/IConversionComponent.h"
#include "components/grabber/DriveIdentifier.h"
#include "encoding/EncoderSetup.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"
#include "output/OutputClaims.h"
#include "output/OutputSettling.h"
#include "output/RunSummary.h"
#include "presets/COutputQualityMgmt.h"
#include "ripper/AccurateRipCheck.h"
#include "ripper/DiscReading.h"
#include "ripper/DiscVerification.h"
#include "ripper/RipLog.h"
#include "ripper/RipOutputNaming.h"
#include "ripper/RipTrack.h"
#include "ripper/RipperSettingsValues.h"
#include "ripper/TrackSpool.h"
#include "ripper/TrackTexts.h"
#include "tags/Id3Genres.h"
#include "tags/Id3v2Tag.h"

namespace corvane::cli {
namespace {

// The signal that ended the run, 0 while none came; the running track stops at its next block.
std::atomic<int> g_interrupted{0};
std::atomic<bool> g_stop{false};
extern "C" void OnRipInterrupt(int signal) {
  g_interrupted = signal;
  g_stop = true;
}
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kMaxGrabMode = static_cast<int>(GrabMode::Unreadable);
constexpr std::chrono::milliseconds kSignalCheck{50};
const QString kDefaultPattern = QStringLiteral("%A\\%M\\Track%N-%T");

QString Opt(const char* name) { return QString::fromLatin1(name); }

void PrintJsonLine(const QJsonObject& object) {
  std::fputs(QJsonDocument(object).toJson(QJsonDocument::Compact).constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// One checked track of the run and how it ended.
struct RipJob {
  int row = 0;
  int number = 0;
  QString output;
  QString status;
  QString detail;
  double seconds = 0;
  bool done = false;
  bool failed = false;
  bool reported = false;
  // Sees the audio as read; null for a track without a place among the disc's audio tracks.
  std::unique_ptr<AccurateRipChecksum> checksum;
  RipReadStats stats;
  std::optional<AccurateRipVerdict> verdict;
};

// A track read ahead, waiting for (or in) its encoding on a worker.
struct Encoding {
  size_t index = 0;
  RipTrackJob rip;
  SourceTags tags;
  std::unique_ptr<TrackSpool> spool;
  qint64 started_ms = 0;
  // The encoding's own stop request: an encoding takes back the request it stops at, so each
  // encoding running at once needs one of its own.
  std::atomic<bool> stop{false};
};

void AddRipOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(StringTable::Text(text::kRipDescription));
  parser.addPositionalArgument(Opt("rip"), StringTable::Text(text::kCliTheCommand));
  AddOutputOptions(parser);
  parser.addOptions({
      {Opt("device"), StringTable::Text(text::kRipDeviceHelp), Opt("PATH")},
      {Opt("tracks"), StringTable::Text(text::kRipTracksHelp), Opt("LIST")},
      {Opt("lookup"), StringTable::Text(text::kRipLookupHelp), Opt("SERVICE")},
      {Opt("output"), StringTable::Text(text::kRipOutputHelp), Opt("DIR")},
      {Opt("output-name"), StringTable::Text(text::kRipOutputNameHelp), Opt("PATTERN")},
      {Opt("grab-mode"), StringTable::Text(text::kRipGrabModeHelp), Opt("N")},
      {Opt("retries"), StringTable::Text(text::kRipRetriesHelp), Opt("N")},
      {Opt("error-action"), StringTable::Text(text::kRipErrorActionHelp), Opt("ACTION")},
      {Opt("jobs"), StringTable::Text(text::kRipJobsHelp), Opt("N")},
      {Opt("read-offset"), StringTable::Text(text::kRipReadOffsetHelp), Opt("N")},
      {Opt("no-verify"), StringTable::Text(text::kRipNoVerifyHelp)},
      {Opt("no-log"), StringTable::Text(text::kRipNoLogHelp)},
      {Opt("no-tags"), StringTable::Text(text::kNoTagsHelp)},
      {Opt("overwrite"), StringTable::Text(text::kOverwriteHelp)},
      {Opt("skip-existing"), StringTable::Text(text::kSkipExistingHelp)},
      {Opt("rename"), StringTable::Text(text::kRenameHelp)},
      {Opt("json"), StringTable::Text(text::kRipJsonHelp)},
  });
}

class RipRunner {
 public:
  RipRunner(const QCommandLineParser& parser, SettingsStore& stored)
      : parser_(parser), stored_(stored), presets_(stored) {}
  int Run();

 private:
  bool Prepare(QString& error);
  bool ReadOptionsOfReading(QString& error);
  // Opens the disc; the exit status when it cannot be ripped at all.
  std::optional<int> OpenDisc();
  bool ChooseTracks(QString& error);
  bool SetUpEncoders();
  // Names the output of `job` and settles an existing one; false when the track is not ripped
  // (skipped, or its folder refused), its status then set.
  bool PrepareOutput(RipJob& job, RipTrackJob& rip, SourceTags& tags);
  void TakeResult(RipJob& job, const Result<RipResult>& result);
  void RipOne(RipJob& job);
  void RunInOrder();
  // --jobs above 1: the main flow reads each track into a spool, workers encode the spools.
  void RunOverlapped();
  void EncodeOnWorker(int worker);
  // Prints the finished tracks that are next in track order.
  void ReportInOrder();
  // Waits under `lock` until `ready`, passing a signal on to every encoding meanwhile.
  void WaitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready);
  bool SettleOutput(QString& output, bool& replace);
  // What a look-up found replaces the CD-TEXT's values; when it found nothing the CD-TEXT stays.
  void TakeLookup(const DiscLookupOutcome& found);
  SourceTags TagsOf(const RipJob& job) const;
  QJsonObject TrackObject(const RipJob& job) const;
  void Report(const RipJob& job);
  // The finished tracks' checksums, in track order, for the look-up and the output.
  TrackChecksums ChecksumsOf(const RipJob& job) const;
  // Looks the ripped tracks up and shows the checksums and verdicts.
  void Verify();
  // The rip log beside the tracks; its path, empty when none was written.
  QString WriteLog();
  int Finish();

  const QCommandLineParser& parser_;
  SettingsStore& stored_;
  COutputQualityMgmt presets_;
  std::unique_ptr<Console> console_;
  std::unique_ptr<IAudioCDGrabber> grabber_;
  std::vector<std::unique_ptr<IConversionComponent>> worker_converters_;
  EncodeSettings settings_;
  CdReadOptions read_;
  ReadSettings careful_;
  bool component_grab_ = false;
  RipReader reader_ = RipReader::CdStream;
  int jobs_count_ = 1;
  OutputClaims claims_;
  QElapsedTimer run_clock_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<Encoding>> queue_;
  std::set<Encoding*> running_;
  int in_flight_ = 0;
  bool closing_ = false;
  size_t next_report_ = 0;
  int reported_count_ = 0;
  int processor_share_ = 0;
  QString device_;
  QString output_folder_;
  RipPatternParts pattern_;
  DiscReading disc_;
  DiscMetadata metadata_;
  std::vector<RipJob> jobs_;
  std::optional<LookupSource> lookup_;
  bool json_ = false;
  RipperSettingsValues values_;     // the ripper's settings, the grab mode as the options chose it
  std::optional<int> read_offset_;  // given on the command line
  bool verify_ = true;
  bool log_ = true;
  std::optional<DiscVerification> verification_;
  std::optional<AccurateRipCheckResult> check_;
};

bool RipRunner::Prepare(QString& error) {
  ExistingOutput existing = ExistingOutput::Ask;
  int choices = 0;
  if (parser_.isSet(Opt("overwrite"))) existing = ExistingOutput::Overwrite, ++choices;
  if (parser_.isSet(Opt("skip-existing"))) existing = ExistingOutput::Skip, ++choices;
  if (parser_.isSet(Opt("rename"))) existing = ExistingOutput::Rename, ++choices;
  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  const bool interactive = ::isatty(STDIN_FILENO) != 0 && terminal;
  if (existing == ExistingOutput::Ask && !interactive) existing = ExistingOutput::Skip;
  json_ = parser_.isSet(Opt("json"));
  console_ = std::make_unique<Console>(existing, interactive, terminal && ::isatty(STDOUT_FILENO) != 0, json_);
  if (choices > 1) {
    error = StringTable::Text(text::kExistingChoicesExclusive);
    return false;
  }
  if (parser_.positionalArguments().size() > 1 || parser_.value(Opt("device")).isEmpty() ||
      parser_.value(Opt("output")).isEmpty()) {
    error = StringTable::Text(text::kRipUsage);
    return false;
  }
  if (!ReadOptionsOfReading(error)) return false;
  verify_ = !parser_.isSet(Opt("no-verify")) && values_.verify_accuraterip;
  log_ = !parser_.isSet(Opt("no-log")) && values_.rip_log;
  const QString service = parser_.value(Opt("lookup")).toLower();
  if (service == Opt("freedb")) {
    lookup_ = LookupSource::Freedb;
  } else if (service == Opt("musicbrainz")) {
    lookup_ = LookupSource::MusicBrainz;
  } else if (parser_.isSet(Opt("lookup")) && service != Opt("none")) {
    error = StringTable::Format(text::kRipBadLookup, {parser_.value(Opt("lookup"))});
    return false;
  }
  if (!LoadOutputSettings(*console_, parser_, presets_, stored_, settings_, error)) return false;
  const QString pattern = parser_.isSet(Opt("output-name"))
                              ? parser_.value(Opt("output-name"))
                              : stored_.ReadText(keys::section::kRip, keys::kOutputName, kDefaultPattern);
  pattern_ = SplitRipPattern(pattern.isEmpty() ? kDefaultPattern : pattern);
  output_folder_ = QDir(parser_.value(Opt("output"))).absolutePath();
  if (!QDir().mkpath(output_folder_)) {
    error = StringTable::Format(text::kCannotCreateFolder, {output_folder_});
    return false;
  }
  return true;
}

// --grab-mode, --retries, --error-action and --jobs: the ripper's settings are the defaults.
bool RipRunner::ReadOptionsOfReading(QString& error) {
  values_ = RipperSettingsValues::Load(stored_);
  careful_.grabMode = static_cast<int>(values_.grab_mode);
  if (parser_.isSet(Opt("grab-mode"))) {
    bool ok = false;
    careful_.grabMode = parser_.value(Opt("grab-mode")).toInt(&ok);
    if (!ok || careful_.grabMode < 1 || careful_.grabMode > kMaxGrabMode) {
      error = StringTable::Text(text::kRipBadGrabMode);
      return false;
    }
    values_.grab_mode = RipperSettingsValues::GrabModeOf(careful_.grabMode);
  }
  if (parser_.isSet(Opt("jobs"))) {
    bool ok = false;
    jobs_count_ = parser_.value(Opt("jobs")).toInt(&ok);
    if (!ok || jobs_count_ < 1) {
      error = StringTable::Text(text::kJobsNotANumber);
      return false;
    }
  }
  read_.retries = values_.retries;
  if (parser_.isSet(Opt("retries"))) {
    bool ok = false;
    read_.retries = parser_.value(Opt("retries")).toInt(&ok);
    if (!ok || read_.retries < 0 || read_.retries > RipperSettingsValues::kMaxRetries) {
      error = StringTable::Text(text::kRipBadRetries);
      return false;
    }
  }
  // Error actions: 0 stop, 1 silence, 2 discard. The CD stream cannot leave a sector out, so
  // discard reads through the track reader whatever the grab mode.
  careful_.errorAction = static_cast<int>(values_.error_action);
  if (parser_.isSet(Opt("error-action"))) {
    const QStringList actions = {Opt("stop"), Opt("silence"), Opt("discard")};
    careful_.errorAction = static_cast<int>(actions.indexOf(parser_.value(Opt("error-action")).toLower()));
    if (careful_.errorAction < 0) {
      error = StringTable::Format(text::kRipBadErrorAction, {parser_.value(Opt("error-action"))});
      return false;
    }
  }
  read_.skipErrors = careful_.errorAction != static_cast<int>(ErrorAction::Stop);
  careful_.retries = read_.retries;
  if (parser_.isSet(Opt("read-offset"))) {
    bool ok = false;
    const int offset = parser_.value(Opt("read-offset")).toInt(&ok);
    if (!ok || offset < -kMaxReadOffset || offset > kMaxReadOffset) {
      error = StringTable::Text(text::kRipBadReadOffset);
      return false;
    }
    read_offset_ = offset;
  }
  return true;
}

std::optional<int> RipRunner::OpenDisc() {
  const QString given = parser_.value(Opt("device"));
  grabber_ = CreateAudioCDGrabber();
  QString reason = ChooseDevice(*grabber_, given);
  if (reason.isEmpty()) {
    disc_ = ReadDisc(*grabber_);
    if (disc_.status.Failed())
      reason = disc_.status.text;
    else if (disc_.state != DiscState::Present)
      reason = StringTable::Text(text::kUnrecognisedDisc);
  }
  if (!reason.isEmpty()) {
    console_->Message(StringTable::Format(text::kNoReadableDisc, {given, reason}));
    return kExitSomeFailed;
  }
  device_ = grabber_->GetDrivePath();
  // The drive's stored offset unless one was given; a disc image holds the disc's audio as it is.
  const int offset = read_offset_.value_or(ReadOffsetFor(stored_, DriveIdentifier(device_)));
  read_.read_offset = offset;
  careful_.readOffset = offset;
  verification_ = DiscVerification::Read(device_);
  return std::nullopt;
}

bool RipRunner::ChooseTracks(QString& error) {
  const int rows = static_cast<int>(disc_.tracks.size());
  auto isAudio = [this](int row) { return disc_.tracks[static_cast<size_t>(row)].type == CdTrackType::Audio; };
  std::vector<int> numbers;
  if (parser_.isSet(Opt("tracks"))) {
    const std::optional<std::vector<int>> list = ParseTrackList(parser_.value(Opt("tracks")));
    if (!list) {
      error = StringTable::Format(text::kRipBadTracks, {parser_.value(Opt("tracks"))});
      return false;
    }
    for (const int number : *list) {
      if (number > rows) {
        error = StringTable::Format(text::kRipNoSuchTrack, {number});
        return false;
      }
      if (!isAudio(number - 1)) {
        error = StringTable::Format(text::kRipDataTrack, {number});
        return false;
      }
    }
    numbers = *list;
  } else {
    for (int row = 0; row < rows; ++row) {
      if (isAudio(row)) numbers.push_back(row + 1);
    }
    if (numbers.empty()) {
      error = StringTable::Text(text::kRipNoAudioTrack);
      return false;
    }
  }
  for (const int number : numbers) {
    RipJob& job = jobs_.emplace_back();
    job.row = number - 1;
    job.number = number;
  }
  return true;
}

void RipRunner::TakeLookup(const DiscLookupOutcome& found) {
  if (!found.found) {
    console_->Message(StringTable::Format(text::kRipLookupFallback, {found.failure}));
    return;
  }
  const auto take = [](QString& field, const QString& value) {
    if (!value.isEmpty()) field = value;
  };
  take(metadata_.artist, found.artist);
  take(metadata_.album, found.album);
  if (found.year > 0) metadata_.year = QString::number(found.year);
  if (const int genre = LookupGenreEntry(found.genre); !found.genre.isEmpty() && genre > 0)
    metadata_.genre_entry = genre;
  // The titles come in the disc's row order.
  const auto rows = static_cast<qsizetype>(found.titles.size());
  if (metadata_.titles.size() < rows) metadata_.titles.resize(rows);
  for (qsizetype row = 0; row < rows; ++row) take(metadata_.titles[row], found.titles[static_cast<size_t>(row)].second);
}

SourceTags RipRunner::TagsOf(const RipJob& job) const {
  SourceTags tags;
  tags.title = metadata_.titles.value(job.row);
  tags.artist = metadata_.artist;
  tags.album = metadata_.album;
  tags.year = metadata_.year;
  tags.track = QString::number(job.number);
  if (metadata_.genre_entry > 0) tags.genre = Id3Genres::Name(metadata_.genre_entry - 1);
  return tags;
}

// An output already there, whether from before the run or from an earlier track of it (a pattern
// without %N, two equal titles), is settled by the existing-output option: never replaced unasked.
// An earlier track's output counts although its encoding may not have finished yet; the name stays
// claimed unless the track fails.
bool RipRunner::SettleOutput(QString& output, bool& replace) {
  ExistingOutputRules rules;
  rules.question = text::kAlreadyExists;
  OutputClaim claim(&claims_);
  JobConsole asker(*console_, 0, QString());  // the reading slot: no track is read meanwhile
  if (!corvane::SettleOutput(output, replace, claim, asker, rules)) return false;
  claim.Keep();
  return true;
}

bool RipRunner::SetUpEncoders() {
  EncoderCapabilities capabilities;
  JobConsole setup(*console_, -1, QString());
  if (component_grab_) {
    grabber_->SetGrabMode(careful_.grabMode);
    grabber_->SetErrorAction(careful_.errorAction);
    grabber_->SetRetries(careful_.retries);
    grabber_->SetReadOffset(careful_.readOffset);
    IConversionComponent* encoder = grabber_->GetEncoder();
    if (encoder == nullptr) {
      console_->Message(StringTable::Text(text::kCoreComponentsFailed));
      return false;
    }
    return SetupEncoder(*encoder, settings_, presets_.Mp3Encoder(), capabilities, setup);
  }
  // One conversion component for each encoding that may run at once.
  const int encoders = jobs_count_ > 1 ? std::min<int>(jobs_count_ - 1, static_cast<int>(jobs_.size())) : 1;
  for (int i = 0; i < encoders; ++i) {
    std::unique_ptr<IConversionComponent> converter = CreateAudioConverter();
    if (!converter) {
      console_->Message(StringTable::Text(text::kCoreComponentsFailed));
      return false;
    }
    if (!SetupEncoder(*converter, settings_, presets_.Mp3Encoder(), capabilities, setup)) return false;
    worker_converters_.push_back(std::move(converter));
  }
  return true;
}

bool RipRunner::PrepareOutput(RipJob& job, RipTrackJob& rip, SourceTags& tags) {
  tags = TagsOf(job);
  const RipNameFields fields{tags.title, job.number, tags.artist, tags.album};
  const QString folder = RipFolderPath(output_folder_, pattern_.folder, fields);
  if (!QDir().mkpath(folder)) {
    job.status = StringTable::Text(text::kStatusFailed);
    job.detail = StringTable::Format(text::kCannotCreateFolder, {folder});
    job.failed = true;
    return false;
  }
  job.output = RipFilePath(folder, pattern_.file, fields, settings_.format);
  bool replace = false;
  if (!SettleOutput(job.output, replace)) {
    job.status = StringTable::Text(text::kStatusSkipped);
    return false;
  }
  rip.device = device_;
  rip.row = job.row;
  rip.reader = reader_;
  rip.read = read_;
  rip.careful = careful_;
  rip.output = job.output;
  rip.replace = replace;
  rip.converter = worker_converters_.empty() ? nullptr : worker_converters_.front().get();
  rip.settings = settings_;
  rip.program_folder = ProgramFolder(stored_);
  rip.user_settings = &stored_;
  rip.stop_request = &g_stop;
  job.checksum = verification_ ? verification_->ChecksumFor(job.row) : nullptr;
  rip.tap = job.checksum.get();
  job.stats = {};
  rip.stats = &job.stats;
  rip.tags = parser_.isSet(Opt("no-tags")) ? nullptr : &tags;
  rip.id3v2 = values_.Id3v2For(tags);
  return true;
}

void RipRunner::TakeResult(RipJob& job, const Result<RipResult>& result) {
  switch (result.code) {
    case RipResult::Done:
      job.status = StatusWord(FileResult::Converted);
      job.done = true;
      // The file is whole, but sectors the drive never gave are silence in it or left out.
      if (job.stats.given_up > 0) job.detail = StringTable::Text(text::kRipReadError);
      break;
    case RipResult::StoppedThis:
    case RipResult::StoppedAll:
      job.status = StatusWord(FileResult::Cancelled);
      break;
    case RipResult::NoDisc:
      job.status = StatusWord(FileResult::Failed);
      // The disc went away, or the image's file, since the run began.
      job.detail = StringTable::Format(text::kDriveUnopenable, {device_});
      job.failed = true;
      break;
    case RipResult::Failed:
      job.status = StatusWord(FileResult::Failed);
      job.detail = result.text;
      job.failed = true;
      break;
  }
}

void RipRunner::RipOne(RipJob& job) {
  RipTrackJob rip;
  SourceTags tags;
  if (!PrepareOutput(job, rip, tags)) return;
  JobConsole jobConsole(*console_, 0, StringTable::Format(text::kRipTrackName, {job.number}));
  const Result<RipResult> result =
      component_grab_ ? GrabWithComponent(*grabber_, rip, jobConsole) : RipTrack(rip, jobConsole);
  TakeResult(job, result);
  // A name a track did not end up with is free again for the tracks after it.
  if (!job.done) claims_.Release(job.output);
}

void RipRunner::RunInOrder() {
  for (RipJob& job : jobs_) {
    QElapsedTimer timer;
    timer.start();
    if (g_interrupted != 0) {
      job.status = StatusWord(FileResult::Cancelled);
    } else {
      RipOne(job);
    }
    job.seconds = timer.elapsed() / 1000.0;
    job.reported = true;
    console_->SetOverall(++reported_count_, static_cast<int>(jobs_.size()));
    Report(job);
  }
}

void RipRunner::EncodeOnWorker(int worker) {
  IConversionComponent* converter = worker_converters_[static_cast<size_t>(worker)].get();
  for (;;) {
    std::unique_ptr<Encoding> encoding;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return closing_ || !queue_.empty(); });
      if (queue_.empty()) return;
      encoding = std::move(queue_.front());
      queue_.pop_front();
      running_.insert(encoding.get());
    }
    RipJob& job = jobs_[encoding->index];
    encoding->rip.audio = &encoding->spool->Audio();
    encoding->rip.converter = converter;
    encoding->rip.stop_request = &encoding->stop;
    encoding->rip.tags = encoding->rip.tags != nullptr ? &encoding->tags : nullptr;
    Result<RipResult> result;
    {
      JobConsole jobConsole(*console_, worker + 1, StringTable::Format(text::kRipTrackName, {job.number}));
      result = RipTrack(encoding->rip, jobConsole);
    }
    encoding->spool.reset();
    std::lock_guard lock(mutex_);
    running_.erase(encoding.get());
    TakeResult(job, result);
    job.seconds = (run_clock_.elapsed() - encoding->started_ms) / 1000.0;
    job.reported = true;  // ready to be reported
    --in_flight_;
    changed_.notify_all();
  }
}

void RipRunner::ReportInOrder() {
  for (;;) {
    RipJob* job = nullptr;
    {
      std::lock_guard lock(mutex_);
      if (next_report_ >= jobs_.size() || !jobs_[next_report_].reported) return;
      job = &jobs_[next_report_++];
    }
    console_->SetOverall(++reported_count_, static_cast<int>(jobs_.size()));
    Report(*job);
  }
}

void RipRunner::WaitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready) {
  // A signal handler cannot wake a condition variable: the wait looks at the signal now and then.
  while (!ready()) {
    changed_.wait_for(lock, kSignalCheck);
    if (g_interrupted == 0) continue;
    for (Encoding* encoding : running_) encoding->stop = true;
    for (const std::unique_ptr<Encoding>& encoding : queue_) encoding->stop = true;
  }
}

void RipRunner::RunOverlapped() {
  const int encoders = static_cast<int>(worker_converters_.size());
  processor_share_ = std::max(1, QThread::idealThreadCount() / (encoders + 1));
  std::vector<std::thread> workers;
  for (int i = 0; i < encoders; ++i) workers.emplace_back([this, i] { EncodeOnWorker(i); });
  for (size_t index = 0; index < jobs_.size(); ++index) {
    RipJob& job = jobs_[index];
    const qint64 started = run_clock_.elapsed();
    auto encoding = std::make_unique<Encoding>();
    bool queued = false;
    if (g_interrupted != 0) {
      job.status = StatusWord(FileResult::Cancelled);
    } else if (PrepareOutput(job, encoding->rip, encoding->tags)) {
      {
        // The drive reads while up to `encoders` tracks are encoded, and no further ahead: a
        // track read waits in the queue only for the first encoding to end.
        std::unique_lock lock(mutex_);
        WaitUntil(lock, [this, encoders] { return in_flight_ <= encoders; });
      }
      ReportInOrder();
      encoding->rip.processor_share = processor_share_;
      JobConsole jobConsole(*console_, 0, StringTable::Format(text::kRipTrackName, {job.number}));
      const Result<RipResult> read = TrackSpool::Read(encoding->rip, jobConsole, encoding->spool);
      if (read.Succeeded()) {
        encoding->index = index;
        encoding->started_ms = started;
        std::lock_guard lock(mutex_);
        ++in_flight_;
        queue_.push_back(std::move(encoding));
        changed_.notify_all();
        queued = true;
      } else {
        TakeResult(job, read);
        claims_.Release(job.output);
      }
    }
    if (!queued) {
      std::lock_guard lock(mutex_);
      job.seconds = (run_clock_.elapsed() - started) / 1000.0;
      job.reported = true;
    }
    ReportInOrder();
  }
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    changed_.notify_all();
  }
  for (;;) {
    ReportInOrder();
    std::unique_lock lock(mutex_);
    if (next_report_ >= jobs_.size()) break;
    WaitUntil(lock, [this] { return jobs_[next_report_].reported; });
  }
  for (std::thread& worker : workers) worker.join();
}

TrackChecksums RipRunner::ChecksumsOf(const RipJob& job) const {
  TrackChecksums sums;
  sums.audioIndex = verification_ ? verification_->AudioIndexOfRow(job.row) : -1;
  if (!job.checksum) return sums;
  sums.v1 = job.checksum->V1();
  sums.v2 = job.checksum->V2();
  sums.crc32 = job.checksum->Crc32();
  sums.complete = job.checksum->Complete();
  return sums;
}

QJsonObject RipRunner::TrackObject(const RipJob& job) const {
  const QString source = StringTable::Format(text::kRipTrackName, {job.number});
  QJsonObject object{{Opt("track"), job.number},  {Opt("source"), device_ + QLatin1Char('#') + source},
                     {Opt("output"), job.output}, {Opt("status"), job.status},
                     {Opt("detail"), job.detail}, {Opt("seconds"), job.seconds}};
  if (job.done) object.insert(Opt("read_errors"), job.stats.given_up);
  if (job.done && job.checksum) AddChecksumFields(object, ChecksumsOf(job), job.verdict);
  return object;
}

void RipRunner::Report(const RipJob& job) {
  if (json_) {
    // With the look-up on, a track's object waits for its verdict.
    if (!verify_) PrintJsonLine(TrackObject(job));
    return;
  }
  const QString source = StringTable::Format(text::kRipTrackName, {job.number});
  QString line = job.status + QStringLiteral(": ") + source;
  if (job.done) line += QStringLiteral(" -> ") + job.output;
  if (!job.detail.isEmpty()) line += QStringLiteral(" (") + job.detail + QLatin1Char(')');
  console_->Print(line);
}

void RipRunner::Verify() {
  std::vector<size_t> ripped;
  for (size_t i = 0; i < jobs_.size(); ++i) {
    if (jobs_[i].done && jobs_[i].checksum) ripped.push_back(i);
  }
  if (verify_ && verification_ && !ripped.empty() && g_interrupted == 0) {
    std::vector<TrackChecksums> sums;
    for (const size_t i : ripped) sums.push_back(ChecksumsOf(jobs_[i]));
    check_ = CheckWithAccurateRip(verification_->Id(), sums, stored_);
    for (size_t k = 0; k < ripped.size() && k < check_->verdicts.size(); ++k)
      jobs_[ripped[k]].verdict = check_->verdicts[k];
  }
  if (json_) {
    if (verify_) {
      for (const RipJob& job : jobs_) PrintJsonLine(TrackObject(job));
    }
    return;
  }
  for (const size_t i : ripped) {
    const RipJob& job = jobs_[i];
    console_->Print(
        ChecksumLine(StringTable::Format(text::kRipTrackName, {job.number}), ChecksumsOf(job), job.verdict));
  }
  if (check_) console_->Print(check_->SummaryText());
}

QString RipRunner::WriteLog() {
  const auto first = std::find_if(jobs_.begin(), jobs_.end(), [](const RipJob& job) { return job.done; });
  if (!log_ || g_interrupted != 0 || first == jobs_.end()) return {};
  RipLogData data;
  data.date = QDateTime::currentDateTime();
  data.drive = DriveIdentifier(device_);
  if (data.drive.isEmpty()) data.drive = device_;
  data.readOffset = careful_.readOffset;
  data.grabModePreset = careful_.grabMode;
  data.retries = careful_.retries;
  data.errorAction = careful_.errorAction;
  data.outputFormat = catalogue::NameOf(settings_.format);
  if (verification_) {
    data.accurateRipId = DiscIdName(verification_->Id());
    data.cddbId = QStringLiteral("%1").arg(verification_->Id().cddb, 8, 16, QLatin1Char('0'));
  }
  data.databaseStatus = check_ ? check_->DatabaseText() : StringTable::Text(text::kRipNotChecked);
  for (const RipJob& job : jobs_) {
    if (!job.done) continue;
    RipLogTrack& track = data.tracks.emplace_back();
    track.number = job.number;
    track.title = metadata_.titles.value(job.row);
    track.file = job.output;
    track.readErrors = job.stats.given_up;
    track.worstRetries = job.stats.worst_attempts;
    if (const TrackChecksums sums = ChecksumsOf(job); job.checksum && sums.complete) {
      track.crc32 = sums.crc32;
      track.v1 = sums.v1;
      track.v2 = sums.v2;
    }
    if (job.verdict) track.verdict = AccurateRipVerdictText(*job.verdict);
  }
  if (check_) data.summary = check_->SummaryText();
  const QString path = FreeRipLogPath(QFileInfo(first->output).absolutePath(), metadata_.album);
  if (!WriteRipLog(path, data)) {
    console_->Message(StringTable::Format(text::kRipLogFailed, {path}));
    return {};
  }
  return path;
}

int RipRunner::Finish() {
  Verify();
  const QString log = WriteLog();
  if (!json_ && !log.isEmpty()) console_->Print(StringTable::Format(text::kRipLogLine, {log}));
  int succeeded = 0;
  QStringList failed;
  for (const RipJob& job : jobs_) {
    if (job.done) ++succeeded;
    if (job.failed) failed << StringTable::Format(text::kRipTrackName, {job.number});
  }
  QJsonObject extra;
  if (check_) extra.insert(Opt("accuraterip"), CheckSummaryObject(*check_));
  if (verification_) extra.insert(Opt("disc_id"), DiscIdName(verification_->Id()));
  if (!log.isEmpty()) extra.insert(Opt("log"), log);
  const QString summary = RunSummary(succeeded, failed, false, output_folder_).trimmed();
  ReportRunEnd(*console_, json_, summary, Opt("tracks"), static_cast<int>(jobs_.size()), succeeded,
               static_cast<int>(failed.size()), g_interrupted != 0, extra);
  if (g_interrupted != 0) return kExitSignalBase + g_interrupted;
  return failed.isEmpty() ? kExitOk : kExitSomeFailed;
}

int RipRunner::Run() {
  QString error;
  if (!Prepare(error)) {
    console_->Message(error);
    return kExitUsage;
  }
  if (const std::optional<int> refused = OpenDisc()) return *refused;
  if (!ChooseTracks(error)) {
    console_->Message(error);
    return kExitUsage;
  }
  metadata_ = ReadCdTextTitles(disc_.cd_text);
  if (lookup_) TakeLookup(LookUpDisc(*grabber_, stored_, *lookup_));
  component_grab_ = values_.UsesComponentGrab(settings_);
  if (!component_grab_ && (values_.Careful() || careful_.errorAction == static_cast<int>(ErrorAction::Discard)))
    reader_ = RipReader::TrackReader;
  if (!SetUpEncoders()) return kExitUsage;
  console_->SetNameTaken([this](const QString& path) { return claims_.IsClaimed(path); });

  for (const int signal : kStopSignals) std::signal(signal, OnRipInterrupt);
  run_clock_.start();
  // The grabber encodes as it reads: there is nothing to overlap.
  if (jobs_count_ > 1 && !component_grab_) {
    RunOverlapped();
  } else {
    RunInOrder();
  }
  for (const int signal : kStopSignals) std::signal(signal, SIG_DFL);
  return Finish();
}

}  // namespace

int RunRipCommand(const QStringList& arguments, SettingsStore& settings) {
  QCommandLineParser parser;
  AddRipOptions(parser);
  if (const std::optional<int> done = ParseCommand(parser, arguments)) return *done;
  RipRunner runner(parser, settings);
  return runner.Run();
}

}  // namespace corvane::cli
