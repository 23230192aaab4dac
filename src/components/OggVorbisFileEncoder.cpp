#include "components/OggVorbisFileEncoder.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <QRandomGenerator>

#include "components/ConverterError.h"
#include "components/FileWriting.h"

namespace corvane {
namespace {

constexpr long kKbps = 1000;
constexpr float kSampleScale = 1.0f / 32768.0f;

long BitsPerSecond(int kbps) { return kbps > 0 ? kbps * kKbps : -1; }

// Fills `info` for managed bitrate; 0 on success, a libvorbis error code otherwise.
int SetUp(vorbis_info& info, int sampleRate, int channels, const OggBitrates& bitrates) {
  if (sampleRate <= 0 || channels < 1 || channels > 2 || bitrates.nominal <= 0) return OV_EINVAL;
  int result = vorbis_encode_setup_managed(&info, channels, sampleRate, BitsPerSecond(bitrates.maximum),
                                           BitsPerSecond(bitrates.nominal), BitsPerSecond(bitrates.minimum));
  if (result == 0) result = vorbis_encode_setup_init(&info);
  return result;
}

}  // namespace

struct OggVorbisFileEncoder::State {
  vorbis_info info{};
  vorbis_comment comment{};
  vorbis_dsp_state dsp{};
  vorbis_block block{};
  ogg_stream_state stream{};
  bool dsp_ready = false;
  bool stream_ready = false;

  State() {
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
  }
  ~State() {
    if (stream_ready) ogg_stream_clear(&stream);
    if (dsp_ready) {
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
  }
};

bool OggVorbisFileEncoder::Accepts(int sampleRate, int channels, const OggBitrates& bitrates) {
  vorbis_info info;
  vorbis_info_init(&info);
  const bool accepted = SetUp(info, sampleRate, channels, bitrates) == 0;
  vorbis_info_clear(&info);
  return accepted;
}

OggVorbisFileEncoder::OggVorbisFileEncoder(const QString& path, int sampleRate, int channels,
                                           const OggBitrates& bitrates)
    : state_(std::make_unique<State>()), file_(path), channels_(channels) {
  if (SetUp(state_->info, sampleRate, channels, bitrates) != 0)
    throw ConverterError(ConverterErrorCode::UnsupportedFormat, "libvorbisenc does not take these Ogg settings");
  if (vorbis_analysis_init(&state_->dsp, &state_->info) != 0)
    throw ConverterError(ConverterErrorCode::EncoderStart, "libvorbis cannot start");
  vorbis_block_init(&state_->dsp, &state_->block);
  state_->dsp_ready = true;
  ogg_stream_init(&state_->stream, static_cast<int>(QRandomGenerator::global()->bounded(1 << 30)));
  state_->stream_ready = true;
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
    throw ConverterError(ConverterErrorCode::OutputOpen, FileFailure(file_, "cannot create the Ogg file"));

  try {
    WriteHeaders();
  } catch (const ConverterError&) {
    file_.remove();
    throw;
  }
}

void OggVorbisFileEncoder::WriteHeaders() {
  ogg_packet identification;
  ogg_packet comments;
  ogg_packet codebooks;
  vorbis_analysis_headerout(&state_->dsp, &state_->comment, &identification, &comments, &codebooks);
  ogg_stream_packetin(&state_->stream, &identification);
  ogg_stream_packetin(&state_->stream, &comments);
  ogg_stream_packetin(&state_->stream, &codebooks);
  // The headers end on a page of their own, as Vorbis players expect.
  ogg_page page;
  while (ogg_stream_flush(&state_->stream, &page) != 0)
    WritePage(page.header, page.header_len, page.body, page.body_len);
}

OggVorbisFileEncoder::~OggVorbisFileEncoder() = default;

void OggVorbisFileEncoder::WritePage(const unsigned char* header, long headerSize, const unsigned char* body,
                                     long bodySize) {
  if (!WriteWhole(file_, reinterpret_cast<const char*>(header), headerSize) ||
      !WriteWhole(file_, reinterpret_cast<const char*>(body), bodySize)) {
    throw ConverterError(ConverterErrorCode::WriteFailed, FileFailure(file_, "cannot write the Ogg file"));
  }
}

void OggVorbisFileEncoder::Drain(bool flushPages) {
  ogg_packet packet;
  ogg_page page;
  while (vorbis_analysis_blockout(&state_->dsp, &state_->block) == 1) {
    vorbis_analysis(&state_->block, nullptr);
    vorbis_bitrate_addblock(&state_->block);
    while (vorbis_bitrate_flushpacket(&state_->dsp, &packet) == 1) {
      ogg_stream_packetin(&state_->stream, &packet);
      while (ogg_stream_pageout(&state_->stream, &page) != 0)
        WritePage(page.header, page.header_len, page.body, page.body_len);
    }
  }
  if (flushPages) {
    while (ogg_stream_flush(&state_->stream, &page) != 0)
      WritePage(page.header, page.header_len, page.body, page.body_len);
  }
}

void OggVorbisFileEncoder::Write(std::span<const std::int16_t> samples) {
  const int frames = static_cast<int>(samples.size() / static_cast<std::size_t>(channels_));
  if (frames == 0) return;
  float** buffer = vorbis_analysis_buffer(&state_->dsp, frames);
  for (int frame = 0; frame < frames; ++frame) {
    for (int channel = 0; channel < channels_; ++channel)
      buffer[channel][frame] = samples[static_cast<std::size_t>(frame * channels_ + channel)] * kSampleScale;
  }
  vorbis_analysis_wrote(&state_->dsp, frames);
  Drain(false);
}

void OggVorbisFileEncoder::Finish() {
  vorbis_analysis_wrote(&state_->dsp, 0);
  Drain(true);
  if (!file_.flush())
    throw ConverterError(ConverterErrorCode::WriteFailed, FileFailure(file_, "cannot write the Ogg file"));
  file_.close();
  if (file_.error() != QFileDevice::NoError)
    throw ConverterError(ConverterErrorCode::WriteFailed, FileFailure(file_, "cannot close the Ogg file"));
}

}  // namespace corvane
