#pragma once
#include <functional>
#include <memory>

#include "components/Mp3EncoderSettings.h"

namespace corvane {

class IUserInterface;
class SettingsStore;

using Mp3SettingsFactory = std::function<std::unique_ptr<Mp3EncoderSettings>()>;

// The MP3 encoder settings object shared by all runs, loaded from the "Encoder Setting" values,
// and the MP3 VBR switch.
class Mp3EncoderConfig {
 public:
  explicit Mp3EncoderConfig(
      SettingsStore& settings, Mp3SettingsFactory factory = [] { return std::make_unique<Mp3EncoderSettings>(); });

  // Creates the settings object when it does not exist yet and loads its properties, writing
  // back the default of every value that is absent. text::kMsgMp3CodecFailed when it cannot be created.
  bool PrepareMp3Encoder(IUserInterface& ui);
  // Stores the VBR switch in "MP3 VBR Enabled" and sets the VBR method: the stored
  // "MP3 VBR Coding" when on, -1 (constant bitrate) when off.
  void SetMp3VbrEnabled(bool enabled);
  bool Mp3VbrEnabled() const { return vbr_enabled_; }

  // The settings object; nullptr when it could not be created.
  Mp3EncoderSettings* Settings() { return settings_.get(); }
  const Mp3EncoderSettings* Settings() const { return settings_.get(); }

 private:
  SettingsStore& stored_;
  Mp3SettingsFactory factory_;
  std::unique_ptr<Mp3EncoderSettings> settings_;
  bool vbr_enabled_ = false;
};

}  // namespace corvane
