#pragma once
#include <QString>
#include <functional>

#include "formats/OutputFormatCatalogue.h"

namespace corvane {

class COutputQualityMgmt;
class IUserInterface;
class QualityPanel;
class SettingsStore;

// The preset operations of one page: filling its preset list, applying the selected preset to
// its quality panel, and the four commands of the "&Quality Mgmt..." menu. The page's selected
// preset is remembered by name in "Output Quality" of the page's settings section. After every
// change to the presets the other page is asked to rebuild its list.
class PresetCommands {
 public:
  PresetCommands(COutputQualityMgmt& presets, QualityPanel& panel, IUserInterface& ui, SettingsStore& settings);

  void SetOtherPageRebuild(std::function<void()> rebuild) { rebuild_other_ = std::move(rebuild); }

  // Fills the list and selects the remembered preset (or the first) and applies it; with no
  // presets at all, resets the panel to MP3 at 8000 Hz.
  void FillPresetList();
  // Sets the panel from the selected preset and remembers its name.
  void ApplySelectedPreset();
  // The list selection changed.
  void SelectPreset(int row);

  void Save();
  void SaveAs();
  void Remove();
  void ResetAll();

 private:
  void FillEmptyPanel();
  void RememberName(const QString& name);
  void RebuildOtherPage();
  // text::kMsgNoBitrateToSave when an MP3 or OGG choice has no bitrate; true when saving may go on.
  bool CheckBitrate(FormatCode format, int bitrate);

  COutputQualityMgmt& presets_;
  QualityPanel& panel_;
  IUserInterface& ui_;
  SettingsStore& settings_;
  std::function<void()> rebuild_other_;
};

}  // namespace corvane
