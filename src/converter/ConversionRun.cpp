#include "converter/ConversionRun.h"

#include <QDebug>
#include <QDir>

#include "common/PathJoin.h"
#include "common/RunCompletion.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/ConverterText.h"
#include "common/strings/FormatText.h"
#include "components/ConverterError.h"
#include "components/IConversionComponent.h"
#include "converter/ConverterSettings.h"
#include "converter/OutputNaming.h"
#include "formats/OutputFormatCatalogue.h"
#include "output/RunSummary.h"

namespace corvane {
namespace {

const char* const kSection = keys::section::kConvert;

QString Word(int id) { return StringTable::Text(id); }

// A found file's path from the folder row's own name down: "Album/CD1/a.mp3".
QString PathBelowParent(const QString& rowFolder, const QString& file) {
  QString folder = rowFolder;
  while (folder.size() > 1 && folder.endsWith(PathSeparator())) folder.chop(1);
  const QString parent = FolderOf(folder);
  if (folder == parent) return file.mid(folder.size());  // a row on the root
  return file.mid(parent.size() + (parent.endsWith(PathSeparator()) ? 0 : 1));
}

}  // namespace

ConversionRun::ConversionRun(IRunRows& rows, IRunView& view, IUserInterface& ui, SettingsStore& settings,
                             RunServices services)
    : rows_(rows), view_(view), ui_(ui), settings_(settings), services_(std::move(services)) {}

bool ConversionRun::ChooseOutputFolder(const QString& field, QString& folder) {
  folder = field;
  const bool confirm = settings_.ReadNumber(kSection, keys::kOutputFolderConfirmation, 0) != 0;
  if (!view_.SameFolder() && (folder.isEmpty() || confirm)) {
    const QString start = folder.isEmpty() ? settings_.ReadText(kSection, keys::kLastOutputFolder) : folder;
    const std::optional<QString> chosen = ui_.ChooseFolder(Word(text::kChooseOutputFolder), start);
    if (!chosen) return false;
    folder = *chosen;
  }
  settings_.WriteText(kSection, keys::kLastOutputFolder, folder);
  if (!view_.SameFolder() && field.isEmpty()) {
    view_.SetOutputFolderField(folder);
    settings_.WriteText(kSection, keys::kOutputFolder, folder);
  }
  return true;
}

void ConversionRun::Run(const QString& outputFolderField, const EncodeSettings& settings,
                        const QString& programFolder) {
  if (rows_.Count() == 0) {
    ui_.ShowMessage(Word(text::kNothingToConvert), MessageIcon::Information, MessageButtons::Ok);
    view_.OpenAddFiles();
    return;
  }
  QString outputFolder;
  if (!ChooseOutputFolder(outputFolderField, outputFolder)) return;
  if (services_.check_before_run && !services_.check_before_run()) return;
  converter_ = services_.make_converter ? services_.make_converter() : nullptr;
  if (!converter_) {
    ui_.ShowMessage(Word(text::kCoreComponentsFailed), MessageIcon::Error, MessageButtons::Ok);
    return;
  }

  running_ = true;
  view_.SetRunning(true);
  view_.SetDetailLine(QString());
  for (int j = 0; j < rows_.Count(); ++j) rows_.SetStatus(j, Word(text::kStatusWaiting));
  if (services_.setup_encoder && !services_.setup_encoder(*converter_)) {
    // Set-up stopped before any output was opened, so there should be nothing to complete.
    if (const ConverterResult finished = converter_->Reset(); finished.Failed()) {
      qWarning().noquote() << "The conversion component could not complete its output:" << finished.text;
    }
    converter_.reset();
    BackToIdle();
    return;
  }

  stop_request_ = false;
  overwrite_all_ = false;
  counts_ = Counts();
  sources_ = SourceFileSet();
  for (int j = 0; j < rows_.Count(); ++j) {
    const IRunRows::Row row = rows_.RowAt(j);
    if (!row.folder) sources_.Add(JoinPath(row.folder_path, row.name));
  }
  claims_ = std::make_unique<OutputClaims>();
  albums_ = std::make_unique<ReplayGainAlbums>();
  shared_ = FileConversion::Shared{converter_.get(), settings,        programFolder, services_.encode, &stop_request_,
                                   &sources_,        &overwrite_all_, false,         claims_.get()};
  shared_.replaygain = static_cast<ReplayGainMode>(ConverterSettings::Read(settings_).replaygain);
  shared_.albums = albums_.get();

  for (int j = 0; j < rows_.Count(); ++j) {
    rows_.SelectOnly(j);
    if (rows_.RowAt(j).folder) {
      ConvertFolderRow(j, outputFolder);
    } else {
      ConvertFileRow(j, outputFolder);
    }
  }
  converter_.reset();
  WriteAlbumGains();
  if (!counts_.failed.isEmpty()) {
    const int failed = static_cast<int>(counts_.failed.size());
    ui_.ShowMessage(failed == 1 ? Word(text::kOneFileFailed) : StringTable::Format(text::kFilesFailed, {failed}),
                    MessageIcon::Warning, MessageButtons::Ok);
  }
  Finish(outputFolder);
}

void ConversionRun::ConvertFileRow(int& index, const QString& outputFolder) {
  const IRunRows::Row row = rows_.RowAt(index);
  const QString source = JoinPath(row.folder_path, row.name);
  const QString folder = view_.SameFolder() ? row.folder_path : outputFolder;
  const QString output = OutputPathFor(folder, source, catalogue::ExtensionOf(shared_.settings.format));
  rows_.SetStatus(index, Word(text::kStatusConverting));
  view_.SetDetailLine(
      StringTable::Format(text::kFileRowLine, {index + 1, rows_.Count(), row.name, FileNameOf(output)}));
  view_.SetStatusLine(Word(text::kConvertingInProgress));
  ConvertOne(index, source, output);
}

void ConversionRun::ConvertFolderRow(int& index, const QString& outputFolder) {
  const IRunRows::Row row = rows_.RowAt(index);
  const QString folder = row.folder_path;
  const bool sameFolder = view_.SameFolder();
  if (folder == outputFolder || SameFile(folder, outputFolder)) {
    rows_.SetStatus(index, Word(text::kStatusCancelled));
    ui_.ShowMessage(StringTable::Format(text::kFolderIsOutputFolder, {folder}), MessageIcon::Warning,
                    MessageButtons::Ok);
    return;
  }
  view_.SetStatusLine(Word(text::kSearchingFolder));
  view_.SetDetailLine(QString());
  QStringList found;
  QStringList unreadable;
  const int count = services_.scan_folder ? services_.scan_folder(folder, row.input_type, row.sub_folders, found,
                                                                  sameFolder ? QString() : outputFolder, &unreadable)
                                          : 0;
  rows_.SetFileCount(index, std::max(count, 0));
  // A file whose name cannot be handed back to the file system is listed as failed, never dropped.
  counts_.failed << unreadable;
  for (const QString& file : found) sources_.Add(file);
  const QString extension = catalogue::ExtensionOf(shared_.settings.format);
  for (qsizetype k = 0; k < found.size(); ++k) {
    const QString& source = found[k];
    QString output;
    if (view_.SameFolder()) {
      output = OutputPathFor(FolderOf(source), source, extension);
    } else {
      const QString mirrored = MirrorFolder(outputFolder, FolderOf(source), folder);
      if (!QDir().mkpath(mirrored)) {
        ui_.ShowMessage(StringTable::Format(text::kCannotCreateFolder, {mirrored}), MessageIcon::Error,
                        MessageButtons::Ok);
        // The files left in this folder row are not converted: they count as failed, and the row
        // says why instead of keeping the status of the last file it did convert.
        for (qsizetype left = k; left < found.size(); ++left) counts_.failed << found[left];
        rows_.SetStatus(index, FailedStatus(StringTable::Format(text::kUnableToCreate, {mirrored})));
        return;
      }
      output = OutputPathFor(mirrored, source, extension);
    }
    rows_.SetStatus(index, Word(text::kStatusConverting));
    view_.SetDetailLine(
        StringTable::Format(text::kFolderFileLine, {index + 1, rows_.Count(), static_cast<int>(k + 1),
                                                    static_cast<int>(found.size()), PathBelowParent(folder, source)}));
    view_.SetStatusLine(Word(text::kConvertingInProgress));
    const FileResult result = ConvertOne(index, source, output);
    if (result == FileResult::Cancelled || result == FileResult::StopAll) return;
  }
}

FileResult ConversionRun::ConvertOne(int& index, const QString& source, QString output) {
  FileConversion conversion(shared_, view_, ui_, settings_);
  const auto outcome = conversion.Convert(source, output);
  const FileResult result = outcome.code;
  QString failure;
  switch (result) {
    case FileResult::StopAll:
      for (int j = index; j < rows_.Count(); ++j) rows_.SetStatus(j, StatusWord(result));
      index = rows_.Count();
      return result;
    case FileResult::Failed:
      counts_.failed << source;
      failure = FailedStatus(outcome.text);
      rows_.SetStatus(index, failure);
      break;
    case FileResult::Converted:
      ++counts_.succeeded;
      [[fallthrough]];
    case FileResult::Cancelled:
    case FileResult::Skipped:
      rows_.SetStatus(index, StatusWord(result));
      break;
  }
  // A converted file's detail (a picture left out) stays in view without a box.
  view_.SetStatusLine(failure.isEmpty() ? outcome.text : failure);
  return result;
}

void ConversionRun::WriteAlbumGains() {
  QStringList untagged;
  albums_->WriteAlbumTags(untagged);
  for (const QString& output : untagged) {
    ui_.ShowMessage(StringTable::Format(text::kReplayGainNotWritten, {output}), MessageIcon::Warning,
                    MessageButtons::Ok);
  }
}

void ConversionRun::Finish(const QString& outputFolder) {
  const bool sameFolder = view_.SameFolder();
  RunCompletion completion;
  completion.summary = RunSummary(counts_.succeeded, counts_.failed, sameFolder, outputFolder);
  completion.failed_count = static_cast<int>(counts_.failed.size());
  completion.folder = outputFolder;
  completion.folder_openable = !sameFolder;
  CompleteRun(ui_, settings_, kSection, completion);
  BackToIdle();
}

void ConversionRun::BackToIdle() {
  running_ = false;
  view_.SetStatusLine(Word(text::kStatusIdle));
  view_.SetDetailLine(QString());
  ui_.SetStatusText(1, StringTable::Text(text::kStatusOutput));
  ui_.SetJobProgress(0);
  // Last, so that the view's selection update puts the selected row's output back in the status
  // bar instead of the bare "Output - " above.
  view_.SetRunning(false);
}

}  // namespace corvane
