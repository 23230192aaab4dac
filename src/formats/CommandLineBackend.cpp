#include "formats/CommandLineBackend.h"

#include <QFile>

#include <algorithm>
#include <limits>
#include <vector>

#include "engine/AudioStream.h"
#include "engine/EncoderFeed.h"
#include "formats/EncodeBlockLoop.h"
#include "formats/EncoderCommandLine.h"

namespace corvane {
namespace {

constexpr int kBitsPerSample = 16;

int Code(EncoderFailure failure) { return static_cast<int>(failure); }

EncodeOutcome FinishFeed(EncoderFeed& feed) {
  switch (feed.Stop()) {
    case EncoderFeed::Finish::Done:
      return EncodeOutcome::Done();
    case EncoderFeed::Finish::Failed:
      return EncodeOutcome::EncodingFailure(feed.ExitStatus());
    case EncoderFeed::Finish::Crashed:
      break;
  }
  return EncodeOutcome::EncodingFailure(Code(EncoderFailure::ProgramStopped));
}

// Sample frames the WAV header declares: the stream's length when it is exact, else -1 (unknown).
qint64 DeclaredFrames(const AudioStream& stream) {
  const int frameBytes = stream.Info().FrameBytes();
  return stream.LengthIsExact() && frameBytes > 0 ? stream.LengthBytes() / frameBytes : -1;
}

EncodeOutcome RunEncoder(const EncodeJob& job, IUserInterface& ui, const EncoderCommandLine& command) {
  const ChannelInfo input = job.encode->Info();
  const QString program = EncoderFeed::FindProgram(command.program, job.program_folder);
  const qint64 frames = DeclaredFrames(*job.encode);
  std::unique_ptr<EncoderFeed> feed =
      EncoderFeed::Start(program, command.arguments, input.rate, input.channels, kBitsPerSample, frames);
  if (!feed) return EncodeOutcome::StartFailure(Code(EncoderFailure::ProgramStart));

  // A declared length is what the encoder reads and records: hand over exactly that much.
  qint64 left = frames < 0 ? std::numeric_limits<qint64>::max() : frames * input.FrameBytes();
  auto write = [&feed, &left](const char* data, qint64 bytes) -> std::optional<EncodeOutcome> {
    bytes = std::min(bytes, left);
    left -= bytes;
    if (bytes == 0 || feed->Write(data, bytes)) return std::nullopt;
    return EncodeOutcome::EncodingFailure(Code(EncoderFailure::ProgramStopped));
  };
  EncodeBlockLoop loop(job, ui, input.rate * input.channels);  // half a second
  EncodeOutcome outcome = loop.Run([&write](char* data, int bytes) { return write(data, bytes); });
  if (outcome.Succeeded() && frames >= 0 && left > 0) {
    // The source ended early (a damaged file): complete the declared length with silence.
    const std::vector<char> silence(static_cast<size_t>(std::min<qint64>(left, 1 << 16)), 0);
    while (left > 0 && outcome.Succeeded()) {
      if (std::optional<EncodeOutcome> failed = write(silence.data(), static_cast<qint64>(silence.size()))) {
        outcome = *failed;
      }
    }
  }
  if (outcome.Succeeded()) outcome = FinishFeed(*feed);
  if (!outcome.Succeeded()) {
    feed->Abandon();
    QFile::remove(job.output_path);
  }
  return outcome;
}

// The tags of the job when they are to be kept and can be read; null otherwise.
const SourceTags* KeptTags(const EncodeJob& job, SourceTags& tags) {
  return job.keep_tags && ReadJobTags(job, tags) ? &tags : nullptr;
}

}  // namespace

EncodeOutcome EncodeWithFlac(const EncodeJob& job, IUserInterface& ui) {
  SourceTags tags;
  const int level = EncoderCommandLine::StoredFlacLevel();
  const bool lax = EncoderCommandLine::StoredFlacNonSubset();
  EncoderCommandLine command = EncoderCommandLine::Flac(job.output_path, lax, level, KeptTags(job, tags));
  // Without a declared length flac would take the header's "unknown" sizes for hours of audio
  // and plan its seek table for them; told to ignore them, it reads to the end instead.
  if (DeclaredFrames(*job.encode) < 0) command.arguments.prepend(QStringLiteral("--ignore-chunk-sizes"));
  return RunEncoder(job, ui, command);
}

EncodeOutcome EncodeWithMusepack(const EncodeJob& job, IUserInterface& ui) {
  SourceTags tags;
  const QString preset = EncoderCommandLine::MusepackPreset(job.settings.musepack_preset);
  return RunEncoder(job, ui, EncoderCommandLine::Musepack(preset, KeptTags(job, tags), job.output_path));
}

}  // namespace corvane
