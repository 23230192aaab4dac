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

void SetupWav(IConversionComponent& converter, const EncodeSettings& settings) {
  switch (settings.wav_codec) {
    case WavCodec::Pcm:
      converter.SetWavPcm(settings.sample_rate, settings.channels, settings.bits);
      break;
    case WavCodec::Adpcm:
      converter.SetWavAdpcm(settings.sample_rate, settings.channels);
      break;
    case WavCodec::ALaw:
      converter.SetWavALaw(settings.sample_rate, settings.channels);
      break;
    case WavCodec::ULaw:
      converter.SetWavULaw(settings.sample_rate, settings.channels);
      break;
    default:
      throw ConverterError(ConverterErrorCode::UnsupportedFormat, "unknown WAV codec");
  }
}

}  // namespace

bool SetupEncoder(IConversionComponent& converter, const EncodeSettings& settings, Mp3EncoderConfig& mp3,
                  const EncoderCapabilities& capabilities, IUserInterface& ui) {
  try {
    switch (settings.format) {
      case FormatCode::Mp3:
        return SetupMp3(converter, settings, mp3, capabilities, ui);
      case FormatCode::Ogg:
        if (!converter.IsOggFormatSupported(settings.sample_rate, settings.channels, settings.bitrate, settings.bitrate,
                                            settings.bitrate)) {
          return RefuseCombination(settings, ui);
        }
        converter.SetOggFormat(settings.sample_rate, settings.channels, settings.bitrate, settings.bitrate,
                               settings.bitrate, -1);
        return true;
      case FormatCode::Wav:
        SetupWav(converter, settings);
        return true;
      case FormatCode::Vox:
        converter.SetVox(settings.sample_rate);
        return true;
      default:
        return true;
    }
  } catch (const ConverterError&) {
    // A WAV or VOX choice the encoder cannot write is refused like an MP3 or OGG one, before
    // the first job rather than on every file.
    return RefuseCombination(settings, ui);
  }
}

}  // namespace corvane
