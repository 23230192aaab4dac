#include "encoding/EncodeTrack.h"

#include "common/UserInterface.h"

#include "encoding/backends/ApeBackend.h"
#include "encoding/backends/CommandLineBackend.h"
#include "encoding/backends/ConverterBackend.h"
#include "encoding/backends/WmaBackend.h"
#include "engine/AudioStream.h"
#include "formats/OutputFormatCatalogue.h"

namespace corvane {

EncodeOutcome EncodeTrack(const EncodeJob& job, IUserInterface& ui) {
  if (job.source == nullptr || job.encode == nullptr || job.encode->Info().FrameBytes() <= 0 ||
      job.encode->Info().rate <= 0) {
    return EncodeFailed({});
  }
  const OutputFormatInfo* format = catalogue::FindFormat(job.settings.format);
  const EncoderBackend backend = format != nullptr ? format->backend : EncoderBackend::ConverterComponent;
  // Until the back-end has finished or abandoned its encoder, whichever way it returns.
  const WaitCursor waiting(ui);
  switch (backend) {
    case EncoderBackend::EngineWma:
      return EncodeWithWma(job, ui);
    case EncoderBackend::FlacProgram:
      return EncodeWithFlac(job, ui);
    case EncoderBackend::MusepackProgram:
      return EncodeWithMusepack(job, ui);
    case EncoderBackend::ApeLibrary:
      return EncodeWithApe(job, ui);
    case EncoderBackend::ConverterComponent:
      break;
  }
  return EncodeWithConverter(job, ui);
}

}  // namespace corvane
