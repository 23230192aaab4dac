#pragma once
#include <QString>
#include <QStringList>

namespace corvane {

// Which page a quality panel sits on; the rules differ a little between the two.
enum class PanelPage { Converter, Ripper };

// One combo box (or list box) of the panel: its entries, the selected row (-1 none) and whether
// it is enabled and shown.
struct ComboBoxState {
  QStringList items;
  int selected = -1;
  bool enabled = true;
  bool visible = true;

  bool HasValidSelection() const { return selected >= 0 && selected < items.size(); }
  // The selected entry; the first one when nothing is selected; empty for an empty box.
  QString SelectedOrFirstText() const;
  // Selects the entry equal to `text` (letters compared without regard to case), else the first
  // entry that begins with it; no selection when none does. Returns whether one was selected.
  bool SelectText(const QString& text);
  void Clear() {
    items.clear();
    selected = -1;
  }
};

// Radio button rows of the panel.
enum class ChannelRadio : int { Stereo = 0, Mono = 1 };
enum class BitsRadio : int { Bits8 = 0, Bits16 = 1 };

// Everything a quality panel shows: what the widget draws and what the logic decides.
struct QualityPanelState {
  ComboBoxState presets;  // the list box of named output qualities
  ComboBoxState format;
  ComboBoxState sample_rate;
  ComboBoxState bitrate;
  // The four option boxes that share the "Quality:" slot; one is visible at a time.
  ComboBoxState mp3_vbr;
  ComboBoxState wav_codec;
  ComboBoxState musepack;
  ComboBoxState wma;
  QString quality_label;

  ChannelRadio channels = ChannelRadio::Stereo;
  bool channels_enabled = true;
  BitsRadio bits = BitsRadio::Bits16;
  bool bits_enabled = true;
  bool vbr_checked = false;
  bool vbr_enabled = true;
  bool keep_tags_checked = true;
  bool keep_tags_enabled = true;
  // Converter page only: "Normalize audio data (0-100%):" and its percent box.
  bool normalize_available = false;
  bool normalize_checked = false;
  int normalize_percent = 100;
  bool normalize_percent_enabled = false;
};

}  // namespace corvane
