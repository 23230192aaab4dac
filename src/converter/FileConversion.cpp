#include "converter/FileConversion.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include <sys/stat.h>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/SystemError.h"
#include "common/UserInterface.h"
#include "components/ConverterError.h"
#include "components/IConversionComponent.h"
#include "converter/OutputNaming.h"
#include "converter/RunText.h"
#include "converter/TemporaryOutput.h"
#include "engine/AudioFileServices.h"
#include "engine/DecodeStream.h"
#include "engine/LevelMeter.h"
#include "engine/MixerStream.h"
#include "formats/FormatTexts.h"
#include "formats/OutputFormatCatalogue.h"
#include "tags/Id3v1.h"
#include "tags/Id3v2Tag.h"
#include "tags/SourceFileServices.h"

namespace corvane {
namespace {

constexpr int kFullScale = 32767;
// Rename answers in a row before a job gives up (each names another file that exists).
constexpr int kMaxRenames = 1000;

// Anything at the path, even a folder or a dangling symbolic link, is an existing output.
bool EntryExists(const QString& path) {
  struct stat info {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

// flac writes its output itself, by name; every other writer takes an unnamed file.
bool WriterNeedsName(int format) { return static_cast<FormatCode>(format) == FormatCode::Flac; }

// Divides every sample so that the loudest one reaches `percent` of full scale. A silent source
// or a target of 0 is left as it is.
void AttachNormalizer(AudioStream& stream, int peak, int percent) {
  if (peak <= 0 || percent <= 0) return;
  if (percent >= 100 && peak >= kFullScale) return;
  const int divisor = static_cast<int>(peak / (percent / 100.0));
  if (divisor <= 0) return;
  stream.SetSampleProcessor([divisor](qint16* samples, int count) {
    for (int i = 0; i < count; ++i) {
      // Dithered mixing may differ by a step from the pass that measured the peak: clip, never wrap.
      samples[i] = static_cast<qint16>(std::clamp(samples[i] * kFullScale / divisor, -kFullScale - 1, kFullScale));
    }
  });
}

}  // namespace

FileConversion::FileConversion(const Shared& shared, IFileOptions& options, IUserInterface& ui)
    : shared_(shared), options_(options), ui_(ui) {}

FileConversion::~FileConversion() {
  if (shared_.claims != nullptr && !claimed_.isEmpty()) shared_.claims->Release(claimed_);
}

FileResult FileConversion::Convert(const QString& source, QString& output, QString& detail) {
  if (!AudioFileServices::IsRegularFile(source)) {
    detail = StringTable::Text(QFileInfo::exists(source) ? text::kNotARegularFile : text::kSourceMissing);
    return FileResult::Failed;
  }
  bool replace = false;
  if (!SettleOutput(output, replace)) return FileResult::Skipped;
  // Whatever name the output got, it must not be one of the files this run reads.
  if (SameFile(output, source) || (shared_.sources != nullptr && shared_.sources->Contains(output))) {
    detail = StringTable::Text(text::kOutputIsASource);
    return FileResult::Failed;
  }
  return Encode(source, output, replace, detail);
}

bool FileConversion::Claim(const QString& output) {
  if (shared_.claims == nullptr) return true;
  if (output != claimed_) {
    if (!claimed_.isEmpty()) shared_.claims->Release(claimed_);
    claimed_ = output;
    claimed_first_ = shared_.claims->Claim(output);
  }
  return claimed_first_;
}

bool FileConversion::SettleOutput(QString& output, bool& replace) {
  const char* section = keys::section::kConvert;
  for (int round = 0; round < kMaxRenames; ++round) {
    const bool taken = !Claim(output);
    replace = false;
    if (!taken && !EntryExists(output)) return true;
    const bool confirm =
        shared_.always_ask_overwrite || SettingsStore::ReadNumber(section, keys::kConfirmOverwrite, 1) != 0;
    replace = true;
    if (!confirm || (shared_.overwrite_all != nullptr && *shared_.overwrite_all)) return true;
    const OverwriteReply reply = ui_.AskOverwrite(StringTable::Format(text::kAlreadyExists, {output}), output);
    if (!shared_.always_ask_overwrite) {
      SettingsStore::WriteNumber(section, keys::kConfirmOverwrite, reply.dont_ask_again ? 0 : 1);
    }
    switch (reply.choice) {
      case OverwriteReply::Choice::Skip:
        return false;
      case OverwriteReply::Choice::OverwriteAll:
        if (shared_.overwrite_all != nullptr) *shared_.overwrite_all = true;
        return true;
      case OverwriteReply::Choice::Overwrite:
        if (!reply.use_other_name || reply.other_name.isEmpty() || reply.other_name == output) return true;
        output = reply.other_name;
        // A name chosen although a file is there is chosen to replace it; one that another job
        // of the run writes is settled in turn.
        if (Claim(output)) {
          replace = EntryExists(output);
          return true;
        }
        break;
    }
  }
  return false;
}

FileResult FileConversion::Encode(const QString& source, QString& output, bool replace, QString& detail) {
  EngineResult<std::unique_ptr<DecodeStream>> opened = DecodeStream::Open(source, DecodeStream::Mode::Decode);
  if (!opened.Succeeded()) {
    detail = StringTable::Format(text::kUnableToLoad, {ToCode(opened.status.code)});
    return FileResult::Failed;
  }
  std::unique_ptr<DecodeStream> stream = std::move(*opened.value);
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
      // mpcenc takes 44.1 or 48 kHz and at most two channels.
      needMixer = (info.rate != 44100 && info.rate != 48000) || info.channels > 2;
      mixRate = info.rate == 48000 ? 48000 : 44100;
      mixChannels = std::min(info.channels, 2);
      break;
    default:
      break;
  }
  std::unique_ptr<MixerStream> mixer;
  if (needMixer) {
    EngineResult<std::unique_ptr<MixerStream>> created = MixerStream::Create(*stream, mixRate, mixChannels);
    if (!created.Succeeded()) {
      detail = StringTable::Format(text::kUnableToLoad, {ToCode(created.status.code)});
      return FileResult::Failed;
    }
    mixer = std::move(*created.value);
  }
  AudioStream& encode = mixer ? static_cast<AudioStream&>(*mixer) : *stream;
  if (options_.NormalizeEnabled()) {
    options_.SetStatusLine(StringTable::Text(text::kPreparingNormalization));
    const int percent = std::clamp(options_.NormalizeValue(), 0, 100);
    SettingsStore::WriteNumber(keys::section::kConvert, keys::kNormalizationValue, percent);
    options_.SetNormalizeValue(percent);
    // The level of what is written: after mixing, so that a mono source copied to two channels
    // or a down-mixed one reaches the target and resampling cannot push it past full scale.
    const int peak = LevelMeter::MeasurePeak(encode);
    encode.Seek(0);
    AttachNormalizer(encode, peak, percent);
    options_.SetStatusLine(StringTable::Text(text::kConvertingInProgress));
  }

  const QString folder = QFileInfo(output).absolutePath();
  if (shared_.claims != nullptr && shared_.claims->FirstVisit(folder)) TemporaryOutput::SweepFolder(folder);
  int fileError = 0;
  std::unique_ptr<TemporaryOutput> temporary =
      TemporaryOutput::Create(output, WriterNeedsName(settings.format), fileError);
  if (!temporary) {
    detail = StringTable::Format(text::kUnableToCreate, {output}) + QStringLiteral(": ") + SystemErrorText(fileError);
    return FileResult::Failed;
  }
  EncodeJob job;
  job.output_path = temporary->WritePath();
  job.final_path = output;
  job.source = stream.get();
  job.encode = &encode;
  job.converter = shared_.converter;
  job.settings = settings;
  job.keep_tags = options_.KeepTags();
  job.stop_question = text::kStopConversionQuestion;
  job.program_folder = shared_.program_folder;
  job.stop_request = shared_.stop_request;
  job.processor_share = shared_.processor_share;
  EncodeOutcome outcome = shared_.encode ? shared_.encode(job, ui_) : EncodeOutcome::Failure(QString());

  ui_.SetJobProgress(100);
  if (shared_.converter != nullptr) {
    // The component completes its file here: the last frames and headers may still fail to fit.
    const ConverterResult finishing = shared_.converter->Reset();
    if (finishing.Failed() && outcome.Succeeded()) outcome = EncodeOutcome::EncodingFailure(finishing);
  }
  mixer.reset();
  stream.reset();

  switch (outcome.result) {
    case EncodeResult::Done:
      break;
    case EncodeResult::Failed:
      detail = outcome.error;
      ui_.SetJobProgress(0);
      return FileResult::Failed;
    case EncodeResult::StoppedThis:
      return FileResult::Cancelled;
    case EncodeResult::StoppedAll:
      return FileResult::StopAll;
  }
  // Tags go in while the file has no name yet, so no half-tagged file is ever seen.
  if (job.keep_tags) WriteTags(source, job.output_path);
  for (int round = 0; round < kMaxRenames; ++round) {
    switch (temporary->MoveTo(output, replace, fileError)) {
      case TemporaryOutput::Commit::Done:
        return FileResult::Converted;
      case TemporaryOutput::Commit::Exists:
        // Another program wrote a file of that name while this one was encoded.
        if (!SettleOutput(output, replace)) return FileResult::Skipped;
        continue;
      case TemporaryOutput::Commit::Failed:
        break;
    }
    break;
  }
  detail = StringTable::Format(text::kUnableToReplace, {output}) + QStringLiteral(": ") + SystemErrorText(fileError);
  ui_.SetJobProgress(0);
  return FileResult::Failed;
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
