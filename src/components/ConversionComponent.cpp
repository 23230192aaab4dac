#include "components/ConversionComponent.h"

#include <lame/lame.h>

#include <QDebug>
#include <QFile>

#include "components/Mp3FileEncoder.h"
#include "components/WmaFileEncoder.h"

namespace corvane {
namespace {

constexpr int kVoxChannels = 1;

bool ValidChannels(int channels) { return channels == 1 || channels == 2; }

}  // namespace

std::unique_ptr<IConversionComponent> CreateAudioConverter() {
  // Without a working LAME the component cannot answer its MP3 questions.
  lame_t probe = lame_init();
  if (!probe) return nullptr;
  lame_close(probe);
  return std::make_unique<ConversionComponent>();
}

ConversionComponent::ConversionComponent() = default;

ConversionComponent::~ConversionComponent() {
  // An output still open when the component goes away is completed, never left half-written
  // without its headers. Nobody is left to tell but the log.
  if (const ConverterResult finished = Reset(); finished.Failed()) {
    qWarning().noquote() << "The conversion component could not complete its open output:" << finished.text;
  }
}

template <typename Step>
ConverterResult ConversionComponent::Guarded(Step step) {
  try {
    step();
  } catch (const ConverterError& error) {
    last_error_ = error.Code();
    return ConverterResult::Failure(error.Code(), QString::fromUtf8(error.what()));
  }
  return ConverterResult::Success();
}

void ConversionComponent::Fail(ConverterErrorCode code, const char* what) { throw ConverterError(code, what); }

void ConversionComponent::Prepare(int /*mode*/) {}

void ConversionComponent::SetOutputType(ComponentFormat format) { output_type_ = format; }

bool ConversionComponent::IsMp3FormatSupported(int sampleRate, int bitrate, int channels) {
  return Mp3FileEncoder::Accepts(sampleRate, bitrate, channels);
}

bool ConversionComponent::IsOggFormatSupported(int sampleRate, int channels, int nominal, int minimum, int maximum) {
  return OggVorbisFileEncoder::Accepts(sampleRate, channels, OggBitrates{nominal, minimum, maximum});
}

void ConversionComponent::SetMp3Encoder(const Mp3EncoderSettings& settings) {
  mp3_ = settings;
  output_type_ = ComponentFormat::Mp3;
}

ConverterResult ConversionComponent::SetOggFormat(int sampleRate, int channels, int nominal, int minimum, int maximum,
                                                  int /*quality*/) {
  return Guarded([&] {
    const OggBitrates bitrates{nominal, minimum, maximum};
    if (!OggVorbisFileEncoder::Accepts(sampleRate, channels, bitrates))
      Fail(ConverterErrorCode::UnsupportedFormat, "libvorbisenc does not take these Ogg settings");
    ogg_ = OggSetup{sampleRate, channels, bitrates};
    output_type_ = ComponentFormat::Ogg;
  });
}

void ConversionComponent::SetWav(SndFileKind kind, int sampleRate, int channels) {
  if (!SndFileEncoder::Accepts(kind, sampleRate, channels))
    Fail(ConverterErrorCode::UnsupportedFormat, "libsndfile does not take these WAV settings");
  wav_ = SndFileSetup{kind, sampleRate, channels};
  output_type_ = ComponentFormat::Wav;
}

ConverterResult ConversionComponent::SetWavPcm(int sampleRate, int channels, int bits) {
  return Guarded([&] {
    if (bits != 8 && bits != 16) Fail(ConverterErrorCode::UnsupportedFormat, "PCM WAV takes 8 or 16 bits");
    SetWav(bits == 8 ? SndFileKind::WavPcm8 : SndFileKind::WavPcm16, sampleRate, channels);
  });
}

ConverterResult ConversionComponent::SetWavAdpcm(int sampleRate, int channels) {
  return Guarded([&] { SetWav(SndFileKind::WavMsAdpcm, sampleRate, channels); });
}
ConverterResult ConversionComponent::SetWavALaw(int sampleRate, int channels) {
  return Guarded([&] { SetWav(SndFileKind::WavALaw, sampleRate, channels); });
}
ConverterResult ConversionComponent::SetWavULaw(int sampleRate, int channels) {
  return Guarded([&] { SetWav(SndFileKind::WavULaw, sampleRate, channels); });
}

ConverterResult ConversionComponent::SetVox(int sampleRate) {
  return Guarded([&] {
    if (!SndFileEncoder::Accepts(SndFileKind::VoxAdpcm, sampleRate, kVoxChannels))
      Fail(ConverterErrorCode::UnsupportedFormat, "libsndfile does not take this VOX rate");
    vox_rate_ = sampleRate;
    output_type_ = ComponentFormat::Vox;
  });
}

ConverterResult ConversionComponent::SetWmaFormat(int sampleRate, int channels, int bitrate) {
  return Guarded([&] {
    if (!ValidChannels(channels) || !WmaFileEncoder::Accepts(sampleRate, channels, bitrate))
      Fail(ConverterErrorCode::UnsupportedFormat, "the WMA encoder does not take these settings");
    wma_ = WmaSetup{sampleRate, channels, bitrate};
    output_type_ = ComponentFormat::Wma;
  });
}

ConverterResult ConversionComponent::SetInputFormat(int sampleRate, int channels) {
  return Guarded([&] {
    if (sampleRate <= 0 || !ValidChannels(channels))
      Fail(ConverterErrorCode::InvalidInput, "the input needs a rate and one or two channels");
    input_rate_ = sampleRate;
    input_channels_ = channels;
  });
}

std::unique_ptr<IFileEncoder> ConversionComponent::MakeEncoder(const QString& path, ComponentFormat format) {
  int outputRate = input_rate_;
  switch (format) {
    case ComponentFormat::Mp3:
      if (!mp3_) break;
      // LAME resamples by itself, so any input rate will do.
      output_channels_ = Mp3FileEncoder::OutputChannels(*mp3_, input_channels_);
      return std::make_unique<Mp3FileEncoder>(path, *mp3_, input_rate_, output_channels_);
    case ComponentFormat::Ogg:
      if (!ogg_) break;
      output_channels_ = ogg_->channels;
      outputRate = ogg_->sample_rate;
      if (outputRate != input_rate_) Fail(ConverterErrorCode::InvalidInput, "the input rate differs from the Ogg rate");
      return std::make_unique<OggVorbisFileEncoder>(path, outputRate, output_channels_, ogg_->bitrates);
    case ComponentFormat::Wav:
      if (!wav_) break;
      output_channels_ = wav_->channels;
      outputRate = wav_->sample_rate;
      if (outputRate != input_rate_) Fail(ConverterErrorCode::InvalidInput, "the input rate differs from the WAV rate");
      return std::make_unique<SndFileEncoder>(path, wav_->kind, outputRate, output_channels_);
    case ComponentFormat::Vox:
      if (!vox_rate_) break;
      output_channels_ = kVoxChannels;
      if (*vox_rate_ != input_rate_) Fail(ConverterErrorCode::InvalidInput, "the input rate differs from the VOX rate");
      return std::make_unique<SndFileEncoder>(path, SndFileKind::VoxAdpcm, *vox_rate_, kVoxChannels);
    case ComponentFormat::Wma:
      if (!wma_) break;
      output_channels_ = wma_->channels;
      if (wma_->sample_rate != input_rate_)
        Fail(ConverterErrorCode::InvalidInput, "the input rate differs from the WMA rate");
      return std::make_unique<WmaFileEncoder>(path, wma_->sample_rate, output_channels_, wma_->bitrate);
    case ComponentFormat::None:
      break;
  }
  Fail(ConverterErrorCode::NotConfigured, "no set-up for this output kind");
}

ConverterResult ConversionComponent::OpenOutput(const QString& path, ComponentFormat format) {
  return Guarded([&] {
    Finish();
    if (input_rate_ <= 0) Fail(ConverterErrorCode::InvalidInput, "SetInputFormat was not called");
    encoder_ = MakeEncoder(path, format);
    output_type_ = format;
    last_error_ = ConverterErrorCode::Ok;
  });
}

void ConversionComponent::Feed(std::span<const std::int16_t> frames) {
  if (input_channels_ == output_channels_) {
    encoder_->Write(frames);
    return;
  }
  const std::size_t count = frames.size() / static_cast<std::size_t>(input_channels_);
  adapted_.resize(count * static_cast<std::size_t>(output_channels_));
  for (std::size_t frame = 0; frame < count; ++frame) {
    if (output_channels_ == 1) {  // stereo mixed down to mono
      adapted_[frame] = static_cast<std::int16_t>((frames[2 * frame] + frames[2 * frame + 1]) / 2);
    } else {  // mono doubled to stereo
      adapted_[2 * frame] = adapted_[2 * frame + 1] = frames[frame];
    }
  }
  encoder_->Write(adapted_);
}

ConverterResult ConversionComponent::WriteSamples(std::span<const std::int16_t> samples) {
  return Guarded([&] { Write(samples); });
}

void ConversionComponent::Write(std::span<const std::int16_t> samples) {
  if (!encoder_) Fail(ConverterErrorCode::NotOpen, "no output is open");
  const auto channels = static_cast<std::size_t>(input_channels_);
  if (!pending_.empty()) {  // complete the frame split off by the previous call
    const std::size_t missing = std::min(channels - pending_.size(), samples.size());
    pending_.insert(pending_.end(), samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(missing));
    samples = samples.subspan(missing);
    if (pending_.size() < channels) return;
    Feed(pending_);
    pending_.clear();
  }
  const std::size_t whole = samples.size() - samples.size() % channels;
  Feed(samples.first(whole));
  pending_.assign(samples.begin() + static_cast<std::ptrdiff_t>(whole), samples.end());
}

ConverterResult ConversionComponent::Reset() {
  return Guarded([this] { Finish(); });
}

void ConversionComponent::Finish() {
  pending_.clear();
  if (!encoder_) return;
  std::unique_ptr<IFileEncoder> encoder = std::move(encoder_);
  encoder->Finish();
}

}  // namespace corvane
