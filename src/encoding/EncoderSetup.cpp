#include "encoding/EncoderSetup.h"

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"
#include "components/IConversionComponent.h"
#include "encoding/Mp3EncoderConfig.h"
#include "formats/EncoderCapabilities.h"
#include "formats/OutputFormatCatalogue.h"

namespace corvane {
namespace {

bool RefuseCombination(const EncodeSettings& settings, IUserInterface& ui) {
  const QString channels = StringTable::Text(settings.channels == 1 ? text::kMono : text::kStereo);
  ui.ShowMessage(StringTable::Format(text::kMsgUnsupportedCombination, {settings.sample_rate, settings.bitrate,
                                                                        channels, catalogue::NameOf(settings.format)}),
                 MessageIcon::Error, MessageButtons::Ok);
  return false;
}

bool SetupMp3(IConversionComponent& converter, const EncodeSettings& settings, Mp3EncoderConfig& mp3,
              const EncoderCapabilities& capabilities, IUserInterface& ui) {
  converter.SetOutputType(ComponentFormat::Mp3);
  if (!converter.IsMp3FormatSupported(settings.sample_rate, settings.bitrate, settings.channels))
    return RefuseCombination(settings, ui);
  Mp3EncoderSettings* object = mp3.Settings();
  if (!object) {
    ui.ShowMessage(StringTable::Text(text::kMsgMp3CodecFailed), MessageIcon::Error, MessageButtons::Ok);
    return false;
  }
  mp3.SetMp3VbrEnabled(settings.vbr_enabled);
  if (settings.vbr_enabled && object->VbrMethod() != Mp3EncoderSettings::kUnset) {
    const int highest =
        capabilities.FindHighestSupportedBitrate(settings.format, settings.sample_rate, settings.channels);
    if (object->VbrBitrate() > highest) object->SetVbrBitrate(highest);
  }
  object->SetSampleRate(settings.sample_rate);
  object->SetBitrate(settings.bitrate);
  object->SetChannels(settings.channels);
  object->SetVbrQuality(settings.mp3_vbr_quality);
  converter.SetMp3Encoder(*object);
  return true;
}

ConverterResult SetupWav(IConversionComponent& converter, const EncodeSettings& settings) {
  switch (settings.wav_codec) {
    case WavCodec::Pcm:
      return converter.SetWavPcm(settings.sample_rate, settings.channels, settings.bits);
    case WavCodec::Adpcm:
      return converter.SetWavAdpcm(settings.sample_rate, settings.channels);
    case WavCodec::ALaw:
      return converter.SetWavALaw(settings.sample_rate, settings.channels);
    case WavCodec::ULaw:
      return converter.SetWavULaw(settings.sample_rate, settings.channels);
    default:
      return ConverterResult::Failure(ConverterErrorCode::UnsupportedFormat, QStringLiteral("unknown WAV codec"));
  }
}

}  // namespace

bool SetupEncoder(IConversionComponent& converter, const EncodeSettings& settings, Mp3EncoderConfig& mp3,
                  const EncoderCapabilities& capabilities, IUserInterface& ui) {
  // A WAV or VOX choice the encoder cannot write is refused like an MP3 or OGG one, before the
  // first job rather than on every file.
  ConverterResult configured;
  switch (settings.format) {
    case FormatCode::Mp3:
      return SetupMp3(converter, settings, mp3, capabilities, ui);
    case FormatCode::Ogg:
      if (!converter.IsOggFormatSupported(settings.sample_rate, settings.channels, settings.bitrate, settings.bitrate,
                                          settings.bitrate)) {
        return RefuseCombination(settings, ui);
      }
      configured = converter.SetOggFormat(settings.sample_rate, settings.channels, settings.bitrate, settings.bitrate,
                                          settings.bitrate, -1);
      break;
    case FormatCode::Wav:
      configured = SetupWav(converter, settings);
      break;
    case FormatCode::Vox:
      configured = converter.SetVox(settings.sample_rate);
      break;
    default:
      break;
  }
  if (configured.Failed()) return RefuseCombination(settings, ui);
  return true;
}

}  // namespace corvane
