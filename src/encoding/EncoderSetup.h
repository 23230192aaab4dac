#pragma once

#include "formats/EncodeSettings.h"

namespace corvane {

class EncoderCapabilities;
class IConversionComponent;
class IUserInterface;
class Mp3EncoderConfig;

// Prepares the run's conversion component for the chosen output, once before the first job.
// MP3 and OGG combinations the encoders refuse stop the run with text::kMsgUnsupportedCombination; WMA, FLAC,
// Monkey's Audio and Musepack need nothing here. Returns whether the run may go on.
bool SetupEncoder(IConversionComponent& converter, const EncodeSettings& settings, Mp3EncoderConfig& mp3,
                  const EncoderCapabilities& capabilities, IUserInterface& ui);

}  // namespace corvane
