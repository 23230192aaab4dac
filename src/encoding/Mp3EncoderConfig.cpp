#include "encoding/Mp3EncoderConfig.h"

#include "common/SettingsKeys.h"
#include "common/SettingsStore.h"
#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"

namespace corvane {
namespace {

constexpr int kDefaultEncoderQuality = 2;
constexpr int kDefaultStereoMode = 1;
constexpr int kDefaultVbrCoding = 0;
constexpr int kDefaultVbrBitrate = 192;
constexpr int kDefaultVbrQuality = 4;
constexpr int kDefaultVbrHeader = 1;
constexpr int kDefaultMinBitrateEnforced = 0;
constexpr int kDefaultMaxAbrVbrBitrate = 128;

// Gives the stored value (-1 when absent) to a property; when the property then reads -1, the
// default is given instead and stored.
void Load(SettingsStore& stored, const char* key, int fallback, Mp3EncoderSettings& settings,
          void (Mp3EncoderSettings::*set)(int), int (Mp3EncoderSettings::*get)() const) {
  (settings.*set)(stored.ReadNumber(keys::section::kEncoder, key, Mp3EncoderSettings::kUnset));
  if ((settings.*get)() == Mp3EncoderSettings::kUnset) {
    (settings.*set)(fallback);
    stored.WriteNumber(keys::section::kEncoder, key, fallback);
  }
}

}  // namespace

Mp3EncoderConfig::Mp3EncoderConfig(SettingsStore& settings, Mp3SettingsFactory factory)
    : stored_(settings), factory_(std::move(factory)) {}

bool Mp3EncoderConfig::PrepareMp3Encoder(IUserInterface& ui) {
  if (!settings_ && factory_) settings_ = factory_();
  if (!settings_) {
    ui.ShowMessage(StringTable::Text(text::kMsgMp3CodecFailed), MessageIcon::Error, MessageButtons::Ok);
    return false;
  }
  using S = Mp3EncoderSettings;
  Mp3EncoderSettings& settings = *settings_;
  Load(stored_, keys::kMp3EncoderQuality, kDefaultEncoderQuality, settings, &S::SetEncoderQuality, &S::EncoderQuality);
  Load(stored_, keys::kMp3TypeStereo, kDefaultStereoMode, settings, &S::SetStereoMode, &S::StereoMode);
  vbr_enabled_ = stored_.ReadNumberOrStore(keys::section::kEncoder, keys::kMp3VbrEnabled, 0) == 1;
  const int coding = stored_.ReadNumberOrStore(keys::section::kEncoder, keys::kMp3VbrCoding, kDefaultVbrCoding);
  settings.SetVbrMethod(vbr_enabled_ ? coding : Mp3EncoderSettings::kUnset);
  Load(stored_, keys::kMp3VbrBitrate, kDefaultVbrBitrate, settings, &S::SetVbrBitrate, &S::VbrBitrate);
  Load(stored_, keys::kMp3VbrQuality, kDefaultVbrQuality, settings, &S::SetVbrQuality, &S::VbrQuality);
  Load(stored_, keys::kMp3VbrHeader, kDefaultVbrHeader, settings, &S::SetVbrHeader, &S::VbrHeader);
  Load(stored_, keys::kMp3MinBitrateEnforced, kDefaultMinBitrateEnforced, settings, &S::SetMinBitrateEnforced,
       &S::MinBitrateEnforced);
  Load(stored_, keys::kMaxAbrVbrBitrate, kDefaultMaxAbrVbrBitrate, settings, &S::SetMaxAbrVbrBitrate,
       &S::MaxAbrVbrBitrate);
  return true;
}

void Mp3EncoderConfig::SetMp3VbrEnabled(bool enabled) {
  vbr_enabled_ = enabled;
  stored_.WriteNumber(keys::section::kEncoder, keys::kMp3VbrEnabled, enabled ? 1 : 0);
  if (!settings_) return;
  settings_->SetVbrMethod(enabled ? stored_.ReadNumber(keys::section::kEncoder, keys::kMp3VbrCoding, kDefaultVbrCoding)
                                  : Mp3EncoderSettings::kUnset);
}

}  // namespace corvane
