#include "engine/ChannelTypeMap.h"

#include <cstring>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace corvane {
namespace {

struct Row {
  const char* demuxer;  // first name of FFmpeg's demuxer
  AVCodecID codec;      // AV_CODEC_ID_NONE: any codec
  ChannelType type;
};

// First match wins, so specific codecs come before a demuxer's catch-all row.
constexpr Row kRows[] = {
    {"ogg", AV_CODEC_ID_VORBIS, ChannelType::OggVorbis},  {"ogg", AV_CODEC_ID_FLAC, ChannelType::FlacOgg},
    {"ogg", AV_CODEC_ID_SPEEX, ChannelType::Speex},       {"ogg", AV_CODEC_ID_OPUS, ChannelType::Opus},
    {"mp3", AV_CODEC_ID_MP1, ChannelType::MpegLayer1},    {"mp3", AV_CODEC_ID_MP2, ChannelType::MpegLayer2},
    {"mp3", AV_CODEC_ID_MP3, ChannelType::MpegLayer3},    {"aiff", AV_CODEC_ID_NONE, ChannelType::Aiff},
    {"asf", AV_CODEC_ID_MP3, ChannelType::WmaMp3},        {"asf", AV_CODEC_ID_NONE, ChannelType::Wma},
    {"asf_o", AV_CODEC_ID_NONE, ChannelType::Wma},        {"wv", AV_CODEC_ID_NONE, ChannelType::WavPack},
    {"ape", AV_CODEC_ID_NONE, ChannelType::MonkeysAudio}, {"flac", AV_CODEC_ID_NONE, ChannelType::Flac},
    {"mpc", AV_CODEC_ID_NONE, ChannelType::Musepack},     {"mpc8", AV_CODEC_ID_NONE, ChannelType::Musepack},
    {"aac", AV_CODEC_ID_NONE, ChannelType::Aac},          {"mov", AV_CODEC_ID_ALAC, ChannelType::Alac},
    {"mov", AV_CODEC_ID_AAC, ChannelType::Mp4},           {"tta", AV_CODEC_ID_NONE, ChannelType::Tta},
    {"ac3", AV_CODEC_ID_NONE, ChannelType::Ac3},          {"adx", AV_CODEC_ID_NONE, ChannelType::Adx},
    {"aix", AV_CODEC_ID_NONE, ChannelType::Aix},
};

// FFmpeg names some demuxers with a list ("mov,mp4,m4a,3gp,3g2,mj2"); the first is enough.
std::string_view FirstName(const char* names) {
  std::string_view all(names);
  return all.substr(0, all.find(','));
}

ChannelType WavType(AVCodecID codec) {
  const std::string_view name(avcodec_get_name(codec));
  if (name.starts_with("pcm_f")) return ChannelType::WavFloat;
  if (name.starts_with("pcm_")) return ChannelType::WavPcm;
  return ChannelType::Wav;
}

}  // namespace

ChannelType ChannelTypeOf(const char* demuxerName, AVCodecID codec) {
  if (demuxerName == nullptr) return ChannelType::Unknown;
  const std::string_view demuxer = FirstName(demuxerName);
  if (demuxer == "wav" || demuxer == "w64") return WavType(codec);
  for (const Row& row : kRows) {
    if (demuxer == row.demuxer && (row.codec == AV_CODEC_ID_NONE || row.codec == codec)) return row.type;
  }
  return ChannelType::Unknown;
}

}  // namespace corvane
