#pragma once
#include <functional>

#include "formats/EncodeSettings.h"
#include "formats/QualityPanelState.h"

namespace corvane {

class EncoderCapabilities;
class IUserInterface;
class SettingsStore;

// The quality panel as plain logic: the state of every control, the control events and the
// format rules. A widget draws State() and forwards the user's actions to the event methods;
// corvane-cli and the tests drive it the same way.
class QualityPanel {
 public:
  QualityPanel(PanelPage page, const EncoderCapabilities& capabilities, SettingsStore& settings);

  const QualityPanelState& State() const { return state_; }
  // Direct access for the preset operations, which set several controls before running the rules.
  QualityPanelState& Edit() { return state_; }
  PanelPage Page() const { return page_; }
  // The settings section of the page ("Convert Setting" or "Rip Setting").
  const char* SettingsSection() const;

  // Called after changes made outside the widget's own events (a preset applied from the other
  // page), so that the widget can redraw.
  void SetChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }
  void NotifyChanged() const;

  // Control events.
  void SelectFormat(int position);
  void SelectSampleRate(int position);
  void SelectChannels(ChannelRadio channels);
  void SelectBits(BitsRadio bits);
  void SelectBitrate(int position);
  void SelectWavCodec(int position);
  void SelectMusepackPreset(int position);
  void SelectMp3VbrQuality(int position);
  void SelectWmaQuality(int position);
  // Flips "Enable VBR" and stores it in the page's settings section at once.
  void ClickVbr();
  void SetKeepTags(bool checked);
  void SetNormalize(bool checked);
  void SetNormalizePercent(int percent);

  // The panel's choice as one record.
  EncodeSettings ReadPanelSettings() const;
  // Enables, shows and hides the controls for a format code.
  void ApplyFormatToPanel(FormatCode format);
  void FillBitrateList(int sampleRate, FormatCode format, int channels);
  void FillWmaQualityList(int sampleRate, int channels);
  // The checks a run makes before it encodes anything (text::kMsgNoWmaVbrQuality and text::kMsgNoBitrate for WMA).
  bool CheckBeforeRun(IUserInterface& ui) const;

  // The selected format code, sample rate and channel count as the panel shows them.
  FormatCode SelectedFormat() const;
  int SelectedSampleRate() const;
  int SelectedChannels() const;

  // The text a WMA quality level is listed as.
  static QString WmaQualityText(int level);

 private:
  // The sample-rate change: refills both computed lists, keeping the selections where it can.
  void RefreshComputedLists();
  void ApplyWavCodecRule();
  void ApplyVbrRule();

  PanelPage page_;
  const EncoderCapabilities& capabilities_;
  SettingsStore& settings_;
  QualityPanelState state_;
  std::function<void()> changed_;
};

}  // namespace corvane
