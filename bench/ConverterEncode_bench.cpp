// Encodes a 16-bit WAV file to MP3 or Ogg Vorbis at 128 kbps through the conversion component,
// fed one second at a time as the encoder back-end feeds it. Run by converter_encode.sh, which
// times the whole process against ffmpeg doing the same job.
#include <sndfile.h>

#include <QString>
#include <cstdio>
#include <cstring>
#include <vector>

#include "components/IConversionComponent.h"

using namespace corvane;

namespace {

constexpr int kBitrate = 128;

// The encoder settings a fresh profile gives the MP3 runs.
Mp3EncoderSettings DefaultMp3(int rate, int channels) {
  Mp3EncoderSettings settings;
  settings.SetEncoderQuality(2);
  settings.SetStereoMode(1);
  settings.SetVbrHeader(1);
  settings.SetMinBitrateEnforced(0);
  settings.SetSampleRate(rate);
  settings.SetBitrate(kBitrate);
  settings.SetChannels(channels);
  return settings;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "mp3") != 0 && std::strcmp(argv[1], "ogg") != 0)) {
    std::fprintf(stderr, "usage: %s mp3|ogg input.wav output\n", argv[0]);
    return 2;
  }
  const bool mp3 = std::strcmp(argv[1], "mp3") == 0;
  SF_INFO info{};
  SNDFILE* input = sf_open(argv[2], SFM_READ, &info);
  if (!input) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 1;
  }
  auto converter = CreateAudioConverter();
  ConverterResult result;
  if (mp3) {
    converter->SetOutputType(ComponentFormat::Mp3);
    converter->SetMp3Encoder(DefaultMp3(info.samplerate, info.channels));
  } else {
    result = converter->SetOggFormat(info.samplerate, info.channels, kBitrate, kBitrate, kBitrate, -1);
  }
  if (result.Succeeded()) result = converter->SetInputFormat(info.samplerate, info.channels);
  if (result.Succeeded())
    result = converter->OpenOutput(QString::fromLocal8Bit(argv[3]), mp3 ? ComponentFormat::Mp3 : ComponentFormat::Ogg);
  std::vector<short> block(static_cast<std::size_t>(info.samplerate * info.channels));
  sf_count_t frames = 0;
  while (result.Succeeded() && (frames = sf_readf_short(input, block.data(), info.samplerate)) > 0)
    result = converter->WriteSamples(
        std::span<const std::int16_t>(block.data(), static_cast<std::size_t>(frames * info.channels)));
  if (result.Succeeded()) result = converter->Reset();
  sf_close(input);
  if (result.Failed()) {
    std::fprintf(stderr, "conversion failed (%d): %s\n", static_cast<int>(result.code), qPrintable(result.text));
    return 1;
  }
  return 0;
}
