#include "encoding/backends/CommandLineBackend.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <vector>

#include "common/SystemError.h"
#include "encoding/EncodeBlockLoop.h"
#include "encoding/EncoderCommandLine.h"
#include "engine/AudioStream.h"
#include "engine/EncoderFeed.h"
#include "tags/EncodedFileTags.h"

namespace corvane {
namespace {

constexpr int kBitsPerSample = 16;

int Code(EncoderFailure failure) { return static_cast<int>(failure); }

// text::kMsgEncodingError with the reason the output could not be written ("No space left on device").
EncodeOutcome OutputFailure(int error) {
  EncodeOutcome outcome = EncodingFailed(Code(EncoderFailure::ProgramStopped));
  outcome.text += QStringLiteral(" (") + SystemErrorText(error) + QLatin1Char(')');
  return outcome;
}

EncodeOutcome FinishFeed(EncoderFeed& feed, EncodeBlockLoop& loop) {
  std::optional<EncodeOutcome> stopped;
  const auto keepWaiting = [&loop, &stopped] {
    stopped = loop.ServeStopRequest();
    return !stopped.has_value();
  };
  switch (feed.Stop(keepWaiting)) {
    case EncoderFeed::Finish::Done:
      return EncodeOutcome::Success();
    case EncoderFeed::Finish::Failed:
      return EncodingFailed(feed.ExitStatus());
    case EncoderFeed::Finish::Stopped:
      return *stopped;
    case EncoderFeed::Finish::Crashed:
      break;
  }
  return EncodingFailed(Code(EncoderFailure::ProgramStopped));
}

// Sample frames the WAV header declares: the stream's length when it is exact, else -1 (unknown).
qint64 DeclaredFrames(const AudioStream& stream) {
  const int frameBytes = stream.Info().FrameBytes();
  return stream.LengthIsExact() && frameBytes > 0 ? stream.LengthBytes() / frameBytes : -1;
}

// Runs the encoder; `stdoutFd`, when set, is the file the encoder writes to its standard output.
EncodeOutcome RunEncoder(const EncodeJob& job, IUserInterface& ui, const EncoderCommandLine& command,
                         int stdoutFd = -1) {
  const ChannelInfo input = job.encode->Info();
  const QString program = EncoderFeed::FindProgram(command.program, job.program_folder);
  const qint64 frames = DeclaredFrames(*job.encode);
  EncoderFeed::Options options;
  options.stdout_fd = stdoutFd;
  options.stop_request = job.stop_request;
  options.frames = frames;
  std::unique_ptr<EncoderFeed> feed =
      EncoderFeed::Start(program, command.arguments, input.rate, input.channels, kBitsPerSample, options);
  if (!feed) return EncodeStartFailed(Code(EncoderFailure::ProgramStart));

  // A declared length is what the encoder reads and records: hand over exactly that much.
  qint64 left = frames < 0 ? std::numeric_limits<qint64>::max() : frames * input.FrameBytes();
  auto write = [&feed, &left](const char* data, qint64 bytes) -> std::optional<EncodeOutcome> {
    bytes = std::min(bytes, left);
    left -= bytes;
    if (bytes == 0 || feed->Write(data, bytes)) return std::nullopt;
    return EncodingFailed(Code(EncoderFailure::ProgramStopped));
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
  if (outcome.Succeeded()) outcome = FinishFeed(*feed, loop);
  if (!outcome.Succeeded()) {
    feed->Abandon();
    QFile::remove(job.output_path);
  }
  return outcome;
}

// The most a Musepack output of the job can take: the size of its PCM input, and a margin for
// a length that was only estimated. Zero when the length is unknown.
off_t MusepackBound(const EncodeJob& job) {
  const ChannelInfo source = job.source->Info();
  const ChannelInfo encode = job.encode->Info();
  const qint64 length = job.source->LengthBytes();
  if (length <= 0 || source.FrameBytes() <= 0 || source.rate <= 0) return 0;
  const double seconds = static_cast<double>(length) / source.FrameBytes() / source.rate;
  constexpr double kMargin = 2.0;
  constexpr off_t kHeaders = 1 << 20;
  return static_cast<off_t>(seconds * encode.rate * encode.FrameBytes() * kMargin) + kHeaders;
}

}  // namespace

EncodeOutcome EncodeWithFlac(const EncodeJob& job, IUserInterface& ui) {
  const int level = EncoderCommandLine::StoredFlacLevel(*job.user_settings);
  const bool lax = EncoderCommandLine::StoredFlacNonSubset(*job.user_settings);
  EncoderCommandLine command = EncoderCommandLine::Flac(job.output_path, lax, level, nullptr);
  // Without a declared length flac would take the header's "unknown" sizes for hours of audio
  // and plan its seek table for them; told to ignore them, it reads to the end instead.
  if (DeclaredFrames(*job.encode) < 0) command.arguments.prepend(QStringLiteral("--ignore-chunk-sizes"));
  EncodeOutcome outcome = RunEncoder(job, ui, command);
  SourceTags tags;
  if (outcome.Succeeded() && job.keep_tags && ReadJobTags(job, tags)) WriteFlacTags(job.output_path, tags);
  return outcome;
}

// mpcenc reports no failed write, so its file is given the room it may need before it starts:
// it then cannot run out of space, and a disk without that room fails the job at once. It
// writes to its standard output, which is the output file (seekable, so it completes the header).
EncodeOutcome EncodeWithMusepack(const EncodeJob& job, IUserInterface& ui) {
  const int fd = ::open(QFile::encodeName(job.output_path).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return OutputFailure(errno);
  const off_t bound = MusepackBound(job);
  if (bound > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, bound) != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
    const int error = errno;
    ::close(fd);
    return OutputFailure(error);
  }
  const QString preset = EncoderCommandLine::MusepackPreset(job.settings.musepack_preset);
  EncodeOutcome outcome = RunEncoder(job, ui, EncoderCommandLine::Musepack(preset, nullptr, QStringLiteral("-")), fd);
  // The room not used is given back.
  struct stat written {};
  if (outcome.Succeeded() && (::fstat(fd, &written) != 0 || ::ftruncate(fd, written.st_size) != 0)) {
    outcome = OutputFailure(errno);
  }
  if (::close(fd) != 0 && outcome.Succeeded()) outcome = OutputFailure(errno);
  SourceTags tags;
  if (outcome.Succeeded() && job.keep_tags && ReadJobTags(job, tags)) WriteMusepackTags(job.output_path, tags);
  return outcome;
}

}  // namespace corvane
