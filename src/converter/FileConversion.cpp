#include "converter/FileConversion.h"

#include <QFileInfo>
#include <algorithm>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/SystemError.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "common/strings/FormatText.h"
#include "components/ConverterError.h"
#include "components/IConversionComponent.h"
#include "converter/ConverterSettings.h"
#include "converter/OutputNaming.h"
#include "encoding/LoudnessNormalization.h"
#include "encoding/OutputTagging.h"
#include "engine/AudioFileServices.h"
#include "engine/DecodeStream.h"
#include "engine/LevelMeter.h"
#include "engine/MixerStream.h"
#include "formats/OutputFormatCatalogue.h"
#include "output/OutputSettling.h"
#include "output/TemporaryOutput.h"
#include "tags/Id3v2Tag.h"
#include "tags/SourceFileServices.h"

namespace corvane {
namespace {

constexpr int kFullScale = 32767;

Result<FileResult> Failed(const QString& reason) { return Result<FileResult>::Failure(FileResult::Failed, reason); }

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

FileConversion::FileConversion(const Shared& shared, IFileOptions& options, IUserInterface& ui, SettingsStore& settings)
    : shared_(shared), options_(options), ui_(ui), settings_(settings), claim_(shared.claims) {}

FileConversion::~FileConversion() = default;

Result<FileResult> FileConversion::Convert(const QString& source, QString& output) {
  if (!AudioFileServices::IsRegularFile(source)) {
    return Failed(StringTable::Text(QFileInfo::exists(source) ? text::kNotARegularFile : text::kSourceMissing));
  }
  bool replace = false;
  if (!SettleOutput(output, replace)) return Result<FileResult>::Failure(FileResult::Skipped);
  // Whatever name the output got, it must not be one of the files this run reads.
  if (SameFile(output, source) || (shared_.sources != nullptr && shared_.sources->Contains(output))) {
    return Failed(StringTable::Text(text::kOutputIsASource));
  }
  return Encode(source, output, replace);
}

bool FileConversion::SettleOutput(QString& output, bool& replace) {
  const char* section = keys::section::kConvert;
  ExistingOutputRules rules;
  rules.question = text::kAlreadyExists;
  rules.confirm = shared_.always_ask_overwrite || settings_.ReadNumber(section, keys::kConfirmOverwrite, 1) != 0;
  rules.overwrite_all = shared_.overwrite_all;
  rules.ask_for_taken = false;
  rules.typed_name_replaces = true;
  if (!shared_.always_ask_overwrite) {
    rules.remember = [this, section](bool dontAsk) {
      settings_.WriteNumber(section, keys::kConfirmOverwrite, dontAsk ? 0 : 1);
    };
  }
  return corvane::SettleOutput(output, replace, claim_, ui_, rules);
}

void FileConversion::Input::Close() {
  mixer.reset();
  stream.reset();
}

Result<FileResult> FileConversion::OpenInput(const QString& source, Input& input) const {
  EngineResult<std::unique_ptr<DecodeStream>> opened = DecodeStream::Open(source, DecodeStream::Mode::Decode);
  if (!opened.Succeeded()) return Failed(StringTable::Format(text::kUnableToLoad, {ToCode(opened.status.code)}));
  input.stream = std::move(*opened.value);
  const ChannelInfo info = input.stream->Info();
  const EncoderInput wanted = catalogue::InputFor(shared_.settings, info.rate, info.channels);
  if (wanted.mixer) {
    EngineResult<std::unique_ptr<MixerStream>> created =
        MixerStream::Create(*input.stream, wanted.rate, wanted.channels);
    if (!created.Succeeded()) return Failed(StringTable::Format(text::kUnableToLoad, {ToCode(created.status.code)}));
    input.mixer = std::move(*created.value);
  }
  return Result<FileResult>::Success();
}

void FileConversion::PrepareNormalization(AudioStream& encode) {
  if (!options_.NormalizeEnabled()) return;
  options_.SetStatusLine(StringTable::Text(text::kPreparingNormalization));
  if (const std::optional<LoudnessTarget> target = LoudnessTarget::Read(settings_, keys::section::kConvert)) {
    // Measured after mixing too: the loudness of what is written.
    const Loudness measured = MeasureStreamLoudness(encode);
    encode.Seek(0);
    AttachGain(encode, LoudnessGainFor(measured, *target));
    options_.SetStatusLine(StringTable::Text(text::kConvertingInProgress));
    return;
  }
  const int percent = std::clamp(options_.NormalizeValue(), 0, 100);
  settings_.WriteNumber(keys::section::kConvert, keys::kNormalizationValue, percent);
  options_.SetNormalizeValue(percent);
  // The level of what is written: after mixing, so that a mono source copied to two channels
  // or a down-mixed one reaches the target and resampling cannot push it past full scale.
  const int peak = LevelMeter::MeasurePeak(encode);
  encode.Seek(0);
  AttachNormalizer(encode, peak, percent);
  options_.SetStatusLine(StringTable::Text(text::kConvertingInProgress));
}

EncodeOutcome FileConversion::RunEncoder(const EncodeJob& job) {
  EncodeOutcome outcome = shared_.encode ? shared_.encode(job, ui_) : EncodeFailed(QString());
  ui_.SetJobProgress(100);
  if (shared_.converter == nullptr) return outcome;
  // The component completes its file here: the last frames and headers may still fail to fit.
  // A job that failed already keeps its own reason; a finished one fails with this one.
  const ConverterResult finishing = shared_.converter->Reset();
  if (finishing.Failed() && outcome.Succeeded()) outcome = EncodingFailed(finishing);
  return outcome;
}

Result<FileResult> FileConversion::Encode(const QString& source, QString& output, bool replace) {
  Input input;
  if (Result<FileResult> opened = OpenInput(source, input); opened.Failed()) return opened;
  AudioStream& encode = input.mixer ? static_cast<AudioStream&>(*input.mixer) : *input.stream;
  PrepareNormalization(encode);

  const QString folder = QFileInfo(output).absolutePath();
  if (shared_.claims != nullptr && shared_.claims->FirstVisit(folder)) TemporaryOutput::SweepFolder(folder);
  int fileError = 0;
  std::unique_ptr<TemporaryOutput> temporary =
      TemporaryOutput::Create(output, catalogue::WriterNeedsName(shared_.settings.format), fileError);
  if (!temporary) {
    return Failed(StringTable::Format(text::kUnableToCreate, {output}) + QStringLiteral(": ") +
                  SystemErrorText(fileError));
  }
  EncodeJob job;
  job.output_path = temporary->WritePath();
  job.final_path = output;
  job.source = input.stream.get();
  job.encode = &encode;
  job.converter = shared_.converter;
  job.settings = shared_.settings;
  job.keep_tags = options_.KeepTags();
  job.stop_question = text::kStopConversionQuestion;
  job.program_folder = shared_.program_folder;
  job.stop_request = shared_.stop_request;
  job.processor_share = shared_.processor_share;
  job.user_settings = &settings_;
  ReplayGainTrack gain(shared_.replaygain, shared_.settings.format, encode.Info().rate, encode.Info().channels);
  job.tap = gain.Tap();
  const EncodeOutcome outcome = RunEncoder(job);
  input.Close();

  switch (outcome.code) {
    case EncodeResult::Done:
      break;
    case EncodeResult::Failed:
      ui_.SetJobProgress(0);
      return Failed(outcome.text);
    case EncodeResult::StoppedThis:
      return Result<FileResult>::Failure(FileResult::Cancelled);
    case EncodeResult::StoppedAll:
      return Result<FileResult>::Failure(FileResult::StopAll);
  }
  // Tags go in while the file has no name yet, so no half-tagged file is ever seen.
  QStringList notes;
  if (job.keep_tags) {
    WriteTags(source, job.output_path);
    WritePicturesAfterEncoding(job.output_path, shared_.settings.format, SourcePictures(source), notes);
  }
  if (!gain.TagTrack(job.output_path)) {
    return Failed(StringTable::Format(text::kReplayGainNotWritten, {output}));
  }
  measured_ = gain.Result();
  Result<FileResult> placed = PlaceOutput(*temporary, output, replace);
  if (placed.Succeeded()) {
    gain.KeepForAlbum(shared_.albums, QFileInfo(output).absolutePath(), output);
    placed.text = notes.join(QStringLiteral("; "));
  }
  return placed;
}

Result<FileResult> FileConversion::PlaceOutput(TemporaryOutput& temporary, QString& output, bool replace) {
  int fileError = 0;
  switch (corvane::PlaceOutput(
      temporary, output, replace, [&] { return SettleOutput(output, replace); }, fileError)) {
    case Placing::Done:
      return Result<FileResult>::Success();
    case Placing::Skipped:
      return Result<FileResult>::Failure(FileResult::Skipped);
    case Placing::Failed:
      break;
  }
  ui_.SetJobProgress(0);
  return Failed(StringTable::Format(text::kUnableToReplace, {output}) + QStringLiteral(": ") +
                SystemErrorText(fileError));
}

void FileConversion::WriteTags(const QString& source, const QString& output) const {
  if (catalogue::TagsOf(shared_.settings.format) == OutputTags::None) return;
  SourceTags tags;
  if (!SourceFileServices::ReadFileTags(source, tags)) return;
  Mp3TagSet set;
  set.tags = tags;
  bool id3v2 = false;
  switch (ConverterSettings::Read(settings_).enable_id3v2) {
    case 0:
      id3v2 = NeedsId3v2(set);
      break;
    case 1:
      id3v2 = true;
      break;
    default:
      break;
  }
  WriteTagsAfterEncoding(output, shared_.settings.format, tags, id3v2);
}

}  // namespace corvane
