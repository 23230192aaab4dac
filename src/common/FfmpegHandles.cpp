#include "common/FfmpegHandles.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace corvane::ffmpeg {

int LosslessBitsOf(const AVCodecParameters& parameters) {
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(parameters.codec_id);
  if (descriptor == nullptr || (descriptor->props & AV_CODEC_PROP_LOSSLESS) == 0) return 0;
  if (parameters.bits_per_raw_sample > 0) return parameters.bits_per_raw_sample;
  if (parameters.bits_per_coded_sample > 0) return parameters.bits_per_coded_sample;
  return av_get_bits_per_sample(parameters.codec_id);
}

AVDictionary* RestrictedOpenOptions() {
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  av_dict_set(&options, "format_whitelist", kAudioDemuxers, 0);
  return options;
}

ResamplerPtr MakeResampler(const AVChannelLayout& inLayout, AVSampleFormat inFormat, int inRate, int outChannels,
                           int outRate, AVSampleFormat outFormat) {
  AVChannelLayout outLayout{};
  av_channel_layout_default(&outLayout, outChannels);
  AVChannelLayout source{};
  if (av_channel_layout_check(&inLayout) && inLayout.order != AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_copy(&source, &inLayout);
  } else {
    av_channel_layout_default(&source, inLayout.nb_channels);
  }
  SwrContext* raw = nullptr;
  const int status = swr_alloc_set_opts2(&raw, &outLayout, outFormat, outRate, &source, inFormat, inRate, 0, nullptr);
  av_channel_layout_uninit(&source);
  av_channel_layout_uninit(&outLayout);
  ResamplerPtr resampler(raw);
  if (status < 0 || !resampler || swr_init(resampler.get()) < 0) return nullptr;
  return resampler;
}

namespace {

// The SoX resampler at its default (high) quality: passband flat to 97 % of the lower Nyquist
// frequency, everything above the output's Nyquist frequency at least 120 dB down.
void UseSoxr(SwrContext* context) { av_opt_set_int(context, "resampler", SWR_ENGINE_SOXR, 0); }

// FFmpeg's own resampler with a filter long and steep enough to keep images under about -100 dB.
void UseLongFilter(SwrContext* context) {
  av_opt_set_int(context, "resampler", SWR_ENGINE_SWR, 0);
  av_opt_set_int(context, "filter_size", 128, 0);
  av_opt_set_int(context, "phase_shift", 12, 0);
  av_opt_set_double(context, "cutoff", 0.91, 0);
  av_opt_set_int(context, "linear_interp", 1, 0);
  av_opt_set_int(context, "filter_type", SWR_FILTER_TYPE_KAISER, 0);
  av_opt_set_int(context, "kaiser_beta", 12, 0);
}

ResamplerPtr TryMixResampler(int inChannels, int inRate, int outChannels, int outRate, const MixOptions& options,
                             void (*configure)(SwrContext*)) {
  AVChannelLayout inLayout{};
  AVChannelLayout outLayout{};
  av_channel_layout_default(&inLayout, inChannels);
  av_channel_layout_default(&outLayout, outChannels);
  SwrContext* raw = nullptr;
  const int status = swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_S16, outRate, &inLayout, options.in_format,
                                         inRate, 0, nullptr);
  av_channel_layout_uninit(&inLayout);
  av_channel_layout_uninit(&outLayout);
  ResamplerPtr resampler(raw);
  if (status < 0 || !resampler) return nullptr;
  if (inRate != outRate) configure(resampler.get());
  if (options.dither) av_opt_set_int(resampler.get(), "dither_method", SWR_DITHER_TRIANGULAR, 0);
  if (swr_init(resampler.get()) < 0) return nullptr;
  return resampler;
}

}  // namespace

ResamplerPtr MakeMixResampler(int inChannels, int inRate, int outChannels, int outRate, const MixOptions& options) {
  if (ResamplerPtr soxr = TryMixResampler(inChannels, inRate, outChannels, outRate, options, UseSoxr)) return soxr;
  return TryMixResampler(inChannels, inRate, outChannels, outRate, options, UseLongFilter);
}

}  // namespace corvane::ffmpeg
