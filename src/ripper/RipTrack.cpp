#include "ripper/RipTrack.h"

#include <QFileInfo>
#include <cerrno>

#include "common/StringTable.h"
#include "common/SystemError.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "common/strings/FormatText.h"
#include "common/strings/RipperText.h"
#include "components/IConversionComponent.h"
#include "encoding/EncodeTrack.h"
#include "encoding/OutputTagging.h"
#include "engine/MixerStream.h"
#include "formats/OutputFormatCatalogue.h"
#include "output/TemporaryOutput.h"
#include "ripper/GrabbedTrackStream.h"

namespace corvane {
namespace {

using Outcome = Result<RipResult>;

Outcome Failed(const QString& text) { return Outcome::Failure(RipResult::Failed, text); }

Outcome NoOutput(const QString& text, int error) {
  return Outcome::Failure(RipResult::NoOutput, text + QStringLiteral(": ") + SystemErrorText(error));
}

// Every sector given up on an image: it was cut short before the track, and an output would hold
// nothing of it.
bool HeldNothing(const RipTrackJob& job) {
  return job.image && job.stats != nullptr && job.sectors > 0 && job.stats->given_up >= job.sectors;
}

Outcome NothingHeld(const RipTrackJob& job) {
  return Failed(StringTable::Format(text::kImageHoldsNoTrack, {job.row + 1}));
}

Outcome FromEncode(const EncodeOutcome& outcome) {
  switch (outcome.code) {
    case EncodeResult::Done:
      return Outcome::Success();
    case EncodeResult::StoppedThis:
      return Outcome::Failure(RipResult::StoppedThis);
    case EncodeResult::StoppedAll:
      return Outcome::Failure(RipResult::StoppedAll);
    case EncodeResult::Failed:
      break;
  }
  return Failed(outcome.text);
}

}  // namespace

Result<RipResult> OpenRipSource(const RipTrackJob& job, std::unique_ptr<AudioStream>& stream) {
  EngineError failure = EngineError::Ok;
  if (job.reader == RipReader::TrackReader) {
    EngineResult<std::unique_ptr<GrabbedTrackStream>> opened =
        GrabbedTrackStream::Create(job.device, job.row, job.careful, job.tap, job.sectors);
    if (opened.Succeeded()) stream = std::move(*opened.value);
    failure = opened.status.code;
  } else {
    CdReadOptions options = job.read;
    options.tap = job.tap;
    EngineResult<std::unique_ptr<CdStream>> opened = CdStream::Create(job.device, job.row, options, job.sectors);
    if (opened.Succeeded()) stream = std::move(*opened.value);
    failure = opened.status.code;
  }
  if (stream) return Outcome::Success();
  if (failure == EngineError::NoCd) return Outcome::Failure(RipResult::NoDisc);
  return Failed(StringTable::Format(text::kUnableToLoad, {ToCode(failure)}));
}

void NoteReadStats(const RipTrackJob& job, const AudioStream& stream) {
  if (job.stats == nullptr) return;
  if (const auto* grabbed = dynamic_cast<const GrabbedTrackStream*>(&stream)) {
    job.stats->worst_attempts = grabbed->WorstAttempts();
    job.stats->given_up = grabbed->UnreadableSectors();
  } else if (const auto* cd = dynamic_cast<const CdStream*>(&stream)) {
    job.stats->worst_attempts = cd->WorstAttempts();
    job.stats->given_up = cd->SkippedSectors();
  }
}

Result<RipResult> CommitRipOutput(const RipTrackJob& job, TemporaryOutput& temporary, const QString& path,
                                  IUserInterface& ui) {
  if (HeldNothing(job)) {
    ui.SetJobProgress(0);
    return NothingHeld(job);
  }
  // Tags the back-end does not write itself go in once the audio is complete.
  if (job.tags != nullptr) WriteTagsAfterEncoding(path, job.settings.format, *job.tags, job.id3v2);
  if (job.replaygain != nullptr && !job.replaygain->TagTrack(path)) {
    ui.SetJobProgress(0);
    return Failed(StringTable::Format(text::kReplayGainNotWritten, {job.output}));
  }
  int fileError = 0;
  switch (temporary.MoveTo(job.output, job.replace, fileError)) {
    case TemporaryOutput::Commit::Done:
      return Outcome::Success();
    case TemporaryOutput::Commit::Exists:
      fileError = EEXIST;  // a file the caller did not agree to replace
      break;
    case TemporaryOutput::Commit::Failed:
      break;
  }
  ui.SetJobProgress(0);
  return NoOutput(StringTable::Format(text::kUnableToReplace, {job.output}), fileError);
}

Result<RipResult> RipTrack(const RipTrackJob& job, IUserInterface& ui) {
  std::unique_ptr<AudioStream> opened;
  if (job.audio == nullptr) {
    if (const Outcome source = OpenRipSource(job, opened); source.Failed()) return source;
  } else if (!job.audio->Seek(0)) {
    return Failed(StringTable::Format(text::kUnableToLoad, {ToCode(EngineError::Position)}));
  }
  AudioStream& stream = job.audio != nullptr ? *job.audio : *opened;
  std::unique_ptr<MixerStream> mixer;
  const EncoderInput wanted = catalogue::InputFor(job.settings, CdStream::kRate, 2);
  if (wanted.mixer) {
    EngineResult<std::unique_ptr<MixerStream>> created = MixerStream::Create(stream, wanted.rate, wanted.channels);
    if (!created.Succeeded()) return Failed(StringTable::Format(text::kUnableToLoad, {ToCode(created.status.code)}));
    mixer = std::move(*created.value);
  }

  const QString folder = QFileInfo(job.output).absolutePath();
  TemporaryOutput::SweepFolder(folder);
  int fileError = 0;
  const std::unique_ptr<TemporaryOutput> temporary =
      TemporaryOutput::Create(job.output, catalogue::WriterNeedsName(job.settings.format), fileError);
  if (!temporary) {
    return NoOutput(StringTable::Format(text::kUnableToCreate, {job.output}), fileError);
  }
  EncodeJob encode;
  encode.output_path = temporary->WritePath();
  encode.final_path = job.output;
  encode.source = &stream;
  encode.encode = mixer ? static_cast<AudioStream*>(mixer.get()) : &stream;
  encode.tap = job.encode_tap;
  if (job.normalize) {
    const Loudness measured = MeasureStreamLoudness(*encode.encode);
    if (!encode.encode->Seek(0)) {
      return Failed(StringTable::Format(text::kUnableToLoad, {ToCode(EngineError::Position)}));
    }
    AttachGain(*encode.encode, LoudnessGainFor(measured, *job.normalize));
  }
  encode.converter = job.converter;
  encode.settings = job.settings;
  encode.keep_tags = job.tags != nullptr;
  encode.tags = job.tags;
  encode.stop_question = text::kAskStopRipping;
  encode.stop_request = job.stop_request != nullptr ? &job.stop_request->pressed : nullptr;
  encode.program_folder = job.program_folder;
  encode.user_settings = job.user_settings;
  encode.processor_share = job.processor_share;
  Outcome outcome = FromEncode(EncodeTrack(encode, ui));
  // The component completes its file here; the last frames may still fail to be written.
  if (job.converter != nullptr) {
    const ConverterResult finishing = job.converter->Reset();
    if (finishing.Failed() && outcome.Succeeded()) outcome = FromEncode(EncodingFailed(finishing));
  }
  mixer.reset();
  if (job.audio == nullptr) NoteReadStats(job, stream);
  if (outcome.code == RipResult::Failed && HeldNothing(job)) outcome = NothingHeld(job);
  // The track reader names the sector that did not read.
  if (const auto* grabbed = dynamic_cast<const GrabbedTrackStream*>(&stream);
      outcome.code == RipResult::Failed && grabbed != nullptr && !grabbed->FailureText().isEmpty())
    outcome = Failed(grabbed->FailureText());
  if (outcome.Failed()) {
    ui.SetJobProgress(0);
    return outcome;  // the temporary file goes with `temporary`
  }
  return CommitRipOutput(job, *temporary, encode.output_path, ui);
}

}  // namespace corvane
