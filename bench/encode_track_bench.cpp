// Encodes a file to FLAC (level 5) or MP3 (128 kbps) through EncodeTrack, as a conversion job
// does: decode stream, encoder set-up, half-second or one-second blocks. Run by
// encode_track.sh, which times the whole process against the encoders a user would run alone.
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <cstring>

#include "CountingUserInterface.h"
#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "common/UserInterface.h"
#include "components/IConversionComponent.h"
#include "encoding/EncodeTrack.h"
#include "encoding/EncoderSetup.h"
#include "encoding/Mp3EncoderConfig.h"
#include "engine/DecodeStream.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"

using namespace corvane;

namespace {

constexpr int kMp3Bitrate = 128;
constexpr int kFlacLevel = 5;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 4 || (std::strcmp(argv[1], "flac") != 0 && std::strcmp(argv[1], "mp3") != 0)) {
    std::fprintf(stderr, "usage: %s flac|mp3 input output\n", argv[0]);
    return 2;
  }
  const bool flac = std::strcmp(argv[1], "flac") == 0;
  EngineResult<std::unique_ptr<DecodeStream>> opened = DecodeStream::Open(QString::fromLocal8Bit(argv[2]));
  if (!opened.Succeeded()) {
    std::fprintf(stderr, "cannot open %s (engine error %d)\n", argv[2], ToCode(opened.status.code));
    return 1;
  }
  std::unique_ptr<DecodeStream> source = std::move(*opened.value);
  const ChannelInfo info = source->Info();
  bench::CountingUserInterface ui;
  ui.print_messages = true;
  EncodeJob job;
  job.output_path = QString::fromLocal8Bit(argv[3]);
  job.source = source.get();
  job.encode = source.get();
  job.settings = EncodeSettings{flac ? FormatCode::Flac : FormatCode::Mp3,
                                info.rate,
                                flac ? 0 : kMp3Bitrate,
                                info.channels,
                                16,
                                0,
                                catalogue::kDefaultMusepackPreset,
                                catalogue::kDefaultMp3VbrQuality,
                                false,
                                WavCodec::Pcm};
  job.program_folder = QDir::currentPath();
  // The encoders' own defaults, whatever the user has stored.
  MemorySettings settings;
  job.user_settings = &settings;
  std::unique_ptr<IConversionComponent> converter;
  Mp3EncoderConfig mp3(settings);
  if (flac) {
    settings.WriteNumber(keys::section::kEncoder, keys::kFlacCompressionLevel, kFlacLevel);
  } else {
    converter = CreateAudioConverter();
    mp3.PrepareMp3Encoder(ui);
    if (!converter || !SetupEncoder(*converter, job.settings, mp3, EncoderCapabilities(), ui)) return 1;
    job.converter = converter.get();
  }
  EncodeOutcome outcome = EncodeTrack(job, ui);
  if (converter) {
    if (const ConverterResult finished = converter->Reset(); finished.Failed() && outcome.Succeeded())
      outcome = EncodingFailed(finished);
  }
  if (!outcome.Succeeded()) {
    std::fprintf(stderr, "encoding failed: %s\n", qPrintable(outcome.text));
    return 1;
  }
  return 0;
}
