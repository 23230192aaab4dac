#pragma once
#include <cstdint>  // FFmpeg headers need its constant macros
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace corvane::ffmpeg {

// The only demuxers allowed to look at a file (with the file protocol alone): a playlist or a
// network-capable container inside an untrusted file can then never make FFmpeg open other files
// or addresses.
inline constexpr const char* kAudioDemuxers =
    "wav,w64,mp3,ogg,asf,asf_o,aiff,flac,ape,mpc,mpc8,aac,mov,mp4,m4a,3gp,3g2,mj2,ac3,eac3,wv,tta,adx,aix,caf";

// Bits a lossless codec stores each sample with; 0 for lossy audio.
int LosslessBitsOf(const AVCodecParameters& parameters);

// Options for avformat_open_input that keep it to those demuxers and to local files.
AVDictionary* RestrictedOpenOptions();

// Owners of FFmpeg's context objects, so every exit path releases them.
struct FormatCloser {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct ResamplerFreer {
  void operator()(SwrContext* context) const { swr_free(&context); }
};
struct PacketFreer {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;

// A resampler from one sample layout to interleaved samples of `outFormat` (16-bit unless told);
// nullptr when FFmpeg refuses.
ResamplerPtr MakeResampler(const AVChannelLayout& inLayout, AVSampleFormat inFormat, int inRate, int outChannels,
                           int outRate, AVSampleFormat outFormat = AV_SAMPLE_FMT_S16);

// How a mixer's resampler is made.
struct MixOptions {
  AVSampleFormat in_format = AV_SAMPLE_FMT_S16;  // interleaved
  bool dither = false;                           // triangular dither when reducing to 16 bits
};

// A resampler for a mixer: interleaved samples in the default layouts of the two channel counts,
// 16-bit interleaved out. Rates are converted with the SoX resampler where FFmpeg has it, else
// with a long windowed-sinc filter. nullptr when FFmpeg refuses.
ResamplerPtr MakeMixResampler(int inChannels, int inRate, int outChannels, int outRate, const MixOptions& options);

}  // namespace corvane::ffmpeg
