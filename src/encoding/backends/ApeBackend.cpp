#include "encoding/backends/ApeBackend.h"

#include <QFile>
#include <QThread>

#include <algorithm>

#include "codecs/ape/ApeInterface.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "encoding/EncodeBlockLoop.h"
#include "engine/AudioStream.h"

namespace corvane {
namespace {

constexpr int kDefaultLevelIndex = 1;
constexpr int kHighestLevelIndex = 4;
constexpr int kLevelStep = 1000;

int Code(ape::ApeResult result) { return static_cast<int>(result); }

struct CompressorDeleter {
  void operator()(ape::ApeCompressor* compressor) const { ape::CompressDestroy(compressor); }
};
using CompressorPtr = std::unique_ptr<ape::ApeCompressor, CompressorDeleter>;

int StoredLevel(SettingsStore& settings) {
  const int stored = settings.ReadNumber(keys::section::kEncoder, keys::kApeCompressionLevel, kDefaultLevelIndex);
  const int index = std::clamp(stored, 0, kHighestLevelIndex);
  settings.WriteNumber(keys::section::kEncoder, keys::kApeCompressionLevel, index);
  return kLevelStep * (index + 1);
}

// The stream always delivers 16-bit samples; 8-bit output takes their high byte, made unsigned
// (exact for samples that came from an 8-bit source). Rewrites the block's front half in place.
int ToUnsigned8Bit(char* data, int bytes) {
  const auto* samples = reinterpret_cast<const std::int16_t*>(data);
  auto* out = reinterpret_cast<unsigned char*>(data);
  const int count = bytes / 2;
  for (int i = 0; i < count; ++i) out[i] = static_cast<unsigned char>((samples[i] >> 8) + 128);
  return count;
}

void WriteTags(const EncodeJob& job) {
  SourceTags tags;
  if (!ReadJobTags(job, tags)) return;
  const QByteArray path = job.output_path.toUtf8();
  const QByteArray artist = tags.artist.toUtf8(), album = tags.album.toUtf8(), title = tags.title.toUtf8();
  const QByteArray comment = tags.comment.toUtf8(), genre = tags.genre.toUtf8(), year = tags.year.toUtf8();
  const QByteArray track = tags.track.toUtf8();
  ape::TagFileSimple(path.constData(), artist.constData(), album.constData(), title.constData(), comment.constData(),
                     genre.constData(), year.constData(), track.constData(), true);
}

}  // namespace

int ApeEncoderThreads(int stored, int share, int processors) {
  const int available = std::max(1, share > 0 ? std::min(share, processors) : processors);
  return stored > 0 ? std::min(stored, available) : available;
}

namespace {

// Creates and starts the compressor, or gives the outcome that refuses it.
CompressorPtr StartCompressor(const EncodeJob& job, bool eightBit, EncodeOutcome& refused) {
  ape::ApeResult error = ape::ApeResult::kOk;
  CompressorPtr compressor(ape::CompressCreate(&error));
  if (!compressor) {
    refused = EncodeStartFailed(Code(error));
    return nullptr;
  }
  const ChannelInfo input = job.encode->Info();
  const ape::WaveFormat format = ape::MakeWaveFormat(static_cast<std::uint32_t>(input.rate),
                                                     static_cast<std::uint16_t>(input.channels), eightBit ? 8 : 16);
  const QByteArray path = job.output_path.toUtf8();
  const int stored = job.user_settings->ReadNumber(keys::section::kEncoder, keys::kApeEncoderThreads, 0);
  const int threads = ApeEncoderThreads(stored, job.processor_share, QThread::idealThreadCount());
  ape::CompressSetThreads(compressor.get(), threads);
  if (ape::CompressStart(compressor.get(), path.constData(), &format, ape::kOpenEndedLength,
                         StoredLevel(*job.user_settings)) != ape::ApeResult::kOk) {
    refused = EncodeStartFailed(static_cast<int>(EncoderFailure::ApeStart));
    return nullptr;
  }
  return compressor;
}

}  // namespace

EncodeOutcome EncodeWithApe(const EncodeJob& job, IUserInterface& ui) {
  if (ape::GetInterfaceCompatibility(ape::kInterfaceVersion) != ape::ApeResult::kOk) return EncodeFailed({});
  const ChannelInfo input = job.encode->Info();
  const bool eightBit = input.Is8Bit();
  EncodeOutcome outcome = EncodeFailed({});
  CompressorPtr compressor = StartCompressor(job, eightBit, outcome);
  if (!compressor) return outcome;

  EncodeBlockLoop loop(job, ui, input.rate * input.channels);  // half a second of 16-bit samples
  outcome = loop.Run([&](char* data, int bytes) -> std::optional<EncodeOutcome> {
    const int size = eightBit ? ToUnsigned8Bit(data, bytes) : bytes;
    const ape::ApeResult added =
        ape::CompressAddData(compressor.get(), reinterpret_cast<const unsigned char*>(data), size);
    if (added == ape::ApeResult::kOk) return std::nullopt;
    return EncodingFailed(Code(added));
  });
  if (outcome.Succeeded() && ape::CompressFinish(compressor.get()) != ape::ApeResult::kOk) {
    outcome = EncodingFailed(static_cast<int>(EncoderFailure::ApeFinish));
  }
  compressor.reset();  // an unfinished file goes with the compressor
  if (outcome.Succeeded() && job.keep_tags) WriteTags(job);
  if (!outcome.Succeeded()) QFile::remove(job.output_path);
  return outcome;
}

}  // namespace corvane
