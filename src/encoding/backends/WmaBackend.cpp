#include "encoding/backends/WmaBackend.h"

#include <QFile>

#include "encoding/EncodeBlockLoop.h"
#include "engine/AudioStream.h"
#include "engine/WmaEncoder.h"

namespace corvane {
namespace {

constexpr int kBitsPerKilobit = 1000;

void WriteTags(const EncodeJob& job, WmaEncoder& encoder) {
  SourceTags tags;
  ReadJobTags(job, tags);  // without tags to read, the seven are written empty
  const std::pair<const char*, const QString*> attributes[] = {
      {"Title", &tags.title},         {"Author", &tags.artist},  {"Description", &tags.comment},
      {"WM/AlbumTitle", &tags.album}, {"WM/Genre", &tags.genre}, {"WM/Year", &tags.year},
      {"WM/TrackNumber", &tags.track}};
  for (const auto& [name, value] : attributes) encoder.SetTag(QString::fromLatin1(name), *value);
}

// The encoder for the job, or the outcome that refuses it.
std::unique_ptr<WmaEncoder> OpenEncoder(const EncodeJob& job, EncodeOutcome& refused) {
  if (job.settings.vbr_enabled) {
    // Quality 0 is no setting at all; any other quality asks for a mode FFmpeg does not have.
    const EngineError reason = job.settings.wma_quality <= 0 ? EngineError::IllegalParam : EngineError::NotAvailable;
    refused = EncodeStartFailed(ToCode(reason));
    return nullptr;
  }
  const ChannelInfo input = job.encode->Info();
  EngineResult<std::unique_ptr<WmaEncoder>> opened =
      WmaEncoder::Open(input.rate, input.channels, job.settings.bitrate * kBitsPerKilobit, job.output_path);
  if (!opened.Succeeded()) {
    refused = EncodeStartFailed(ToCode(opened.status.code));
    return nullptr;
  }
  return std::move(*opened.value);
}

}  // namespace

EncodeOutcome EncodeWithWma(const EncodeJob& job, IUserInterface& ui) {
  EncodeOutcome outcome = EncodeFailed({});
  std::unique_ptr<WmaEncoder> encoder = OpenEncoder(job, outcome);
  if (!encoder) return outcome;
  if (job.keep_tags) WriteTags(job, *encoder);

  const ChannelInfo input = job.encode->Info();
  EncodeBlockLoop loop(job, ui, input.rate * input.channels);  // half a second
  outcome = loop.Run([&encoder](char* data, int bytes) -> std::optional<EncodeOutcome> {
    if (encoder->Write(data, bytes)) return std::nullopt;
    return EncodingFailed(ToCode(encoder->LastError()));
  });
  if (outcome.Succeeded() && !encoder->Close()) outcome = EncodingFailed(ToCode(encoder->LastError()));
  if (!outcome.Succeeded()) {
    encoder.reset();
    QFile::remove(job.output_path);
  }
  return outcome;
}

}  // namespace corvane
