#include "components/SndFileEncoder.h"

#include <sndfile.h>

#include <QFile>

#include "components/ConverterError.h"

namespace corvane {
namespace {

int FormatOf(SndFileKind kind) {
  switch (kind) {
    case SndFileKind::WavPcm8:
      return SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
    case SndFileKind::WavPcm16:
      return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case SndFileKind::WavMsAdpcm:
      return SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM;
    case SndFileKind::WavALaw:
      return SF_FORMAT_WAV | SF_FORMAT_ALAW;
    case SndFileKind::WavULaw:
      return SF_FORMAT_WAV | SF_FORMAT_ULAW;
    case SndFileKind::VoxAdpcm:
      return SF_FORMAT_RAW | SF_FORMAT_VOX_ADPCM;
  }
  return 0;
}

SF_INFO InfoFor(SndFileKind kind, int sampleRate, int channels) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = FormatOf(kind);
  return info;
}

}  // namespace

bool SndFileEncoder::Accepts(SndFileKind kind, int sampleRate, int channels) {
  if (sampleRate <= 0 || channels < 1 || channels > 2) return false;
  if (kind == SndFileKind::VoxAdpcm && channels != 1) return false;
  SF_INFO info = InfoFor(kind, sampleRate, channels);
  return sf_format_check(&info) != 0;
}

SndFileEncoder::SndFileEncoder(const QString& path, SndFileKind kind, int sampleRate, int channels)
    : channels_(channels) {
  if (!Accepts(kind, sampleRate, channels))
    throw ConverterError(ConverterErrorCode::UnsupportedFormat, "libsndfile does not take these settings");
  SF_INFO info = InfoFor(kind, sampleRate, channels);
  file_ = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  if (!file_) throw ConverterError(ConverterErrorCode::OutputOpen, sf_strerror(nullptr));
}

SndFileEncoder::~SndFileEncoder() {
  if (file_) sf_close(file_);
}

void SndFileEncoder::Write(std::span<const std::int16_t> samples) {
  const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels_;
  if (frames == 0) return;
  if (sf_writef_short(file_, samples.data(), frames) != frames)
    throw ConverterError(ConverterErrorCode::WriteFailed, sf_strerror(file_));
}

void SndFileEncoder::Finish() {
  // Closing writes the final header sizes and the last partial ADPCM block.
  sf_write_sync(file_);
  const int pending = sf_error(file_);
  const int result = sf_close(file_);
  file_ = nullptr;
  if (pending != SF_ERR_NO_ERROR || result != 0)
    throw ConverterError(ConverterErrorCode::WriteFailed, sf_error_number(pending != 0 ? pending : result));
}

}  // namespace corvane
