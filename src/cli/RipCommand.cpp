#include "cli/RipCommand.h"

#include <unistd.h>
#include <QCommandLineParser>
#include <QDir>
#include <QJsonObject>
#include <QThread>
#include <algorithm>
#include <limits>

#include "cli/AccurateRipReport.h"
#include "cli/CommandParsing.h"
#include "cli/ConsoleRipReport.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/DiscDevice.h"
#include "cli/DiscLookup.h"
#include "cli/LoudnessOptions.h"
#include "cli/OutputOptions.h"
#include "cli/TrackList.h"
#include "common/EventLoopWaiting.h"
#include "common/ProgramFolder.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/SignalGuard.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "common/strings/ConverterText.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "components/grabber/DriveIdentifier.h"
#include "presets/COutputQualityMgmt.h"
#include "ripper/AccurateRipCheck.h"
#include "ripper/DiscReading.h"
#include "ripper/RipOutputNaming.h"
#include "ripper/RipSession.h"
#include "ripper/RipperSettingsValues.h"
#include "ripper/TrackTexts.h"
#include "tags/Id3Genres.h"

namespace corvane::cli {
namespace {

constexpr int kMaxGrabMode = static_cast<int>(GrabMode::Unreadable);
const QString kDefaultPattern = QStringLiteral("%A\\%M\\Track%N-%T");

QString Opt(const char* name) { return QString::fromLatin1(name); }

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
      {Opt("normalize-loudness"), StringTable::Text(text::kNormalizeLoudnessHelp), Opt("LUFS")},
      {Opt("true-peak"), StringTable::Text(text::kTruePeakHelp), Opt("DBTP")},
  });
  AddReplayGainOption(parser);
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
  // What a look-up found replaces the CD-TEXT's values; when it found nothing the CD-TEXT stays.
  void TakeLookup(const DiscLookupOutcome& found);
  int Finish(RipSession& session);

  const QCommandLineParser& parser_;
  SettingsStore& stored_;
  COutputQualityMgmt presets_;
  std::unique_ptr<Console> console_;
  std::unique_ptr<IAudioCDGrabber> grabber_;
  RipSessionOptions options_;
  RipperSettingsValues values_;  // the ripper's settings with the options' changes
  DiscReading disc_;
  DiscMetadata metadata_;
  std::vector<int> rows_;
  std::optional<LookupSource> lookup_;
  bool json_ = false;
  std::optional<int> read_offset_;  // given on the command line
  // The signal that ended the run, 0 while none came; the running track stops at its next block.
  std::atomic<int> interrupted_{0};
  RipStopRequest stop_;
  // The rip's thread serves the grabber's events and the network while it waits.
  EventLoopWaiting waiting_;
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
  options_.verify = !parser_.isSet(Opt("no-verify")) && values_.verify_accuraterip;
  options_.log = !parser_.isSet(Opt("no-log")) && values_.rip_log;
  const QString service = parser_.value(Opt("lookup")).toLower();
  if (service == Opt("freedb")) {
    lookup_ = LookupSource::Freedb;
  } else if (service == Opt("musicbrainz")) {
    lookup_ = LookupSource::MusicBrainz;
  } else if (parser_.isSet(Opt("lookup")) && service != Opt("none")) {
    error = StringTable::Format(text::kRipBadLookup, {parser_.value(Opt("lookup"))});
    return false;
  }
  if (!LoadOutputSettings(*console_, parser_, presets_, stored_, options_.settings, error)) return false;
  const QString pattern = parser_.isSet(Opt("output-name"))
                              ? parser_.value(Opt("output-name"))
                              : stored_.ReadText(keys::section::kRip, keys::kOutputName, kDefaultPattern);
  options_.pattern = SplitRipPattern(pattern.isEmpty() ? kDefaultPattern : pattern);
  options_.output_folder = QDir(parser_.value(Opt("output"))).absolutePath();
  if (!QDir().mkpath(options_.output_folder)) {
    error = StringTable::Format(text::kCannotCreateFolder, {options_.output_folder});
    return false;
  }
  return true;
}

// --grab-mode, --retries, --error-action and --jobs: the ripper's settings are the defaults.
bool RipRunner::ReadOptionsOfReading(QString& error) {
  values_ = RipperSettingsValues::Load(stored_);
  const auto number = [this](const char* name, int low, int high, int& value) {
    if (!parser_.isSet(Opt(name))) return true;
    bool ok = false;
    value = parser_.value(Opt(name)).toInt(&ok);
    return ok && value >= low && value <= high;
  };
  int mode = static_cast<int>(values_.grab_mode);
  if (!number("grab-mode", 1, kMaxGrabMode, mode)) {
    error = StringTable::Text(text::kRipBadGrabMode);
    return false;
  }
  values_.grab_mode = RipperSettingsValues::GrabModeOf(mode);
  // One encoder per processor; the reader runs beside them, mostly waiting on the drive.
  options_.jobs = std::max(1, QThread::idealThreadCount());
  if (!number("jobs", 1, std::numeric_limits<int>::max(), options_.jobs)) {
    error = StringTable::Text(text::kJobsNotANumber);
    return false;
  }
  if (!number("retries", 0, RipperSettingsValues::kMaxRetries, values_.retries)) {
    error = StringTable::Text(text::kRipBadRetries);
    return false;
  }
  // Error actions: 0 stop, 1 silence, 2 discard.
  if (parser_.isSet(Opt("error-action"))) {
    const QStringList actions = {Opt("stop"), Opt("silence"), Opt("discard")};
    const qsizetype action = actions.indexOf(parser_.value(Opt("error-action")).toLower());
    if (action < 0) {
      error = StringTable::Format(text::kRipBadErrorAction, {parser_.value(Opt("error-action"))});
      return false;
    }
    values_.error_action = static_cast<ErrorAction>(action);
  }
  int offset = 0;
  if (!number("read-offset", -kMaxReadOffset, kMaxReadOffset, offset)) {
    error = StringTable::Text(text::kRipBadReadOffset);
    return false;
  }
  if (parser_.isSet(Opt("read-offset"))) read_offset_ = offset;
  ReplayGainMode replaygain = ReplayGainMode::Off;
  if (!ReplayGainFrom(parser_, values_.replaygain, replaygain, error)) return false;
  values_.replaygain = static_cast<int>(replaygain);
  return LoudnessTargetFrom(parser_, stored_, keys::section::kRip, options_.normalize, error);
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
  options_.device = grabber_->GetDrivePath();
  // The drive's stored offset unless one was given; a disc image holds the disc's audio as it is.
  options_.TakeReading(values_, read_offset_.value_or(ReadOffsetFor(stored_, DriveIdentifier(options_.device))));
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
  for (const int number : numbers) rows_.push_back(number - 1);
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

int RipRunner::Finish(RipSession& session) {
  session.Verify();
  const QString log = session.WriteLog();
  if (!json_ && !log.isEmpty()) console_->Print(StringTable::Format(text::kRipLogLine, {log}));
  const RipTally tally = TallyTracks(session.Tracks());
  QJsonObject extra;
  if (session.Check()) extra.insert(Opt("accuraterip"), CheckSummaryObject(*session.Check()));
  if (session.Verification()) extra.insert(Opt("disc_id"), DiscIdName(session.Verification()->Id()));
  if (!log.isEmpty()) extra.insert(Opt("log"), log);
  if (const std::optional<Loudness>& album = session.AlbumLoudness()) {
    extra.insert(Opt("album"), LoudnessJson(*album));
    if (!json_) console_->Print(StringTable::Format(text::kAlbumGainLine, {metadata_.album, LoudnessLine(*album)}));
  }
  const QString summary = tally.Summary(options_.output_folder).trimmed();
  ReportRunEnd(*console_, json_, summary, Opt("tracks"), static_cast<int>(rows_.size()), tally.ripped,
               static_cast<int>(tally.failed.size()), interrupted_ != 0, extra);
  if (interrupted_ != 0) return kExitSignalBase + interrupted_;
  return tally.failed.isEmpty() ? kExitOk : kExitSomeFailed;
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
  options_.tags = !parser_.isSet(Opt("no-tags"));
  options_.program_folder = ProgramFolder(stored_);
  options_.stop_request = &stop_;
  options_.interrupted = &interrupted_;
  options_.waiting = &waiting_;
  ConsoleRipReport report(*console_, json_, options_.verify, options_.device);
  RipSession session(*grabber_, stored_, presets_.Mp3Encoder(), options_, metadata_, rows_, report);
  if (!session.SetUp()) return kExitUsage;
  console_->SetNameTaken([&session](const QString& path) { return session.NameClaimed(path); });

  {
    SignalGuard guard(waiting_);
    // Set before the guard wakes the session's wait.
    const std::stop_callback onSignal(guard.Token(), [this, &guard] {
      interrupted_ = guard.Signal();
      stop_.pressed = true;
    });
    session.Rip();
    interrupted_ = guard.Signal();  // the last signal names the exit status
  }
  return Finish(session);
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
