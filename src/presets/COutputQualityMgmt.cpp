#include "presets/COutputQualityMgmt.h"

#include <QDir>
#include <QFile>
#include <array>
#include <type_traits>
#include <utility>

#include "common/PathJoin.h"
#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"
#include "formats/OutputFormatCatalogue.h"
#include "formats/QualityPanelState.h"
#include "presets/ProfileFile.h"

namespace corvane {
namespace {

const QString kVersionSection = QStringLiteral("QualityVersion");
const QString kVersionKey = QStringLiteral("Version");
const QString kTotalSection = QStringLiteral("QualityTotal");
const QString kTotalKey = QStringLiteral("Total");
const QString kName = QStringLiteral("NAME");

const QString kUnknownName = QStringLiteral("UNKNOW");
const QString kNoVersion = QStringLiteral("0.0");
const QString kFormatCodesVersion = QStringLiteral("3.0");  // older files number formats otherwise
constexpr int kMaxVersionLength = 9;
constexpr int kMigratedWmaQuality = 90;
// A damaged Total must not make loading allocate or scan without end.
constexpr int kMaxPresets = 9999;

// A preset's option field: its key in the file, the value a missing key reads as, and the
// member of the settings it holds (stored as a number, as every option is).
struct PresetField {
  const char* key;
  int fallback;
  int (*get)(const EncodeSettings&);
  void (*set)(EncodeSettings&, int);
};

template <auto Member>
constexpr PresetField Field(const char* key, int fallback) {
  using Value = std::remove_cvref_t<decltype(std::declval<EncodeSettings&>().*Member)>;
  return {key, fallback, [](const EncodeSettings& s) { return static_cast<int>(s.*Member); },
          [](EncodeSettings& s, int number) { s.*Member = static_cast<Value>(number); }};
}

// In the order they are written into a new section.
constexpr std::array kFields = {
    Field<&EncodeSettings::format>("Format", 0),
    Field<&EncodeSettings::sample_rate>("SampleRate", 44100),
    Field<&EncodeSettings::bitrate>("Bitrate", 0),
    Field<&EncodeSettings::channels>("Channel", 2),
    Field<&EncodeSettings::bits>("BitPerSample", 16),
    Field<&EncodeSettings::wma_quality>("WMAProfile", 90),
    Field<&EncodeSettings::wav_codec>("WAVCodec", 0),
    Field<&EncodeSettings::musepack_preset>("MACQuality", catalogue::kDefaultMusepackPreset),
    Field<&EncodeSettings::mp3_vbr_quality>("MP3VBRQuality", catalogue::kDefaultMp3VbrQuality),
    Field<&EncodeSettings::vbr_enabled>("VBRENABLED", 0),
};

QString ItemSection(int n) { return QStringLiteral("QualityItem_%1").arg(n, 2, 10, QLatin1Char('0')); }

// Format codes of files older than version 3.0.
FormatCode MigratedFormat(FormatCode stored) {
  switch (static_cast<int>(stored)) {
    case 1:
      return FormatCode::Wav;
    case 3:
      return FormatCode::Vox;
    case 6:
      return FormatCode::Ogg;
    case 11:
      return FormatCode::Wma;
    default:
      return FormatCode::Mp3;
  }
}

}  // namespace

COutputQualityMgmt::COutputQualityMgmt(SettingsStore& settings, Mp3SettingsFactory mp3Factory)
    : settings_(settings), mp3_(settings, std::move(mp3Factory)) {}

QString COutputQualityMgmt::ConfiguredPath() {
  QString folder = settings_.ReadText(keys::section::kOutputQuality, keys::kConfigFilePath);
  if (folder.isEmpty()) {
    folder = settings_.FolderPath();
    QDir().mkpath(folder);
    settings_.WriteText(keys::section::kOutputQuality, keys::kConfigFilePath, folder);
  }
  return JoinPath(folder, QString::fromLatin1(kFileName));
}

bool COutputQualityMgmt::Load(const QString& path, IUserInterface& ui) {
  mp3_.PrepareMp3Encoder(ui);
  path_ = path.isEmpty() ? ConfiguredPath() : path;

  ProfileFile file(path_);
  if (!file.Load()) {
    return ResetPresets(ui);
  }
  if (!file.HasSection(kTotalSection)) {
    // No preset count at all: not a preset file any more (binary, or its head damaged).
    KeepBackup(ui);
    return ResetPresets(ui);
  }
  ReadPresets(file);

  // Versions compare as text, character by character, as they always have.
  const QString version = file.ReadText(kVersionSection, kVersionKey, kNoVersion).left(kMaxVersionLength);
  if (version.compare(QString::fromLatin1(kCurrentVersion)) < 0) KeepBackup(ui);
  bool saved = true;
  if (version.compare(kFormatCodesVersion) < 0) {
    for (OutputQuality& preset : presets_) preset.settings.format = MigratedFormat(preset.settings.format);
    saved = SaveAll(ui);
  }
  if (version.compare(QString::fromLatin1(kCurrentVersion)) < 0) {
    for (OutputQuality& preset : presets_) preset.settings.wma_quality = kMigratedWmaQuality;
    saved = SaveAll(ui) && saved;
  }
  return saved;
}

void COutputQualityMgmt::ReadPresets(const ProfileFile& file) {
  const int total = std::clamp(file.ReadNumber(kTotalSection, kTotalKey, 0), 0, kMaxPresets);
  presets_.assign(static_cast<std::size_t>(total), OutputQuality{});
  for (int n = 1; n <= total; ++n) {
    const QString section = ItemSection(n);
    OutputQuality& preset = presets_[static_cast<std::size_t>(n - 1)];
    preset.name = file.ReadText(section, kName, kUnknownName).left(OutputQuality::kMaxNameLength);
    for (const PresetField& field : kFields) {
      field.set(preset.settings, file.ReadNumber(section, QString::fromLatin1(field.key), field.fallback));
    }
  }
}

void COutputQualityMgmt::WriteSection(ProfileFile& file, int n, const OutputQuality& preset) {
  const QString section = ItemSection(n);
  file.WriteText(section, kName, preset.name);
  for (const PresetField& field : kFields) {
    file.WriteNumber(section, QString::fromLatin1(field.key), field.get(preset.settings));
  }
}

bool COutputQualityMgmt::Commit(const ProfileFile& file, IUserInterface& ui) {
  if (file.Save()) return true;
  ui.ShowMessage(StringTable::Text(text::kMsgConfigFileFailed), MessageIcon::Error, MessageButtons::Ok);
  return false;
}

bool COutputQualityMgmt::SaveAll(IUserInterface& ui) {
  ProfileFile file(path_);
  file.WriteText(kVersionSection, kVersionKey, QString::fromLatin1(kCurrentVersion));
  file.WriteNumber(kTotalSection, kTotalKey, Count());
  for (int n = 1; n <= Count(); ++n) WriteSection(file, n, presets_[static_cast<std::size_t>(n - 1)]);
  return Commit(file, ui);
}

void COutputQualityMgmt::KeepBackup(IUserInterface& ui) const {
  const QString backup = path_ + QStringLiteral(".bak");
  QFile::remove(backup);
  if (!QFile::copy(path_, backup)) return;
  ui.ShowMessage(StringTable::Format(text::kMsgPresetFileBackedUp, {path_, backup}), MessageIcon::Warning,
                 MessageButtons::Ok);
}

bool COutputQualityMgmt::UpdatePreset(int n, const EncodeSettings& settings, IUserInterface& ui) {
  if (n < 1 || n > Count()) return false;
  OutputQuality& preset = presets_[static_cast<std::size_t>(n - 1)];
  preset.settings = settings;
  ProfileFile file(path_);
  if (!file.Load()) return SaveAll(ui);  // the file went away: write it whole
  WriteSection(file, n, preset);
  return Commit(file, ui);
}

int COutputQualityMgmt::AddPreset(const OutputQuality& preset, IUserInterface& ui) {
  OutputQuality added = preset;
  added.name = added.name.left(OutputQuality::kMaxNameLength);
  ProfileFile file(path_);
  bool written = false;
  if (file.Load()) {
    file.WriteNumber(kTotalSection, kTotalKey, Count() + 1);
    WriteSection(file, Count() + 1, added);
    written = Commit(file, ui);
  } else {  // the file went away: write it whole
    presets_.push_back(added);
    written = SaveAll(ui);
    if (!written) presets_.pop_back();
  }
  if (written) Load(path_, ui);
  return Count();
}

bool COutputQualityMgmt::RemovePreset(int n, IUserInterface& ui) {
  if (n < 1 || n > Count()) return false;
  const std::vector<OutputQuality> before = presets_;
  presets_.erase(presets_.begin() + (n - 1));
  if (!SaveAll(ui)) {
    presets_ = before;
    return false;
  }
  Load(path_, ui);
  return true;
}

bool COutputQualityMgmt::ResetPresets(IUserInterface& ui) {
  if (path_.isEmpty()) return false;
  const auto defaults = DefaultOutputQualities();
  presets_.assign(defaults.begin(), defaults.end());
  return SaveAll(ui);
}

int COutputQualityMgmt::FillList(ComboBoxState& listBox) const {
  listBox.Clear();
  for (const OutputQuality& preset : presets_) listBox.items << preset.name;
  return Count();
}

}  // namespace corvane
