#pragma once
#include <QString>
#include <vector>

#include "encoding/Mp3EncoderConfig.h"
#include "presets/OutputQuality.h"

namespace corvane {

class IUserInterface;
class ProfileFile;
class SettingsStore;
struct ComboBoxState;

// The named output-quality presets shared by the converter and the ripper, kept in the preset
// file "Bexlor.ini", together with the MP3 encoder settings object that all runs share.
//
// File layout: [QualityVersion] Version=5.0, [QualityTotal] Total=N, then [QualityItem_01] ..
// with NAME, Format, SampleRate, Bitrate, Channel, BitPerSample, WMAProfile, WAVCodec,
// MACQuality, MP3VBRQuality and VBRENABLED. Every write replaces the file in one step (a
// temporary file renamed over it), so a failed write leaves the previous file intact.
class COutputQualityMgmt {
 public:
  static constexpr const char* kFileName = "Bexlor.ini";
  static constexpr const char* kCurrentVersion = "5.0";

  explicit COutputQualityMgmt(
      SettingsStore& settings, Mp3SettingsFactory mp3Factory = [] { return std::make_unique<Mp3EncoderSettings>(); });

  // Prepares the MP3 encoder settings, then loads the presets from `path` (empty: the configured
  // preset file). A missing file is created with the five defaults; files of older versions are
  // converted and rewritten, and a file that holds no preset count at all (damaged) gets the
  // defaults. Before such a rewrite the file is kept as Bexlor.ini.bak and the user is told.
  // False when the file could not be written where it had to be.
  bool Load(const QString& path, IUserInterface& ui);
  // Full path of the configured preset file: "Config File Path" of "Output Quality" (the
  // settings folder, stored on first use, when absent) and the fixed file name.
  QString ConfiguredPath();
  const QString& Path() const { return path_; }

  int Count() const { return static_cast<int>(presets_.size()); }
  // The preset at a 0-based position.
  const OutputQuality& At(int position) const { return presets_.at(static_cast<std::size_t>(position)); }

  // n is 1-based. Replaces the options of preset n (its name stays) and rewrites its section.
  bool UpdatePreset(int n, const EncodeSettings& settings, IUserInterface& ui);
  // Appends a preset (its name cut to 99 characters), reloads the file, returns the new count.
  int AddPreset(const OutputQuality& preset, IUserInterface& ui);
  // n is 1-based. Rewrites the file without preset n and reloads it; false when nothing changed.
  bool RemovePreset(int n, IUserInterface& ui);
  // Replaces every preset with the five defaults; false when the file could not be written.
  bool ResetPresets(IUserInterface& ui);
  // Puts every preset name into the list box, in file order; returns the count.
  int FillList(ComboBoxState& listBox) const;

  Mp3EncoderConfig& Mp3Encoder() { return mp3_; }

 private:
  void ReadPresets(const ProfileFile& file);
  bool SaveAll(IUserInterface& ui);
  // Copies the preset file to "<name>.bak" before a rewrite changes or drops its presets.
  void KeepBackup(IUserInterface& ui) const;
  static void WriteSection(ProfileFile& file, int n, const OutputQuality& preset);
  static bool Commit(const ProfileFile& file, IUserInterface& ui);

  SettingsStore& settings_;
  Mp3EncoderConfig mp3_;
  QString path_;
  std::vector<OutputQuality> presets_;
};

}  // namespace corvane
