#include "formats/CommandLineBackend.h"

#include <QFile>

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

EncodeOutcome RunEncoder(const EncodeJob& job, IUserInterface& ui, const EncoderCommandLine& command) {
  const ChannelInfo input = job.encode->Info();
  const QString program = EncoderFeed::FindProgram(command.program, job.program_folder);
  std::unique_ptr<EncoderFeed> feed =
      EncoderFeed::Start(program, command.arguments, input.rate, input.channels, kBitsPerSample);
  if (!feed) return EncodeOutcome::StartFailure(Code(EncoderFailure::ProgramStart));

  EncodeBlockLoop loop(job, ui, input.rate * input.channels);  // half a second
  EncodeOutcome outcome = loop.Run([&feed](char* data, int bytes) -> std::optional<EncodeOutcome> {
    if (feed->Write(data, bytes)) return std::nullopt;
    return EncodeOutcome::EncodingFailure(Code(EncoderFailure::ProgramStopped));
  });
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
  return RunEncoder(job, ui, EncoderCommandLine::Flac(job.output_path, lax, level, KeptTags(job, tags)));
}

EncodeOutcome EncodeWithMusepack(const EncodeJob& job, IUserInterface& ui) {
  SourceTags tags;
  const QString preset = EncoderCommandLine::MusepackPreset(job.settings.musepack_preset);
  return RunEncoder(job, ui, EncoderCommandLine::Musepack(preset, KeptTags(job, tags), job.output_path));
}

}  // namespace corvane
