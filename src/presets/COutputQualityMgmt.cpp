#include "presets/COutputQualityMgmt.h"

#include <QDir>
#include <QFile>

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
const QString kFormat = QStringLiteral("Format");
const QString kSampleRate = QStringLiteral("SampleRate");
const QString kBitrate = QStringLiteral("Bitrate");
const QString kChannel = QStringLiteral("Channel");
const QString kBitPerSample = QStringLiteral("BitPerSample");
const QString kWmaProfile = QStringLiteral("WMAProfile");
const QString kWavCodec = QStringLiteral("WAVCodec");
const QString kMacQuality = QStringLiteral("MACQuality");
const QString kMp3VbrQuality = QStringLiteral("MP3VBRQuality");
const QString kVbrEnabled = QStringLiteral("VBRENABLED");

const QString kUnknownName = QStringLiteral("UNKNOW");
const QString kNoVersion = QStringLiteral("0.0");
const QString kFormatCodesVersion = QStringLiteral("3.0");  // older files number formats otherwise
constexpr int kMaxVersionLength = 9;
constexpr int kMigratedWmaQuality = 90;
// A damaged Total must not make loading allocate or scan without end.
constexpr int kMaxPresets = 9999;

QString ItemSection(int n) { return QStringLiteral("QualityItem_%1").arg(n, 2, 10, QLatin1Char('0')); }

// Format codes of files older than version 3.0.
int MigratedFormat(int oldCode) {
  switch (oldCode) {
    case 1:
      return static_cast<int>(FormatCode::Wav);
    case 3:
      return static_cast<int>(FormatCode::Vox);
    case 6:
      return static_cast<int>(FormatCode::Ogg);
    case 11:
      return static_cast<int>(FormatCode::Wma);
    default:
      return static_cast<int>(FormatCode::Mp3);
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
    EncodeSettings& s = preset.settings;
    s.format = file.ReadNumber(section, kFormat, 0);
    s.sample_rate = file.ReadNumber(section, kSampleRate, 44100);
    s.bitrate = file.ReadNumber(section, kBitrate, 0);
    s.channels = file.ReadNumber(section, kChannel, 2);
    s.bits = file.ReadNumber(section, kBitPerSample, 16);
    s.wma_quality = file.ReadNumber(section, kWmaProfile, 90);
    s.musepack_preset = file.ReadNumber(section, kMacQuality, catalogue::kDefaultMusepackPreset);
    s.mp3_vbr_quality = file.ReadNumber(section, kMp3VbrQuality, catalogue::kDefaultMp3VbrQuality);
    s.vbr_enabled = file.ReadNumber(section, kVbrEnabled, 0);
    s.wav_codec = file.ReadNumber(section, kWavCodec, 0);
  }
}

void COutputQualityMgmt::WriteSection(ProfileFile& file, int n, const OutputQuality& preset) {
  const QString section = ItemSection(n);
  const EncodeSettings& s = preset.settings;
  file.WriteText(section, kName, preset.name);
  file.WriteNumber(section, kFormat, s.format);
  file.WriteNumber(section, kSampleRate, s.sample_rate);
  file.WriteNumber(section, kBitrate, s.bitrate);
  file.WriteNumber(section, kChannel, s.channels);
  file.WriteNumber(section, kBitPerSample, s.bits);
  file.WriteNumber(section, kWmaProfile, s.wma_quality);
  file.WriteNumber(section, kWavCodec, s.wav_codec);
  file.WriteNumber(section, kMacQuality, s.musepack_preset);
  file.WriteNumber(section, kMp3VbrQuality, s.mp3_vbr_quality);
  file.WriteNumber(section, kVbrEnabled, s.vbr_enabled);
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
