#include "formats/QualityPanel.h"

#include <array>

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"

namespace corvane {
namespace {

constexpr int kLossless = 100;

// How a control behaves under a format.
enum class Rule { Off, On, WhenVbr, WhenNotVbr, ByCodec };
enum class Slot { Mp3Vbr, WavCodec, Musepack, Wma };
enum class FollowUp { None, SampleRateChange, WavCodecChange };

struct FormatRule {
  FormatCode format;
  int label;
  Slot shown;
  Rule sample_rate, channels, bits, bitrate, mp3_vbr, wav_codec, musepack, wma;
  FollowUp follow_up;
};

using enum Rule;
using enum FollowUp;
// The last row serves FLAC, Monkey's Audio and any unknown code.
// clang-format off
constexpr std::array<FormatRule, 7> kRules = {{
  // format               label                        shown           rate channels bits    bitrate     mp3 VBR  WAV  MPC  WMA      then
    {FormatCode::Mp3,      text::kLabelQuality,         Slot::Mp3Vbr,   On,  On,      Off,    On,         WhenVbr, Off, Off, Off,     SampleRateChange},
    {FormatCode::Ogg,      text::kLabelQuality,         Slot::Mp3Vbr,   On,  On,      Off,    On,         Off,     Off, Off, Off,     SampleRateChange},
    {FormatCode::Wav,      text::kLabelAudioCodec,      Slot::WavCodec, On,  On,      ByCodec, Off,       Off,     On,  Off, Off,     WavCodecChange},
    {FormatCode::Wma,      text::kLabelQuality,         Slot::Wma,      On,  On,      Off,    WhenNotVbr, Off,     Off, Off, WhenVbr, SampleRateChange},
    {FormatCode::Musepack, text::kLabelQualityMusepack, Slot::Musepack, Off, Off,     Off,    Off,        Off,     Off, On,  Off,     None},
    {FormatCode::Vox,      text::kLabelQuality,         Slot::Wma,      On,  Off,     Off,    Off,        Off,     Off, Off, Off,     None},
    {FormatCode::None,     text::kLabelQuality,         Slot::Mp3Vbr,   Off, Off,     Off,    Off,        Off,     Off, Off, Off,     None},
}};
// clang-format on

const FormatRule& RuleFor(FormatCode format) {
  for (const FormatRule& rule : kRules) {
    if (rule.format == format) return rule;
  }
  return kRules.back();
}

bool Evaluate(Rule rule, bool vbr) {
  switch (rule) {
    case On:
      return true;
    case WhenVbr:
      return vbr;
    case WhenNotVbr:
      return !vbr;
    case Off:
    case ByCodec:
      return false;
  }
  return false;
}

bool KeepTagsApplies(FormatCode format, PanelPage page) {
  switch (format) {
    case FormatCode::Mp3:
    case FormatCode::Wav:
    case FormatCode::Ogg:
    case FormatCode::Wma:
    case FormatCode::Flac:
    case FormatCode::Musepack:
      return true;
    case FormatCode::Ape:
      return page == PanelPage::Converter;
    default:
      return false;
  }
}

void SelectOrFirst(ComboBoxState& box, const QString& text) {
  if (!box.SelectText(text) && !box.items.isEmpty()) box.selected = 0;
}

}  // namespace

QualityPanel::QualityPanel(PanelPage page, const EncoderCapabilities& capabilities, SettingsStore& settings)
    : page_(page), capabilities_(capabilities), settings_(settings) {
  state_.format.items = catalogue::FormatNames();
  state_.sample_rate.items = catalogue::SampleRateTexts();
  state_.wav_codec.items = catalogue::WavCodecTexts();
  state_.wav_codec.selected = 0;
  state_.musepack.items = catalogue::MusepackPresetTexts();
  state_.musepack.selected = catalogue::kDefaultMusepackPreset;
  state_.mp3_vbr.items = catalogue::Mp3VbrQualityTexts();
  state_.mp3_vbr.selected = catalogue::kDefaultMp3VbrQuality;
  state_.quality_label = StringTable::Text(text::kLabelQuality);
  state_.normalize_available = page == PanelPage::Converter;
  state_.vbr_checked = settings_.ReadNumberOrStore(SettingsSection(), keys::kMp3VbrEnabled, 0) == 1;
  state_.keep_tags_checked = settings_.ReadNumberOrStore(SettingsSection(), keys::kMp3Id3Enabled, 1) != 0;
  if (state_.normalize_available) {
    state_.normalize_checked = settings_.ReadNumberOrStore(SettingsSection(), keys::kNormalizationEnabled, 0) != 0;
    state_.normalize_percent = settings_.ReadNumberOrStore(SettingsSection(), keys::kNormalizationValue, 100);
    state_.normalize_percent_enabled = state_.normalize_checked;
  }
}

const char* QualityPanel::SettingsSection() const {
  return page_ == PanelPage::Converter ? keys::section::kConvert : keys::section::kRip;
}

void QualityPanel::NotifyChanged() const {
  if (changed_) changed_();
}

FormatCode QualityPanel::SelectedFormat() const {
  const OutputFormatInfo* format = catalogue::FormatAt(state_.format.selected);
  return format ? format->code : FormatCode::None;
}

int QualityPanel::SelectedSampleRate() const {
  const int row = state_.sample_rate.selected;
  if (row < 0 || row >= static_cast<int>(catalogue::kSampleRates.size())) return 0;
  return catalogue::kSampleRates[static_cast<std::size_t>(row)];
}

int QualityPanel::SelectedChannels() const { return state_.channels == ChannelRadio::Mono ? 1 : 2; }

void QualityPanel::SelectFormat(int position) {
  state_.format.selected = position;
  ApplyFormatToPanel(SelectedFormat());
}

void QualityPanel::SelectSampleRate(int position) {
  state_.sample_rate.selected = position;
  RefreshComputedLists();
}

void QualityPanel::SelectChannels(ChannelRadio channels) {
  state_.channels = channels;
  RefreshComputedLists();
}

void QualityPanel::SelectBits(BitsRadio bits) { state_.bits = bits; }
void QualityPanel::SelectBitrate(int position) { state_.bitrate.selected = position; }
void QualityPanel::SelectMusepackPreset(int position) { state_.musepack.selected = position; }
void QualityPanel::SelectMp3VbrQuality(int position) { state_.mp3_vbr.selected = position; }
void QualityPanel::SelectWmaQuality(int position) { state_.wma.selected = position; }
void QualityPanel::SetKeepTags(bool checked) {
  state_.keep_tags_checked = checked;
  settings_.WriteNumber(SettingsSection(), keys::kMp3Id3Enabled, checked ? 1 : 0);
}

void QualityPanel::SelectWavCodec(int position) {
  state_.wav_codec.selected = position;
  ApplyWavCodecRule();
}

void QualityPanel::SetNormalize(bool checked) {
  state_.normalize_checked = checked;
  if (state_.normalize_available) {
    settings_.WriteNumber(SettingsSection(), keys::kNormalizationEnabled, checked ? 1 : 0);
  }
  state_.normalize_percent_enabled = state_.normalize_available && checked;
}

void QualityPanel::SetNormalizePercent(int percent) { state_.normalize_percent = std::clamp(percent, 0, 100); }

void QualityPanel::ClickVbr() {
  state_.vbr_checked = !state_.vbr_checked;
  settings_.WriteNumber(SettingsSection(), keys::kMp3VbrEnabled, state_.vbr_checked ? 1 : 0);
  ApplyVbrRule();
}

void QualityPanel::ApplyVbrRule() {
  const FormatCode format = SelectedFormat();
  if (format == FormatCode::Mp3) {
    state_.mp3_vbr.enabled = state_.vbr_checked;
  } else if (format == FormatCode::Wma) {
    state_.wma.enabled = state_.vbr_checked;
    state_.bitrate.enabled = !state_.vbr_checked;
  }
}

void QualityPanel::ApplyWavCodecRule() {
  if (!state_.wav_codec.HasValidSelection()) return;
  state_.bits_enabled = state_.wav_codec.selected == static_cast<int>(WavCodec::Pcm);
}

void QualityPanel::RefreshComputedLists() {
  const QString bitrateText = state_.bitrate.SelectedOrFirstText();
  const QString wmaText = state_.wma.SelectedOrFirstText();
  FillWmaQualityList(SelectedSampleRate(), SelectedChannels());
  SelectOrFirst(state_.wma, wmaText);
  FillBitrateList(SelectedSampleRate(), SelectedFormat(), SelectedChannels());
  SelectOrFirst(state_.bitrate, bitrateText);
}

void QualityPanel::ApplyFormatToPanel(FormatCode format) {
  const FormatRule& rule = RuleFor(format);
  const bool vbr = state_.vbr_checked;
  state_.vbr_enabled = format == FormatCode::Mp3 || format == FormatCode::Wma;
  state_.keep_tags_enabled = KeepTagsApplies(format, page_);
  state_.normalize_percent_enabled = state_.normalize_available && state_.normalize_checked;

  state_.quality_label = StringTable::Text(rule.label);
  state_.sample_rate.enabled = Evaluate(rule.sample_rate, vbr);
  state_.channels_enabled = Evaluate(rule.channels, vbr);
  state_.bits_enabled = Evaluate(rule.bits, vbr);
  state_.bitrate.enabled = Evaluate(rule.bitrate, vbr);
  state_.mp3_vbr.enabled = Evaluate(rule.mp3_vbr, vbr);
  state_.wav_codec.enabled = Evaluate(rule.wav_codec, vbr);
  state_.musepack.enabled = Evaluate(rule.musepack, vbr);
  state_.wma.enabled = Evaluate(rule.wma, vbr);
  state_.mp3_vbr.visible = rule.shown == Slot::Mp3Vbr;
  state_.wav_codec.visible = rule.shown == Slot::WavCodec;
  state_.musepack.visible = rule.shown == Slot::Musepack;
  state_.wma.visible = rule.shown == Slot::Wma;

  if (rule.follow_up == SampleRateChange) RefreshComputedLists();
  if (rule.follow_up == WavCodecChange) ApplyWavCodecRule();
}

void QualityPanel::FillBitrateList(int sampleRate, FormatCode format, int channels) {
  ComboBoxState& box = state_.bitrate;
  box.Clear();
  if (format == FormatCode::Wma) {
    // Each accepted rate goes on top, so the box runs in the reverse of the engine's order.
    for (int bitsPerSecond : capabilities_.WmaBitrates(sampleRate, channels)) {
      const int kbps = bitsPerSecond / 1000;
      if (catalogue::PositionOfBitrate(kbps) >= 0) box.items.prepend(QString::number(kbps));
    }
    return;
  }
  const int low = capabilities_.FindLowestSupportedBitrate(format, sampleRate, channels);
  const int high = capabilities_.FindHighestSupportedBitrate(format, sampleRate, channels);
  for (int kbps : catalogue::kBitrates) {
    if (kbps >= low && kbps <= high) box.items << QString::number(kbps);
  }
}

QString QualityPanel::WmaQualityText(int level) {
  if (level >= kLossless) return StringTable::Text(text::kWmaLossless);
  return QStringLiteral("%1 %2").arg(StringTable::Text(text::kWmaVbrQuality)).arg(level);
}

void QualityPanel::FillWmaQualityList(int sampleRate, int channels) {
  ComboBoxState& box = state_.wma;
  box.Clear();
  for (int level : capabilities_.WmaVbrQualities(sampleRate, channels)) box.items.prepend(WmaQualityText(level));
}

EncodeSettings QualityPanel::ReadPanelSettings() const {
  EncodeSettings settings;
  settings.format = SelectedFormat();
  settings.sample_rate = SelectedSampleRate();
  settings.bitrate = state_.bitrate.SelectedOrFirstText().toInt();
  settings.channels = SelectedChannels();
  settings.bits = state_.bits == BitsRadio::Bits16 ? 16 : 8;
  if (state_.wma.HasValidSelection()) {
    const QString entry = state_.wma.items.at(state_.wma.selected);
    const QString prefix = StringTable::Text(text::kWmaVbrQuality);
    settings.wma_quality = entry == StringTable::Text(text::kWmaLossless) ? kLossless
                           : entry.startsWith(prefix)                     ? entry.mid(prefix.size()).trimmed().toInt()
                                                                          : 0;
  }
  settings.musepack_preset = state_.musepack.selected;
  settings.mp3_vbr_quality = state_.mp3_vbr.selected;
  settings.vbr_enabled = state_.vbr_checked;
  settings.wav_codec = static_cast<WavCodec>(state_.wav_codec.selected);  // the box's rows are the codes
  return settings;
}

bool QualityPanel::CheckBeforeRun(IUserInterface& ui) const {
  if (SelectedFormat() != FormatCode::Wma) return true;
  if (state_.vbr_checked && !state_.wma.HasValidSelection()) {
    ui.ShowMessage(StringTable::Text(text::kMsgNoWmaVbrQuality), MessageIcon::Information, MessageButtons::Ok);
    return false;
  }
  if (!state_.vbr_checked && !state_.bitrate.HasValidSelection()) {
    ui.ShowMessage(StringTable::Text(text::kMsgNoBitrate), MessageIcon::Information, MessageButtons::Ok);
    return false;
  }
  return true;
}

}  // namespace corvane
