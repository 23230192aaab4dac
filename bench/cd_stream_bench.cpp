// Rips tracks of a drive or disc image to trackNN.wav files in the output folder, a CD stream per
// track: "encode" as the ripper's own path does (EncodeTrack and the conversion component set up
// for 44.1 kHz 16-bit stereo PCM, which syncs every finished file to the disk), "plain" by
// writing the stream's samples behind a WAV header, as a command-line ripper does. Run by
// cd_stream.sh, which times the whole process against cd-paranoia reading the same image.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstring>
#include <vector>

#include "CountingUserInterface.h"
#include "common/MemorySettings.h"
#include "components/IConversionComponent.h"
#include "encoding/EncodeTrack.h"
#include "encoding/EncoderSetup.h"
#include "encoding/Mp3EncoderConfig.h"
#include "engine/CdStream.h"
#include "engine/WavStreamHeader.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"

using namespace corvane;

namespace {

constexpr int kBlockBytes = 588 * 4 * 75;  // one second

QString TrackPath(const QDir& folder, int row) {
  return folder.filePath(QStringLiteral("track%1.wav").arg(row + 1, 2, 10, QLatin1Char('0')));
}

std::unique_ptr<CdStream> OpenRow(const QString& device, int row) {
  EngineResult<std::unique_ptr<CdStream>> created = CdStream::Create(device, row, {});
  if (created.Succeeded()) return std::move(*created.value);
  std::fprintf(stderr, "row %d: engine error %d\n", row, ToCode(created.status.code));
  return nullptr;
}

int RipPlain(const QString& device, int tracks, const QDir& folder) {
  std::vector<char> block(kBlockBytes);
  for (int row = 0; row < tracks; ++row) {
    const std::unique_ptr<CdStream> stream = OpenRow(device, row);
    if (!stream) return 1;
    QFile out(TrackPath(folder, row));
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(MakeWavStreamHeader(CdStream::kRate, 2, 16, stream->LengthBytes() / 4)) < 0)
      return 1;
    int read = 0;
    while ((read = stream->Read(block.data(), kBlockBytes)) > 0) {
      if (out.write(block.data(), read) != read) return 1;
    }
    if (read < 0) {
      std::fprintf(stderr, "row %d: read failed at sector %d\n", row, stream->FailedSector());
      return 1;
    }
  }
  return 0;
}

int RipEncoded(const QString& device, int tracks, const QDir& folder) {
  bench::CountingUserInterface ui;
  ui.print_messages = true;
  MemorySettings settings;
  Mp3EncoderConfig mp3(settings);
  mp3.PrepareMp3Encoder(ui);
  const EncodeSettings wav{.format = FormatCode::Wav,
                           .sample_rate = CdStream::kRate,
                           .channels = 2,
                           .musepack_preset = catalogue::kDefaultMusepackPreset,
                           .mp3_vbr_quality = catalogue::kDefaultMp3VbrQuality};
  const std::unique_ptr<IConversionComponent> converter = CreateAudioConverter();
  if (!converter || !SetupEncoder(*converter, wav, mp3, EncoderCapabilities(), ui)) return 1;
  for (int row = 0; row < tracks; ++row) {
    const std::unique_ptr<CdStream> stream = OpenRow(device, row);
    if (!stream) return 1;
    EncodeJob job;
    job.output_path = TrackPath(folder, row);
    job.source = stream.get();
    job.encode = stream.get();
    job.converter = converter.get();
    job.settings = wav;
    job.user_settings = &settings;
    job.program_folder = QDir::currentPath();
    EncodeOutcome outcome = EncodeTrack(job, ui);
    if (const ConverterResult finished = converter->Reset(); finished.Failed() && outcome.Succeeded())
      outcome = EncodingFailed(finished);
    if (!outcome.Succeeded()) {
      std::fprintf(stderr, "row %d: %s\n", row, qPrintable(outcome.text));
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bool plain = argc == 5 && std::strcmp(argv[1], "plain") == 0;
  if (argc != 5 || (!plain && std::strcmp(argv[1], "encode") != 0)) {
    std::fprintf(stderr, "usage: %s plain|encode device-or-image tracks output-folder\n", argv[0]);
    return 2;
  }
  const QString device = QString::fromLocal8Bit(argv[2]);
  const int tracks = QString::fromLocal8Bit(argv[3]).toInt();
  const QDir folder(QString::fromLocal8Bit(argv[4]));
  return plain ? RipPlain(device, tracks, folder) : RipEncoded(device, tracks, folder);
}
