#include "engine/FfmpegHandles.h"

namespace corvane::ffmpeg {

ResamplerPtr MakeS16Resampler(const AVChannelLayout& inLayout, AVSampleFormat inFormat, int inRate, int outChannels,
                              int outRate) {
  AVChannelLayout outLayout{};
  av_channel_layout_default(&outLayout, outChannels);
  AVChannelLayout source{};
  if (av_channel_layout_check(&inLayout) && inLayout.order != AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_copy(&source, &inLayout);
  } else {
    av_channel_layout_default(&source, inLayout.nb_channels);
  }
  SwrContext* raw = nullptr;
  const int status =
      swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_S16, outRate, &source, inFormat, inRate, 0, nullptr);
  av_channel_layout_uninit(&source);
  av_channel_layout_uninit(&outLayout);
  ResamplerPtr resampler(raw);
  if (status < 0 || !resampler || swr_init(resampler.get()) < 0) return nullptr;
  return resampler;
}

}  // namespace corvane::ffmpeg
