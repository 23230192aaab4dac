#include "presets/PresetCommands.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"
#include "formats/OutputFormatCatalogue.h"
#include "formats/QualityPanel.h"
#include "presets/COutputQualityMgmt.h"

namespace corvane {
namespace {

const QString kDefaultPresetName = QStringLiteral("CD Quality");

int PositionIn(const ComboBoxState& box, int position) {
  return position >= 0 && position < box.items.size() ? position : -1;
}

}  // namespace

PresetCommands::PresetCommands(COutputQualityMgmt& presets, QualityPanel& panel, IUserInterface& ui,
                               SettingsStore& settings)
    : presets_(presets), panel_(panel), ui_(ui), settings_(settings) {}

void PresetCommands::RememberName(const QString& name) {
  settings_.WriteText(panel_.SettingsSection(), keys::kOutputQualityName, name);
}

void PresetCommands::RebuildOtherPage() {
  if (rebuild_other_) rebuild_other_();
}

void PresetCommands::FillEmptyPanel() {
  QualityPanelState& state = panel_.Edit();
  state.format.selected = 0;
  state.sample_rate.selected = 0;
  state.channels = ChannelRadio::Stereo;
  state.bits = BitsRadio::Bits16;
  state.wav_codec.selected = 0;
  panel_.FillWmaQualityList(panel_.SelectedSampleRate(), panel_.SelectedChannels());
  state.wma.selected = state.wma.items.isEmpty() ? -1 : 0;
  panel_.FillBitrateList(panel_.SelectedSampleRate(), panel_.SelectedFormat(), panel_.SelectedChannels());
  state.bitrate.selected = state.bitrate.items.isEmpty() ? -1 : 0;
  panel_.ApplyFormatToPanel(panel_.SelectedFormat());
  state.presets.selected = -1;
}

void PresetCommands::FillPresetList() {
  ComboBoxState& list = panel_.Edit().presets;
  if (presets_.FillList(list) == 0) {
    FillEmptyPanel();
  } else {
    const QString remembered =
        settings_.ReadTextOrStore(panel_.SettingsSection(), keys::kOutputQualityName, kDefaultPresetName);
    list.selected = std::max(0, static_cast<int>(list.items.indexOf(remembered)));
    RememberName(list.items.at(list.selected));
    ApplySelectedPreset();
  }
  panel_.NotifyChanged();
}

void PresetCommands::SelectPreset(int row) {
  panel_.Edit().presets.selected = row;
  ApplySelectedPreset();
}

void PresetCommands::ApplySelectedPreset() {
  QualityPanelState& state = panel_.Edit();
  const int row = state.presets.selected;
  if (!state.presets.HasValidSelection() || row >= presets_.Count()) return;
  RememberName(state.presets.items.at(row));

  const EncodeSettings& preset = presets_.At(row).settings;
  state.format.selected = catalogue::PositionOfFormat(preset.format);
  state.sample_rate.selected = catalogue::PositionOfSampleRate(preset.sample_rate);
  state.channels = preset.channels != 2 ? ChannelRadio::Mono : ChannelRadio::Stereo;
  state.bits = preset.bits == 16 ? BitsRadio::Bits16 : BitsRadio::Bits8;
  state.wav_codec.selected = PositionIn(state.wav_codec, static_cast<int>(preset.wav_codec));
  state.musepack.selected = PositionIn(state.musepack, preset.musepack_preset);
  state.mp3_vbr.selected = PositionIn(state.mp3_vbr, preset.mp3_vbr_quality);
  state.vbr_checked = preset.vbr_enabled;

  panel_.FillWmaQualityList(preset.sample_rate, panel_.SelectedChannels());
  state.wma.SelectText(QualityPanel::WmaQualityText(preset.wma_quality));
  panel_.FillBitrateList(preset.sample_rate, preset.format, panel_.SelectedChannels());
  state.bitrate.SelectText(QString::number(preset.bitrate));
  panel_.ApplyFormatToPanel(preset.format);
  panel_.NotifyChanged();
}

bool PresetCommands::CheckBitrate(FormatCode format, int bitrate) {
  const bool needsBitrate = format == FormatCode::Mp3 || format == FormatCode::Ogg;
  if (!needsBitrate || bitrate != 0) return true;
  ui_.ShowMessage(StringTable::Text(text::kMsgNoBitrateToSave), MessageIcon::Error, MessageButtons::Ok);
  return false;
}

void PresetCommands::Save() {
  const EncodeSettings settings = panel_.ReadPanelSettings();
  const int row = panel_.State().presets.selected;
  if (!panel_.State().presets.HasValidSelection()) {
    SaveAs();
    return;
  }
  if (!CheckBitrate(settings.format, settings.bitrate)) return;
  if (!presets_.UpdatePreset(row + 1, settings, ui_)) return;  // text::kMsgConfigFileFailed was shown
  RebuildOtherPage();
  ui_.ShowMessage(StringTable::Text(text::kMsgSaveDone), MessageIcon::Warning, MessageButtons::Ok);
}

void PresetCommands::SaveAs() {
  const EncodeSettings settings = panel_.ReadPanelSettings();
  QString name;
  while (name.isEmpty()) {
    const std::optional<QString> answer =
        ui_.AskText(StringTable::Text(text::kSaveAsCaption), StringTable::Text(text::kSaveAsPrompt), QString());
    if (!answer) return;
    name = answer->trimmed();
    if (name.isEmpty())
      ui_.ShowMessage(StringTable::Text(text::kMsgEnterQualityName), MessageIcon::Warning, MessageButtons::Ok);
  }
  // The file keeps at most 99 characters of a name; compare what will really be stored.
  name.truncate(OutputQuality::kMaxNameLength);
  for (const QString& existing : panel_.State().presets.items) {
    if (existing.compare(name, Qt::CaseInsensitive) == 0) {
      ui_.ShowMessage(StringTable::Format(text::kMsgQualityExists, {name}), MessageIcon::Information,
                      MessageButtons::Ok);
      return;
    }
  }
  if (!CheckBitrate(settings.format, settings.bitrate)) return;

  const int before = presets_.Count();
  if (presets_.AddPreset(OutputQuality{name, settings}, ui_) <= before) return;  // text::kMsgConfigFileFailed was shown
  ComboBoxState& list = panel_.Edit().presets;
  presets_.FillList(list);
  list.selected = static_cast<int>(list.items.size()) - 1;
  ApplySelectedPreset();
  RebuildOtherPage();
}

void PresetCommands::Remove() {
  const ComboBoxState& list = panel_.State().presets;
  if (!list.HasValidSelection()) {
    ui_.ShowMessage(StringTable::Text(text::kMsgSelectQualityItem), MessageIcon::Warning, MessageButtons::Ok);
    return;
  }
  if (ui_.ShowMessage(StringTable::Text(text::kMsgConfirmRemove), MessageIcon::Question, MessageButtons::OkCancel) !=
      MessageAnswer::Ok) {
    return;
  }
  const int row = list.selected;
  if (!presets_.RemovePreset(row + 1, ui_)) return;
  ComboBoxState& edited = panel_.Edit().presets;
  edited.items.removeAt(row);
  edited.selected = -1;
  if (!edited.items.isEmpty()) {
    edited.selected = std::min(row, static_cast<int>(edited.items.size()) - 1);
    ApplySelectedPreset();
  }
  panel_.NotifyChanged();
  RebuildOtherPage();
}

void PresetCommands::ResetAll() {
  if (ui_.ShowMessage(StringTable::Text(text::kMsgConfirmReset), MessageIcon::Question, MessageButtons::OkCancel) !=
      MessageAnswer::Ok) {
    return;
  }
  const bool written = presets_.ResetPresets(ui_);  // text::kMsgConfigFileFailed when not
  RememberName(kDefaultPresetName);
  FillPresetList();
  RebuildOtherPage();
  if (written) ui_.ShowMessage(StringTable::Text(text::kMsgResetDone), MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace corvane
