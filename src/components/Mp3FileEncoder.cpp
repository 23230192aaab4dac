#include "components/Mp3FileEncoder.h"

#include <lame/lame.h>

#include <cstdarg>

#include "components/ConverterError.h"
#include "components/FileWriting.h"

namespace corvane {
namespace {

constexpr int kStereo = 1;
constexpr int kJointStereo = 2;
constexpr int kForcedJointStereo = 3;
constexpr int kDualChannel = 4;

constexpr int kVbrDefault = 0;
constexpr int kVbrOld = 1;
constexpr int kVbrNew = 2;
constexpr int kVbrMtrh = 3;
constexpr int kVbrAbr = 4;

void Quiet(const char* /*format*/, va_list /*args*/) {}

struct LameHandle {
  lame_t lame = lame_init();
  LameHandle() {
    if (lame) {
      lame_set_errorf(lame, Quiet);
      lame_set_debugf(lame, Quiet);
      lame_set_msgf(lame, Quiet);
    }
  }
  ~LameHandle() {
    if (lame) lame_close(lame);
  }
};

bool IsSet(int value) { return value != Mp3EncoderSettings::kUnset; }

MPEG_mode ModeFor(int stereoMode) {
  switch (stereoMode) {
    case kStereo:
      return STEREO;
    case kDualChannel:
      return DUAL_CHANNEL;
    case kJointStereo:
    case kForcedJointStereo:
    default:
      return JOINT_STEREO;
  }
}

vbr_mode VbrModeFor(int method) {
  switch (method) {
    case kVbrOld:
      return vbr_rh;
    case kVbrNew:
    case kVbrMtrh:
      return vbr_mtrh;
    case kVbrAbr:
      return vbr_abr;
    case kVbrDefault:
    default:
      return vbr_default;
  }
}

// Worst case of LAME's output for `samples` samples per channel, as lame.h documents it.
std::size_t OutputBound(std::size_t samples) { return samples * 5 / 4 + 7200; }

}  // namespace

int Mp3FileEncoder::OutputChannels(const Mp3EncoderSettings& settings, int inputChannels) {
  if (settings.Channels() == 1 || settings.Channels() == 2) return settings.Channels();
  return inputChannels == 1 ? 1 : 2;
}

bool Mp3FileEncoder::Accepts(int sampleRate, int bitrate, int channels) {
  if (sampleRate <= 0 || bitrate <= 0 || (channels != 1 && channels != 2)) return false;
  LameHandle handle;
  if (!handle.lame) return false;
  lame_set_num_channels(handle.lame, channels);
  lame_set_in_samplerate(handle.lame, sampleRate);
  lame_set_out_samplerate(handle.lame, sampleRate);
  lame_set_brate(handle.lame, bitrate);
  lame_set_mode(handle.lame, channels == 1 ? MONO : JOINT_STEREO);
  lame_set_bWriteVbrTag(handle.lame, 0);
  // LAME quietly moves a rate or bitrate it cannot encode to the nearest one it can.
  return lame_init_params(handle.lame) >= 0 && lame_get_out_samplerate(handle.lame) == sampleRate &&
         lame_get_brate(handle.lame) == bitrate;
}

Mp3FileEncoder::Mp3FileEncoder(const QString& path, const Mp3EncoderSettings& settings, int inputRate,
                               int inputChannels)
    : file_(path), channels_(OutputChannels(settings, inputChannels)) {
  lame_ = lame_init();
  if (!lame_) throw ConverterError(ConverterErrorCode::EncoderStart, "LAME cannot be initialised");
  lame_set_errorf(lame_, Quiet);
  lame_set_debugf(lame_, Quiet);
  lame_set_msgf(lame_, Quiet);
  try {
    Configure(settings, inputRate);
  } catch (...) {
    lame_close(lame_);
    throw;
  }
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
    lame_close(lame_);
    throw ConverterError(ConverterErrorCode::OutputOpen, FileFailure(file_, "cannot create the MP3 file"));
  }
}

Mp3FileEncoder::~Mp3FileEncoder() {
  if (lame_) lame_close(lame_);
}

void Mp3FileEncoder::Configure(const Mp3EncoderSettings& settings, int inputRate) {
  const int outputRate = IsSet(settings.SampleRate()) ? settings.SampleRate() : inputRate;
  lame_set_num_channels(lame_, channels_);
  lame_set_in_samplerate(lame_, inputRate);
  lame_set_out_samplerate(lame_, outputRate);
  lame_set_write_id3tag_automatic(lame_, 0);  // tags are written by the application afterwards
  if (settings.EncoderQuality() >= 0 && settings.EncoderQuality() <= 9)
    lame_set_quality(lame_, settings.EncoderQuality());
  lame_set_mode(lame_, channels_ == 1 ? MONO : ModeFor(settings.StereoMode()));
  if (channels_ == 2 && settings.StereoMode() == kForcedJointStereo) lame_set_force_ms(lame_, 1);
  vbr_header_ = settings.VbrHeader() != 0;  // unset keeps LAME's default: write the frame
  lame_set_bWriteVbrTag(lame_, vbr_header_ ? 1 : 0);

  const bool vbr = IsSet(settings.VbrMethod());
  if (!vbr) {
    lame_set_VBR(lame_, vbr_off);
    if (IsSet(settings.Bitrate())) lame_set_brate(lame_, settings.Bitrate());
  } else {
    lame_set_VBR(lame_, VbrModeFor(settings.VbrMethod()));
    if (settings.VbrQuality() >= 0 && settings.VbrQuality() <= 9) lame_set_VBR_q(lame_, settings.VbrQuality());
    // ABR aims at a mean bitrate, and the maximum bounds its peaks; a maximum below that mean
    // would quietly replace it and is left out. The quality-driven methods are bounded by the
    // quality alone (and by MPEG's highest bitrate): a cap would make every quality sound alike.
    const bool abr = settings.VbrMethod() == kVbrAbr;
    if (abr && settings.VbrBitrate() > 0) lame_set_VBR_mean_bitrate_kbps(lame_, settings.VbrBitrate());
    if (abr && settings.MaxAbrVbrBitrate() > 0 && settings.MaxAbrVbrBitrate() >= settings.VbrBitrate())
      lame_set_VBR_max_bitrate_kbps(lame_, settings.MaxAbrVbrBitrate());
    if (settings.MinBitrateEnforced() == 1 && settings.Bitrate() > 0) {
      lame_set_VBR_min_bitrate_kbps(lame_, settings.Bitrate());
      lame_set_VBR_hard_min(lame_, 1);
    }
  }
  if (lame_init_params(lame_) < 0 || lame_get_out_samplerate(lame_) != outputRate ||
      (!vbr && IsSet(settings.Bitrate()) && lame_get_brate(lame_) != settings.Bitrate())) {
    throw ConverterError(ConverterErrorCode::UnsupportedFormat, "LAME does not take these MP3 settings");
  }
}

void Mp3FileEncoder::WriteBytes(const unsigned char* data, int size) {
  if (size < 0) throw ConverterError(ConverterErrorCode::WriteFailed, "LAME failed to encode");
  if (!WriteWhole(file_, reinterpret_cast<const char*>(data), size))
    throw ConverterError(ConverterErrorCode::WriteFailed, FileFailure(file_, "cannot write the MP3 file"));
}

void Mp3FileEncoder::Write(std::span<const std::int16_t> samples) {
  const std::size_t frames = samples.size() / static_cast<std::size_t>(channels_);
  if (frames == 0) return;
  buffer_.resize(OutputBound(frames));
  int size = 0;
  if (channels_ == 2) {
    size = lame_encode_buffer_interleaved(lame_, const_cast<short*>(samples.data()), static_cast<int>(frames),
                                          buffer_.data(), static_cast<int>(buffer_.size()));
  } else {
    size = lame_encode_buffer(lame_, samples.data(), nullptr, static_cast<int>(frames), buffer_.data(),
                              static_cast<int>(buffer_.size()));
  }
  WriteBytes(buffer_.data(), size);
}

void Mp3FileEncoder::Finish() {
  buffer_.resize(OutputBound(0));
  WriteBytes(buffer_.data(), lame_encode_flush(lame_, buffer_.data(), static_cast<int>(buffer_.size())));
  if (vbr_header_) {
    // LAME left room for the Xing/Info frame at the very start; fill it in now that the totals
    // are known.
    const std::size_t size = lame_get_lametag_frame(lame_, buffer_.data(), buffer_.size());
    if (size > 0) {
      if (!file_.seek(0))
        throw ConverterError(ConverterErrorCode::WriteFailed, FileFailure(file_, "cannot rewind the MP3 file"));
      WriteBytes(buffer_.data(), static_cast<int>(size));
    }
  }
  if (!file_.flush())
    throw ConverterError(ConverterErrorCode::WriteFailed, FileFailure(file_, "cannot write the MP3 file"));
  file_.close();
  if (file_.error() != QFileDevice::NoError)
    throw ConverterError(ConverterErrorCode::WriteFailed, FileFailure(file_, "cannot close the MP3 file"));
}

}  // namespace corvane
