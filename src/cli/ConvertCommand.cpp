#include "cli/ConvertCommand.h"

#include <unistd.h>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <cstdio>

#include "cli/CommandParsing.h"
#include "cli/ConsoleUserInterface.h"
#include "cli/ConvertJob.h"
#include "cli/LoudnessOptions.h"
#include "cli/OutputOptions.h"
#include "common/ConditionWaiting.h"
#include "common/OrderedWorkerPool.h"
#include "common/ProgramFolder.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/SignalGuard.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "common/strings/ConverterText.h"
#include "common/strings/FormatText.h"
#include "components/IConversionComponent.h"
#include "converter/ConverterSettings.h"
#include "converter/FileConversion.h"
#include "converter/FolderScan.h"
#include "converter/OutputNaming.h"
#include "encoding/EncodeTrack.h"
#include "encoding/EncoderSetup.h"
#include "engine/InputTypes.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"
#include "output/OutputClaims.h"
#include "output/RunSummary.h"
#include "presets/COutputQualityMgmt.h"

namespace corvane::cli {
namespace {

// The per-file options of a command-line run: fixed for the whole run.
class FixedOptions final : public IFileOptions {
 public:
  FixedOptions(bool keepTags, bool normalize, int percent)
      : keep_(keepTags), normalize_(normalize), percent_(percent) {}
  bool KeepTags() const override { return keep_; }
  bool NormalizeEnabled() const override { return normalize_; }
  int NormalizeValue() const override { return percent_; }
  void SetNormalizeValue(int) override {}
  void SetStatusLine(const QString&) override {}

 private:
  bool keep_;
  bool normalize_;
  int percent_;
};

// --type: a list text ("mp3 files") or an extension ("mp3"); row 0 when not given.
int TypeRowOf(const QString& text, bool& ok) {
  ok = true;
  if (text.isEmpty()) return 0;
  for (int row = 0; row < InputTypes::kRowCount; ++row) {
    if (InputTypes::ListText(row) == text || InputTypes::Extension(row).compare(text, Qt::CaseInsensitive) == 0) {
      return row;
    }
  }
  ok = false;
  return 0;
}

QString Word(int id) { return StringTable::Text(id); }

}  // namespace

class ConvertRunner {
 public:
  ConvertRunner(const QCommandLineParser& parser, const CAudioEngine& engine, SettingsStore& stored)
      : parser_(parser), engine_(engine), stored_(stored), presets_(stored) {}
  int Run();

 private:
  bool Prepare(QString& error);
  bool Collect(const QStringList& paths, QString& error);
  void CollectFolder(const QString& path);
  bool EncoderAccepts();
  // A worker's own encoder and stop request, set up before the run.
  struct Worker {
    std::unique_ptr<IConversionComponent> converter;
    bool ready = false;
    std::atomic<bool> stop{false};
  };
  void SetUpWorker(Worker& worker, int number);
  // Converts file `index` on worker `number`; the index.
  size_t Convert(size_t index, int number, const std::stop_token& stop);
  void Report(const ConvertJob& job);
  // Album mode: the albums' tags, once every file is done; the albums for the summary. False when
  // a file could not take them.
  bool WriteAlbums(QJsonObject& summary);

  const QCommandLineParser& parser_;
  const CAudioEngine& engine_;
  SettingsStore& stored_;
  std::unique_ptr<Console> console_;
  EncodeSettings settings_;
  COutputQualityMgmt presets_;
  QString output_folder_;
  QString program_folder_;
  bool same_folder_ = false;
  bool json_ = false;
  int jobs_ = 1;
  int normalize_percent_ = 0;
  bool normalize_ = false;  // --normalize or --normalize-loudness
  ReplayGainMode replaygain_ = ReplayGainMode::Off;
  ReplayGainAlbums albums_;
  int refusals_ = 0;  // folders refused before any of their files was converted
  OutputClaims claims_;
  int processor_share_ = 0;  // processors each running file may keep busy
  std::vector<ConvertJob> files_;
  SourceFileSet sources_;
  std::atomic<bool> overwrite_all_{false};
  std::vector<std::unique_ptr<Worker>> workers_;
  std::unique_ptr<FixedOptions> file_options_;  // read from the command line before the workers start
  int done_ = 0;
};

bool ConvertRunner::Prepare(QString& error) {
  ExistingOutput existing = ExistingOutput::Ask;
  int choices = 0;
  if (parser_.isSet(QStringLiteral("overwrite"))) existing = ExistingOutput::Overwrite, ++choices;
  if (parser_.isSet(QStringLiteral("skip-existing"))) existing = ExistingOutput::Skip, ++choices;
  if (parser_.isSet(QStringLiteral("rename"))) existing = ExistingOutput::Rename, ++choices;
  if (choices > 1) {
    error = StringTable::Text(text::kExistingChoicesExclusive);
    return false;
  }
  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  json_ = parser_.isSet(QStringLiteral("json"));
  const bool interactive = ::isatty(STDIN_FILENO) != 0 && terminal;
  if (existing == ExistingOutput::Ask && !interactive) existing = ExistingOutput::Skip;
  console_ = std::make_unique<Console>(existing, interactive, terminal && ::isatty(STDOUT_FILENO) != 0, json_);

  if (parser_.isSet(QStringLiteral("normalize"))) {
    bool ok = false;
    normalize_percent_ = parser_.value(QStringLiteral("normalize")).toInt(&ok);
    if (!ok) {
      error = StringTable::Format(text::kNormalizeNotANumber, {parser_.value(QStringLiteral("normalize"))});
      return false;
    }
  }
  if (!ReplayGainFrom(parser_, ConverterSettings::Read(stored_).replaygain, replaygain_, error)) return false;
  if (!NormalizationFrom(parser_, stored_, normalize_, error)) return false;
  jobs_ = std::max(1, QThread::idealThreadCount());
  if (parser_.isSet(QStringLiteral("jobs"))) {
    bool ok = false;
    jobs_ = parser_.value(QStringLiteral("jobs")).toInt(&ok);
    if (!ok || jobs_ < 1) {
      error = StringTable::Text(text::kJobsNotANumber);
      return false;
    }
  }
  if (!LoadOutputSettings(*console_, parser_, presets_, stored_, settings_, error)) return false;

  // External encoders are looked for beside the installed program first, as the window does.
  program_folder_ = ProgramFolder(stored_);
  same_folder_ = parser_.isSet(QStringLiteral("same-folder"));
  if (parser_.isSet(QStringLiteral("output"))) {
    if (same_folder_) {
      error = StringTable::Text(text::kOutputChoicesExclusive);
      return false;
    }
    output_folder_ = QDir(parser_.value(QStringLiteral("output"))).absolutePath();
    if (!QDir().mkpath(output_folder_)) {
      error = StringTable::Format(text::kCannotCreateFolder, {output_folder_});
      return false;
    }
  } else if (!same_folder_) {
    error = StringTable::Text(text::kNoOutputChoice);
    return false;
  }
  return true;
}

bool ConvertRunner::Collect(const QStringList& paths, QString& error) {
  bool typeOk = false;
  TypeRowOf(parser_.value(QStringLiteral("type")), typeOk);
  if (!typeOk) {
    error = StringTable::Format(text::kUnknownInputType, {parser_.value(QStringLiteral("type"))});
    return false;
  }
  const QString extension = catalogue::ExtensionOf(settings_.format);
  for (const QString& given : paths) {
    const QFileInfo info(given);
    const QString path = info.absoluteFilePath();
    if (info.isDir()) {
      CollectFolder(path);
    } else if (info.exists()) {
      // Not only regular files: a FIFO or a device is refused on its own line, not for the run.
      const QString folder = same_folder_ ? info.absolutePath() : output_folder_;
      files_.push_back({path, OutputPathFor(folder, path, extension), {}, {}, 0, false, false, {}});
    } else {
      error = StringTable::Format(text::kNoSuchPath, {given});
      return false;
    }
  }
  for (const ConvertJob& job : files_) sources_.Add(job.source);
  return true;
}

void ConvertRunner::CollectFolder(const QString& path) {
  bool typeOk = false;
  const int typeRow = TypeRowOf(parser_.value(QStringLiteral("type")), typeOk);
  const bool subFolders = !parser_.isSet(QStringLiteral("no-subfolders"));
  const QString extension = catalogue::ExtensionOf(settings_.format);
  if (!same_folder_ && (path == output_folder_ || SameFile(path, output_folder_))) {
    console_->Message(StringTable::Format(text::kFolderIsOutputFolder, {path}));
    ++refusals_;
    return;
  }
  QStringList found;
  QStringList unreadable;
  // Nothing can cancel this scan: what it found is all there is.
  (void)ScanFolder(path, typeRow, subFolders, nullptr, found, same_folder_ ? QString() : output_folder_, &unreadable);
  for (const QString& name : unreadable) {
    // A name that cannot be handed back to the file system is reported, never left out quietly.
    files_.push_back({name, {}, Word(text::kStatusFailed), Word(text::kNameNotUtf8), 0, true, false, {}});
  }
  for (const QString& source : found) {
    const QString folder = same_folder_ ? FolderOf(source) : MirrorFolder(output_folder_, FolderOf(source), path);
    if (!QDir().mkpath(folder)) {
      // Like the window: the rest of this folder is left out, the other paths go on.
      console_->Message(StringTable::Format(text::kCannotCreateFolder, {folder}));
      ++refusals_;
      break;
    }
    files_.push_back({source, OutputPathFor(folder, source, extension), {}, {}, 0, false, false, {}});
  }
}

// The output settings checked once, before any job: a combination the encoder refuses is
// reported once rather than by every worker.
bool ConvertRunner::EncoderAccepts() {
  std::unique_ptr<IConversionComponent> converter = CreateAudioConverter();
  if (!converter) {
    console_->Message(Word(text::kCoreComponentsFailed));
    return false;
  }
  EncoderCapabilities capabilities;
  JobConsole console(*console_, -1, QString());
  return SetupEncoder(*converter, settings_, presets_.Mp3Encoder(), capabilities, console);
}

void ConvertRunner::SetUpWorker(Worker& worker, int number) {
  worker.converter = CreateAudioConverter();
  EncoderCapabilities capabilities;
  JobConsole setupConsole(*console_, -1 - number, QString());
  worker.ready =
      worker.converter && SetupEncoder(*worker.converter, settings_, presets_.Mp3Encoder(), capabilities, setupConsole);
}

size_t ConvertRunner::Convert(size_t index, int number, const std::stop_token& stop) {
  Worker& worker = *workers_[static_cast<size_t>(number)];
  ConvertJob& job = files_[index];
  QElapsedTimer timer;
  timer.start();
  if (job.failed) {  // refused while collecting
  } else if (!worker.ready || stop.stop_requested()) {
    job.status = Word(worker.ready ? text::kStatusCancelled : text::kStatusFailed);
    job.failed = !worker.ready;
  } else {
    // A stop reaches the file at its next block.
    const std::stop_callback stopFile(stop, [&worker] { worker.stop = true; });
    FileConversion::Shared shared{
        worker.converter.get(), settings_, program_folder_, EncodeTrack, &worker.stop, &sources_,
        &overwrite_all_,        true,      &claims_};
    shared.processor_share = processor_share_;
    shared.replaygain = replaygain_;
    shared.albums = &albums_;
    JobConsole jobConsole(*console_, number, FileNameOf(job.source));
    FileConversion conversion(shared, *file_options_, jobConsole, stored_);
    const Result<FileResult> result = conversion.Convert(job.source, job.output);
    job.loudness = conversion.Measured();
    job.status = StatusWord(result.code);
    job.detail = result.text;
    job.converted = result.code == FileResult::Converted;
    job.failed = result.code == FileResult::Failed;
  }
  job.seconds = timer.elapsed() / 1000.0;
  return index;
}

void ConvertRunner::Report(const ConvertJob& job) {
  console_->SetOverall(++done_, static_cast<int>(files_.size()));
  if (json_) {
    QJsonObject object{{QStringLiteral("source"), job.source},
                       {QStringLiteral("output"), job.output},
                       {QStringLiteral("status"), job.status},
                       {QStringLiteral("detail"), job.detail},
                       {QStringLiteral("seconds"), job.seconds}};
    if (replaygain_ != ReplayGainMode::Off) AddLoudnessFields(object, job.loudness);
    std::fputs(QJsonDocument(object).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return;
  }
  QString line = job.status + QStringLiteral(": ") + job.source;
  if (job.converted) line += QStringLiteral(" -> ") + job.output;
  if (!job.detail.isEmpty()) line += QStringLiteral(" (") + job.detail + QLatin1Char(')');
  console_->Print(line);
}

int ConvertRunner::Run() {
  QString error;
  const QStringList paths = parser_.positionalArguments().mid(1);
  if (paths.isEmpty()) error = StringTable::Text(text::kNothingGiven);
  if (!error.isEmpty() || !Prepare(error) || !Collect(paths, error)) {
    if (!console_) console_ = std::make_unique<Console>(ExistingOutput::Skip, false, false, false);
    console_->Message(error);
    return kExitUsage;
  }
  if (!EncoderAccepts()) return kExitUsage;
  console_->SetNameTaken([this](const QString& path) { return claims_.IsClaimed(path); });
  const int workers = std::min<int>(jobs_, std::max<size_t>(files_.size(), 1));
  processor_share_ = std::max(1, QThread::idealThreadCount() / workers);
  for (int i = 0; i < workers; ++i) SetUpWorker(*workers_.emplace_back(std::make_unique<Worker>()), i);
  file_options_ =
      std::make_unique<FixedOptions>(!parser_.isSet(QStringLiteral("no-tags")), normalize_, normalize_percent_);
  int signal = 0;
  {
    ConditionWaiting waiting;
    SignalGuard guard(waiting);
    const std::stop_callback onSignal(guard.Token(), [this] { console_->Interrupt(); });
    // Files are reported in the order given, whatever order they end in.
    OrderedWorkerPool<size_t> pool(workers, waiting, [this](size_t& index) { Report(files_[index]); });
    for (size_t index = 0; index < files_.size(); ++index) {
      pool.Submit([this, index](int worker, std::stop_token stop) { return Convert(index, worker, stop); });
    }
    // Ctrl-C reaches every running file at its next block; the files after them are cancelled.
    pool.Finish([&guard] { return guard.Signal() != 0; });
    signal = guard.Signal();
  }

  int succeeded = 0;
  QStringList failed;
  for (const ConvertJob& job : files_) {
    if (job.converted) ++succeeded;
    if (job.failed) failed << job.source;
  }
  QJsonObject albums;
  const bool albumsTagged = WriteAlbums(albums);
  const QString summary = RunSummary(succeeded, failed, same_folder_, output_folder_).trimmed();
  ReportRunEnd(*console_, json_, summary, QStringLiteral("files"), static_cast<int>(files_.size()), succeeded,
               static_cast<int>(failed.size()), signal != 0, albums);
  if (signal != 0) return kExitSignalBase + signal;
  if (!failed.isEmpty() || !albumsTagged) return kExitSomeFailed;
  // Nothing converted because a folder was refused: the run did not do what was asked.
  return refusals_ > 0 && succeeded == 0 ? kExitUsage : kExitOk;
}

bool ConvertRunner::WriteAlbums(QJsonObject& summary) {
  if (replaygain_ != ReplayGainMode::Album) return true;
  QStringList untagged;
  QJsonArray list;
  for (const ReplayGainAlbums::Album& album : albums_.WriteAlbumTags(untagged)) {
    QJsonObject object = LoudnessJson(album.loudness);
    object.insert(QStringLiteral("album"), album.name);
    list.append(object);
    if (!json_) console_->Print(StringTable::Format(text::kAlbumGainLine, {album.name, LoudnessLine(album.loudness)}));
  }
  for (const QString& output : untagged) console_->Message(StringTable::Format(text::kReplayGainNotWritten, {output}));
  summary.insert(QStringLiteral("albums"), list);
  return untagged.isEmpty();
}

int RunConvertCommand(const QStringList& arguments, const CAudioEngine& engine, SettingsStore& settings) {
  QCommandLineParser parser;
  AddConvertOptions(parser);
  if (const std::optional<int> done = ParseCommand(parser, arguments)) return *done;
  ConvertRunner runner(parser, engine, settings);
  return runner.Run();
}

}  // namespace corvane::cli
