#include "ripper/RipSession.h"

#include <QDir>
#include <QThread>
#include <algorithm>

#include "common/OrderedWorkerPool.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "common/strings/FormatText.h"
#include "common/strings/RipperText.h"
#include "components/IAudioCDGrabber.h"
#include "components/IConversionComponent.h"
#include "encoding/EncoderSetup.h"
#include "engine/CdStream.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"
#include "output/OutputSettling.h"
#include "output/RunSummary.h"
#include "ripper/ComponentGrab.h"
#include "ripper/DiscReading.h"
#include "ripper/TrackSpool.h"
#include "tags/Id3Genres.h"

namespace corvane {
namespace {

QString TrackName(const RipSessionTrack& track) { return StringTable::Format(text::kRipTrackName, {track.number}); }

}  // namespace

// A track read ahead, waiting for (or in) its encoding on a worker.
struct RipSession::Encoding {
  size_t index = 0;
  RipTrackJob rip;
  SourceTags tags;
  std::unique_ptr<TrackSpool> spool;
  qint64 started_ms = 0;
  // The encoding's own stop request, pressed when the pool stops its job: an encoding takes back
  // the request it stops at, so each encoding running at once needs one of its own.
  RipStopRequest stop;
};

RipSession::RipSession(IAudioCDGrabber& grabber, SettingsStore& stored, Mp3EncoderConfig& mp3,
                       RipSessionOptions options, DiscMetadata metadata, const std::vector<int>& rows,
                       IRipObserver& observer)
    : grabber_(grabber),
      stored_(stored),
      mp3_(mp3),
      options_(std::move(options)),
      metadata_(std::move(metadata)),
      observer_(observer),
      verification_(DiscVerification::Read(options_.device)) {
  for (const int row : rows) {
    RipSessionTrack& track = tracks_.emplace_back();
    track.row = row;
    track.number = row + 1;
    track.audio_index = verification_ ? verification_->AudioIndexOfRow(row) : -1;
    // The table the user chose from: a track of an image cut short since keeps its length.
    if (AddressRow(grabber_, row)) track.sectors = grabber_.GetTrackSectors();
  }
  // The grabber's own grab writes as it reads: it cannot bring a track to a loudness first.
  component_grab_ = options_.values.UsesComponentGrab(options_.settings) && !options_.normalize;
  // The CD stream cannot leave a sector out: discard reads through the track reader too.
  if (!component_grab_ &&
      (options_.values.Careful() || options_.careful.error_action == static_cast<int>(ErrorAction::Discard)))
    reader_ = RipReader::TrackReader;
}

RipSession::~RipSession() = default;

bool RipSession::Interrupted() const { return options_.interrupted != nullptr && *options_.interrupted != 0; }

SourceTags RipSession::TagsOf(const RipSessionTrack& track) const {
  SourceTags tags;
  tags.title = metadata_.titles.value(track.row);
  tags.artist = metadata_.artist;
  tags.album = metadata_.album;
  tags.year = metadata_.year;
  tags.track = QString::number(track.number);
  if (metadata_.genre_entry > 0) tags.genre = Id3Genres::Name(metadata_.genre_entry - 1);
  return tags;
}

void RipSessionOptions::TakeReading(const RipperSettingsValues& taken, int read_offset) {
  values = taken;
  careful = {static_cast<int>(taken.grab_mode), static_cast<int>(taken.error_action), taken.retries, read_offset};
  read.retries = taken.retries;
  read.skip_errors = taken.error_action != ErrorAction::Stop;
  read.read_offset = read_offset;
}

bool RipSession::SetUpGrab(IUserInterface& setup) {
  grabber_.SetGrabMode(options_.careful.grab_mode);
  grabber_.SetErrorAction(options_.careful.error_action);
  grabber_.SetRetries(options_.careful.retries);
  grabber_.SetReadOffset(options_.careful.read_offset);
  IConversionComponent* encoder = grabber_.GetEncoder();
  if (encoder == nullptr) {
    observer_.Message(StringTable::Text(text::kCoreComponentsFailed));
    return false;
  }
  EncoderCapabilities capabilities;
  return SetupEncoder(*encoder, options_.settings, mp3_, capabilities, setup);
}

bool RipSession::SetUp() {
  EncoderCapabilities capabilities;
  const std::unique_ptr<IUserInterface> setup = observer_.Interface(-1, QString());
  // The grabber is made ready too when it may have to step in for the engine.
  if (component_grab_ || options_.grab_without_disc) {
    if (!SetUpGrab(*setup)) return false;
    if (component_grab_) return true;
  }
  // One conversion component for each encoding that may run at once.
  const int encoders = std::clamp<int>(options_.jobs, 1, std::max<int>(1, static_cast<int>(tracks_.size())));
  for (int i = 0; i < encoders; ++i) {
    std::unique_ptr<IConversionComponent> converter = CreateAudioConverter();
    if (!converter) {
      observer_.Message(StringTable::Text(text::kCoreComponentsFailed));
      return false;
    }
    if (!SetupEncoder(*converter, options_.settings, mp3_, capabilities, *setup)) return false;
    worker_converters_.push_back(std::move(converter));
  }
  return true;
}

// An output already there, whether from before the run or from an earlier track of it (a pattern
// without %N, two equal titles), is settled by the front end's rules and the seam's overwrite
// answer. An earlier track's output counts although its encoding may not have finished yet; the
// name stays claimed unless the track fails.
bool RipSession::SettleOutput(QString& output, bool& replace) {
  OutputClaim claim(&claims_);
  ExistingOutputRules rules = options_.existing;
  // A "don't ask again" the front end keeps rules the names settled after this one.
  if (options_.existing.remember) {
    rules.remember = [this](bool dont_ask_again) {
      options_.existing.confirm = !dont_ask_again;
      options_.existing.remember(dont_ask_again);
    };
  }
  const std::unique_ptr<IUserInterface> asker = observer_.Interface(0, QString());  // no track is read meanwhile
  if (!corvane::SettleOutput(output, replace, claim, *asker, rules)) return false;
  claim.Keep();
  return true;
}

bool RipSession::PrepareOutput(RipSessionTrack& track, RipTrackJob& rip, SourceTags& tags) {
  tags = TagsOf(track);
  const RipNameFields fields{tags.title, track.number, tags.artist, tags.album};
  const QString folder = RipFolderPath(options_.output_folder, options_.pattern.folder, fields);
  track.output = RipFilePath(folder, options_.pattern.file, fields, options_.settings.format);
  // The run's own folder is the front end's to make.
  if (!options_.pattern.folder.isEmpty() && !QDir().mkpath(folder)) {
    TakeResult(track, Result<RipResult>::Failure(RipResult::NoFolder,
                                                 StringTable::Format(text::kCannotCreateFolder, {folder})));
    return false;
  }
  bool replace = false;
  if (!SettleOutput(track.output, replace)) {
    TakeResult(track, Result<RipResult>::Failure(RipResult::Skipped));
    return false;
  }
  rip.device = options_.device;
  rip.row = track.row;
  rip.sectors = track.sectors;
  rip.image = grabber_.IsDiscImage();
  rip.reader = reader_;
  rip.read = options_.read;
  rip.careful = options_.careful;
  rip.output = track.output;
  rip.replace = replace;
  rip.converter = worker_converters_.empty() ? nullptr : worker_converters_.front().get();
  rip.settings = options_.settings;
  rip.program_folder = options_.program_folder;
  rip.user_settings = &stored_;
  rip.stop_request = options_.stop_request;
  rip.fail_at_retry_limit = options_.fail_at_retry_limit;
  track.checksum = verification_ ? verification_->ChecksumFor(track.row) : nullptr;
  track.replaygain = nullptr;
  // Measured as read, unless normalising changes the audio: then as the encoder gets it.
  const EncoderInput fed = options_.normalize ? catalogue::InputFor(options_.settings, CdStream::kRate, 2)
                                              : EncoderInput{false, CdStream::kRate, 2};
  if (options_.values.replaygain != 0) {
    track.replaygain = std::make_unique<ReplayGainTrack>(static_cast<ReplayGainMode>(options_.values.replaygain),
                                                         options_.settings.format, fed.rate, fed.channels);
  }
  PcmTap* measure = track.replaygain ? track.replaygain->Tap() : nullptr;
  track.taps = PcmTaps();
  track.taps.Add(track.checksum.get());
  track.taps.Add(options_.normalize ? nullptr : measure);
  rip.tap = track.taps.OrNull();
  rip.encode_tap = options_.normalize ? measure : nullptr;
  rip.normalize = options_.normalize;
  rip.replaygain = track.replaygain.get();
  track.stats = {};
  rip.stats = &track.stats;
  rip.tags = options_.tags ? &tags : nullptr;
  rip.id3v2 = options_.values.Id3v2For(tags);
  return true;
}

void RipSession::TakeResult(RipSessionTrack& track, const Result<RipResult>& result) {
  track.result = result.code;
  switch (result.code) {
    case RipResult::Done:
      track.status = StatusWord(FileResult::Converted);
      track.done = true;
      // The file is whole, but sectors the drive never gave are silence in it or left out.
      if (track.stats.given_up > 0) track.detail = StringTable::Text(text::kRipReadError);
      return;
    case RipResult::StoppedThis:
    case RipResult::StoppedAll:
      track.status = StatusWord(FileResult::Cancelled);
      return;
    case RipResult::Skipped:
      track.status = StatusWord(FileResult::Skipped);
      return;
    case RipResult::NoDisc:
      // The disc went away, or the image's file, since the run began.
      track.detail = StringTable::Format(text::kDriveUnopenable, {options_.device});
      break;
    case RipResult::Failed:
    case RipResult::NoOutput:
    case RipResult::NoFolder:
    case RipResult::RetryLimit:
      track.detail = result.text;
      break;
  }
  track.status = StatusWord(FileResult::Failed);
  track.failed = true;
}

Result<RipResult> RipSession::ReadAndEncode(RipTrackJob& rip, IUserInterface& ui) {
  if (component_grab_) return GrabWithComponent(grabber_, rip, ui, Waiting());
  Result<RipResult> result = RipTrack(rip, ui);
  if (result.code != RipResult::NoDisc || !options_.grab_without_disc) return result;
  // The engine finds no disc, but the grabber (set up with the run) may still reach the drive: it
  // reads this track and the rest.
  component_grab_ = true;
  return GrabWithComponent(grabber_, rip, ui, Waiting());
}

void RipSession::RipOne(RipSessionTrack& track, int ordinal) {
  RipTrackJob rip;
  SourceTags tags;
  if (PrepareOutput(track, rip, tags)) {
    observer_.TrackStarting(track, ordinal, static_cast<int>(tracks_.size()));
    const std::unique_ptr<IUserInterface> ui = observer_.Interface(0, TrackName(track));
    TakeResult(track, ReadAndEncode(rip, *ui));
    // A name a track did not end up with is free again for the tracks after it.
    if (!track.done) claims_.Release(track.output);
  }
  const bool stop_all = options_.stop_request != nullptr && options_.stop_request->answer == StopAnswer::StopAll;
  if (track.result == RipResult::StoppedAll || stop_all ||
      (track.result == RipResult::NoFolder && options_.end_at_folder_failure))
    ended_ = true;
}

void RipSession::Rip() {
  run_clock_.start();
  if (options_.stop_request != nullptr) options_.stop_request->answer = StopAnswer::Continue;
  // The grabber encodes as it reads: there is nothing to overlap.
  if (options_.jobs > 0 && !component_grab_) {
    RipOverlapped();
  } else {
    RipInOrder();
  }
  WriteAlbumGain();
}

void RipSession::WriteAlbumGain() {
  if (options_.values.replaygain != static_cast<int>(ReplayGainMode::Album)) return;
  ReplayGainAlbums albums;
  for (RipSessionTrack& track : tracks_) {
    if (track.done && track.replaygain) track.replaygain->KeepForAlbum(&albums, QString(), track.output);
  }
  QStringList untagged;
  const std::vector<ReplayGainAlbums::Album> album = albums.WriteAlbumTags(untagged);
  if (!album.empty()) album_loudness_ = album.front().loudness;
  for (const QString& output : untagged) {
    observer_.Message(StringTable::Format(text::kReplayGainNotWritten, {output}));
  }
}

void RipSession::RipInOrder() {
  int ordinal = 0;
  for (RipSessionTrack& track : tracks_) {
    QElapsedTimer timer;
    timer.start();
    ++ordinal;
    if (Ending()) {
      TakeResult(track, Result<RipResult>::Failure(RipResult::StoppedAll));
    } else {
      RipOne(track, ordinal);
    }
    track.seconds = timer.elapsed() / 1000.0;
    track.ended = true;
    observer_.TrackEnded(track, ++reported_count_, static_cast<int>(tracks_.size()));
  }
}

size_t RipSession::EncodeOnWorker(Encoding& encoding, int worker, const std::stop_token& stop) {
  const std::stop_callback stopEncoding(stop, [&encoding] { encoding.stop.pressed = true; });
  RipSessionTrack& track = tracks_[encoding.index];
  encoding.rip.audio = &encoding.spool->Audio();
  encoding.rip.converter = worker_converters_[static_cast<size_t>(worker)].get();
  encoding.rip.stop_request = &encoding.stop;
  encoding.rip.tags = encoding.rip.tags != nullptr ? &encoding.tags : nullptr;
  Result<RipResult> result;
  {
    const std::unique_ptr<IUserInterface> ui = observer_.Interface(worker + 1, TrackName(track));
    result = RipTrack(encoding.rip, *ui);
  }
  encoding.spool.reset();
  TakeResult(track, result);
  track.seconds = (run_clock_.elapsed() - encoding.started_ms) / 1000.0;
  track.ended = true;
  return encoding.index;
}

void RipSession::RipOverlapped() {
  const int encoders = static_cast<int>(worker_converters_.size());
  // The reader mostly waits on the drive: the processors are the encoders'.
  processor_share_ = std::max(1, QThread::idealThreadCount() / encoders);
  // Tracks are reported on this thread, in track order, whatever order their encodings end in.
  OrderedWorkerPool<size_t> pool(encoders, Waiting(), [this](size_t& index) {
    observer_.TrackEnded(tracks_[index], ++reported_count_, static_cast<int>(tracks_.size()));
  });
  // An interruption stops every encoding, running or waiting for a worker.
  const auto interrupted = [this] { return Interrupted(); };
  for (size_t index = 0; index < tracks_.size(); ++index) {
    RipSessionTrack& track = tracks_[index];
    const qint64 started = run_clock_.elapsed();
    auto encoding = std::make_shared<Encoding>();
    if (Interrupted()) {
      pool.RequestStop();
      TakeResult(track, Result<RipResult>::Failure(RipResult::StoppedAll));
    } else if (PrepareOutput(track, encoding->rip, encoding->tags)) {
      // The drive reads while up to `encoders` tracks are encoded or wait for an encoder, and no
      // further ahead: at most encoders + 1 spools at once, whatever the disc's length. Once
      // reading is ahead, a track read waits only for the first encoding to end.
      pool.WaitForRoom(static_cast<size_t>(encoders), interrupted);
      Result<RipResult> read = Result<RipResult>::Failure(RipResult::StoppedAll);
      if (!Interrupted()) {
        observer_.TrackStarting(track, static_cast<int>(index) + 1, static_cast<int>(tracks_.size()));
        encoding->rip.processor_share = processor_share_;
        const std::unique_ptr<IUserInterface> ui = observer_.Interface(0, TrackName(track));
        read = TrackSpool::Read(encoding->rip, *ui, encoding->spool);
      }
      if (read.Succeeded()) {
        encoding->index = index;
        encoding->started_ms = started;
        pool.Submit(
            [this, encoding](int worker, std::stop_token stop) { return EncodeOnWorker(*encoding, worker, stop); });
        pool.HandOverDue();
        continue;
      }
      TakeResult(track, read);
      claims_.Release(track.output);
    }
    track.seconds = (run_clock_.elapsed() - started) / 1000.0;
    track.ended = true;
    pool.Add(index);
    pool.HandOverDue();
  }
  pool.Finish(interrupted);
}

}  // namespace corvane
