#include "converter/FileConversion.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "components/ConverterError.h"
#include "components/IAudioConverter.h"
#include "converter/OutputNaming.h"
#include "converter/RunText.h"
#include "engine/DecodeStream.h"
#include "engine/LevelMeter.h"
#include "engine/MixerStream.h"
#include "formats/Id3v1.h"
#include "formats/Id3v2Tag.h"
#include "formats/OutputFormatCatalogue.h"
#include "formats/SourceFileServices.h"

namespace corvane {
namespace {

constexpr int kFullScale = 32767;

// A fresh empty file beside `output`, named so that it is hidden and keeps the extension that
// some writers look at. It gets the permissions a new file gets (the umask applies), or those of
// the output it will replace. Empty when the folder does not take a new file.
QString MakeTemporaryBeside(const QString& output) {
  const QFileInfo info(output);
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const QString candidate = info.absolutePath() + QStringLiteral("/.") + info.completeBaseName() +
                              QStringLiteral(".%1.").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                          QLatin1Char('0')) +
                              info.suffix();
    const int fd = ::open(QFile::encodeName(candidate).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return QString();
    }
    struct stat existing {};
    if (::stat(QFile::encodeName(output).constData(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);
    ::close(fd);
    return candidate;
  }
  return QString();
}

bool ReplaceWith(const QString& temporary, const QString& output) {
  std::error_code error;
  std::filesystem::rename(std::filesystem::path(QFile::encodeName(temporary).toStdString()),
                          std::filesystem::path(QFile::encodeName(output).toStdString()), error);
  return !error;
}

// Divides every sample so that the loudest one reaches `percent` of full scale. A silent source
// or a target of 0 is left as it is.
void AttachNormalizer(AudioStream& stream, int peak, int percent) {
  if (peak <= 0 || percent <= 0) return;
  if (percent >= 100 && peak >= kFullScale) return;
  const int divisor = static_cast<int>(peak / (percent / 100.0));
  if (divisor <= 0) return;
  stream.SetSampleProcessor([divisor](qint16* samples, int count) {
    for (int i = 0; i < count; ++i) samples[i] = static_cast<qint16>(samples[i] * kFullScale / divisor);
  });
}

}  // namespace

FileConversion::FileConversion(const Shared& shared, IFileOptions& options, IUserInterface& ui)
    : shared_(shared), options_(options), ui_(ui) {}

FileResult FileConversion::Convert(const QString& source, QString& output, QString& detail) {
  FileResult skipped = FileResult::Skipped;
  if (!AskOverwrite(output, skipped)) return skipped;
  // Whatever name the output got, it must not be one of the files this run reads.
  if (SameFile(output, source) || (shared_.sources != nullptr && shared_.sources->Contains(output))) {
    detail = StringTable::Text(text::kOutputIsASource);
    return FileResult::Failed;
  }
  return Encode(source, output, detail);
}

bool FileConversion::AskOverwrite(QString& output, FileResult& skipped) {
  const char* section = keys::section::kConvert;
  const bool confirm =
      shared_.always_ask_overwrite || SettingsStore::ReadNumber(section, keys::kConfirmOverwrite, 1) != 0;
  const bool overwriteAll = shared_.overwrite_all != nullptr && *shared_.overwrite_all;
  QFile existing(output);
  if (!confirm || overwriteAll || !existing.open(QIODevice::ReadOnly)) return true;
  existing.close();
  const OverwriteReply reply = ui_.AskOverwrite(StringTable::Format(text::kAlreadyExists, {output}), output);
  if (!shared_.always_ask_overwrite) {
    SettingsStore::WriteNumber(section, keys::kConfirmOverwrite, reply.dont_ask_again ? 0 : 1);
  }
  switch (reply.choice) {
    case OverwriteReply::Choice::Skip:
      skipped = FileResult::Skipped;
      return false;
    case OverwriteReply::Choice::OverwriteAll:
      if (shared_.overwrite_all != nullptr) *shared_.overwrite_all = true;
      break;
    case OverwriteReply::Choice::Overwrite:
      if (reply.use_other_name && !reply.other_name.isEmpty()) output = reply.other_name;
      break;
  }
  return true;
}

FileResult FileConversion::Encode(const QString& source, const QString& output, QString& detail) {
  EngineError error = EngineError::Ok;
  std::unique_ptr<DecodeStream> stream = DecodeStream::Open(source, error, DecodeStream::Mode::Decode);
  if (!stream) {
    detail = StringTable::Format(text::kUnableToLoad, {ToCode(error)});
    return FileResult::Failed;
  }
  if (options_.NormalizeEnabled()) {
    options_.SetStatusLine(StringTable::Text(text::kPreparingNormalization));
    const int percent = std::clamp(options_.NormalizeValue(), 0, 100);
    SettingsStore::WriteNumber(keys::section::kConvert, keys::kNormalizationValue, percent);
    options_.SetNormalizeValue(percent);
    const int peak = LevelMeter::MeasurePeak(*stream);
    stream->Seek(0);
    AttachNormalizer(*stream, peak, percent);
    options_.SetStatusLine(StringTable::Text(text::kConvertingInProgress));
  }

  const EncodeSettings& settings = shared_.settings;
  const ChannelInfo info = stream->Info();
  int mixRate = settings.sample_rate;
  int mixChannels = settings.channels;
  bool needMixer = true;
  switch (static_cast<FormatCode>(settings.format)) {
    case FormatCode::Flac:
      needMixer = false;
      break;
    case FormatCode::Ape:
      mixRate = info.rate;
      mixChannels = std::min(info.channels, 2);
      break;
    case FormatCode::Musepack:
      needMixer = info.rate != 44100 && info.rate != 48000;
      mixRate = 44100;
      mixChannels = info.channels;
      break;
    default:
      break;
  }
  std::unique_ptr<MixerStream> mixer;
  if (needMixer) {
    mixer = MixerStream::Create(*stream, mixRate, mixChannels, error);
    if (!mixer) {
      detail = StringTable::Format(text::kUnableToLoad, {ToCode(error)});
      return FileResult::Failed;
    }
  }

  const QString temporary = MakeTemporaryBeside(output);
  if (temporary.isEmpty()) {
    detail = StringTable::Format(text::kUnableToCreate, {output});
    return FileResult::Failed;
  }
  EncodeJob job;
  job.output_path = temporary;
  job.source = stream.get();
  job.encode = mixer ? static_cast<AudioStream*>(mixer.get()) : stream.get();
  job.converter = shared_.converter;
  job.settings = settings;
  job.keep_tags = options_.KeepTags();
  job.stop_question = text::kStopConversionQuestion;
  job.program_folder = shared_.program_folder;
  job.stop_request = shared_.stop_request;
  job.processor_share = shared_.processor_share;
  const EncodeOutcome outcome = shared_.encode ? shared_.encode(job, ui_) : EncodeOutcome::Failure(QString());
  const int result = static_cast<int>(outcome.result);
  const QString& encodeError = outcome.error;

  ui_.SetJobProgress(100);
  if (shared_.converter != nullptr) {
    try {
      shared_.converter->Reset();
    } catch (const ConverterError&) {
      // The back-end has already reported what went wrong with this file.
    }
  }
  mixer.reset();
  stream.reset();

  if (result == 0) {
    if (ReplaceWith(temporary, output)) {
      if (job.keep_tags) WriteTags(source, output);
      return FileResult::Converted;
    }
    detail = StringTable::Format(text::kUnableToReplace, {output});
  }
  QFile::remove(temporary);
  switch (result) {
    case 0:
    case 1:
      if (result == 1) detail = encodeError;
      ui_.SetJobProgress(0);
      return FileResult::Failed;
    case 2:
      return FileResult::Cancelled;
    default:
      return FileResult::StopAll;
  }
}

void FileConversion::WriteTags(const QString& source, const QString& output) const {
  const auto format = static_cast<FormatCode>(shared_.settings.format);
  if (format != FormatCode::Mp3 && format != FormatCode::Wav && format != FormatCode::Ogg) return;
  SourceTags tags;
  if (!SourceFileServices::ReadFileTags(source, tags)) return;
  if (format != FormatCode::Mp3) {
    SourceFileServices::WriteFileTags(output, tags);
    return;
  }
  Mp3TagSet set;
  set.tags = tags;
  bool id3v2 = false;
  switch (SettingsStore::ReadNumber(keys::section::kConvert, keys::kEnableId3v2, 0)) {
    case 0:
      id3v2 = NeedsId3v2(set);
      break;
    case 1:
      id3v2 = true;
      break;
    default:
      break;
  }
  if (id3v2) WriteId3v2Tag(output, set);
  WriteId3v1Tag(output, set);
}

}  // namespace corvane
