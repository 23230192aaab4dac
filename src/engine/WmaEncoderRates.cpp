#include "engine/WmaEncoderRates.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

#include <array>

namespace corvane {
namespace {

// The bitrates a WMA job can be asked for, kbps.
constexpr std::array<int, 17> kCandidateKbps = {8,  16,  24,  32,  40,  48,  56,  64, 80,
                                                96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kKbps = 1000;

}  // namespace

bool WmaEncoderRates::Accepts(int sampleRate, int channels, int bitsPerSecond) {
  if (sampleRate <= 0 || channels < 1 || channels > 2 || bitsPerSecond <= 0) return false;
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
  if (!codec) return false;
  AVCodecContext* context = avcodec_alloc_context3(codec);
  if (!context) return false;
  context->sample_rate = sampleRate;
  av_channel_layout_default(&context->ch_layout, channels);
  context->sample_fmt = AV_SAMPLE_FMT_FLTP;
  context->bit_rate = bitsPerSecond;
  const int previousLevel = av_log_get_level();
  av_log_set_level(AV_LOG_QUIET);  // a refused bitrate is an answer here, not an error to print
  const bool opened = avcodec_open2(context, codec, nullptr) == 0;
  av_log_set_level(previousLevel);
  // The encoder may lower a bitrate its frame size cannot carry; that is not the one asked for.
  const bool kept = opened && context->bit_rate == bitsPerSecond;
  avcodec_free_context(&context);
  return kept;
}

std::vector<int> WmaEncoderRates::ConstantBitrates(int sampleRate, int channels) {
  std::vector<int> rates;
  for (int kbps : kCandidateKbps) {
    if (Accepts(sampleRate, channels, kbps * kKbps)) rates.push_back(kbps * kKbps);
  }
  return rates;
}

std::vector<int> WmaEncoderRates::VbrQualities(int /*sampleRate*/, int /*channels*/) { return {}; }

}  // namespace corvane
