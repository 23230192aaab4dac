#include "engine/EngineCapabilityProbe.h"

#include <QtGlobal>

extern "C" {
#include <cdio/cdio.h>
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/dict.h>
#include <libswresample/swresample.h>
}

#include <initializer_list>

namespace corvane {
namespace {

// The FFmpeg libraries must be the major versions we were built against: another major
// version has another binary interface.
bool FfmpegVersionsMatch() {
  return AV_VERSION_MAJOR(avformat_version()) == LIBAVFORMAT_VERSION_MAJOR &&
         AV_VERSION_MAJOR(avcodec_version()) == LIBAVCODEC_VERSION_MAJOR &&
         AV_VERSION_MAJOR(avutil_version()) == LIBAVUTIL_VERSION_MAJOR;
}

bool HasDecoders(std::initializer_list<AVCodecID> codecs) {
  for (AVCodecID id : codecs) {
    if (avcodec_find_decoder(id) == nullptr) return false;
  }
  return true;
}

bool HasDemuxers(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (av_find_input_format(name) == nullptr) return false;
  }
  return true;
}

ProbeResult Found(bool available) { return available ? ProbeResult::Available : ProbeResult::Missing; }

bool MixerWorks() {
  if (AV_VERSION_MAJOR(swresample_version()) != LIBSWRESAMPLE_VERSION_MAJOR) return false;
  SwrContext* context = swr_alloc();
  const bool ok = context != nullptr;
  swr_free(&context);
  return ok;
}

bool MetadataWorks() {
  AVDictionary* tags = nullptr;
  av_dict_set(&tags, "title", "probe", 0);
  const AVDictionaryEntry* entry = av_dict_get(tags, "TITLE", nullptr, 0);  // keys match without case
  const bool ok = entry != nullptr;
  av_dict_free(&tags);
  return ok;
}

bool CdAccessWorks() {
  // Disc images open as drives too, so the image driver is enough for the ripper to work.
  return cdio_have_driver(DRIVER_BINCUE) || cdio_have_driver(DRIVER_LINUX);
}

}  // namespace

ProbeResult LinkedLibraryProbe::Probe(EngineLibrary library) {
  switch (library) {
    case EngineLibrary::Core:
      return Found(FfmpegVersionsMatch());
    case EngineLibrary::EncoderFeed:
#if QT_CONFIG(process)
      return ProbeResult::Available;
#else
      return ProbeResult::Missing;
#endif
    case EngineLibrary::Mixer:
      return Found(MixerWorks());
    case EngineLibrary::Wma:
      return Found(HasDecoders({AV_CODEC_ID_WMAV1, AV_CODEC_ID_WMAV2}) && HasDemuxers({"asf"}) &&
                   avcodec_find_encoder(AV_CODEC_ID_WMAV2) != nullptr &&
                   av_guess_format("asf", nullptr, nullptr) != nullptr);
    case EngineLibrary::Flac:
      return Found(HasDecoders({AV_CODEC_ID_FLAC}) && HasDemuxers({"flac", "ogg"}));
    case EngineLibrary::MonkeysAudio:
      return Found(HasDecoders({AV_CODEC_ID_APE}) && HasDemuxers({"ape"}));
    case EngineLibrary::Musepack:
      return Found(HasDecoders({AV_CODEC_ID_MUSEPACK7, AV_CODEC_ID_MUSEPACK8}) && HasDemuxers({"mpc", "mpc8"}));
    case EngineLibrary::AacMp4:
      return Found(HasDecoders({AV_CODEC_ID_AAC}) && HasDemuxers({"aac", "mov"}));
    case EngineLibrary::Ac3:
      return Found(HasDecoders({AV_CODEC_ID_AC3}) && HasDemuxers({"ac3"}));
    case EngineLibrary::Adx:
      return Found(HasDecoders({AV_CODEC_ID_ADPCM_ADX}) && HasDemuxers({"adx"}));
    case EngineLibrary::Aix:
      return Found(HasDecoders({AV_CODEC_ID_ADPCM_ADX}) && HasDemuxers({"aix"}));
    case EngineLibrary::WavPack:
      return Found(HasDecoders({AV_CODEC_ID_WAVPACK}) && HasDemuxers({"wv"}));
    case EngineLibrary::Speex:
      return Found(HasDecoders({AV_CODEC_ID_SPEEX}) && HasDemuxers({"ogg"}));
    case EngineLibrary::Tags:
      return Found(MetadataWorks());
    case EngineLibrary::Alac:
      return Found(HasDecoders({AV_CODEC_ID_ALAC}) && HasDemuxers({"mov"}));
    case EngineLibrary::Tta:
      return Found(HasDecoders({AV_CODEC_ID_TTA}) && HasDemuxers({"tta"}));
    case EngineLibrary::OptimFrog:
      // FFmpeg has no OptimFROG decoder; such files are refused when they are opened.
      return ProbeResult::NotProvided;
    case EngineLibrary::Cd:
      return Found(CdAccessWorks());
  }
  return ProbeResult::Missing;
}

}  // namespace corvane
