#include "encoding/backends/ConverterBackend.h"

#include <span>

#include "common/StringTable.h"
#include "components/IConversionComponent.h"
#include "encoding/EncodeBlockLoop.h"
#include "engine/AudioStream.h"
#include "formats/OutputFormatCatalogue.h"

namespace corvane {
namespace {

// The conversion component's own number for a format code; None for codes it does not write.
ComponentFormat ComponentFormatOf(FormatCode code) {
  const OutputFormatInfo* format = catalogue::FindFormat(code);
  return format != nullptr ? format->component : ComponentFormat::None;
}

// Input format and output file; an outcome when the component refuses either.
std::optional<EncodeOutcome> OpenOutput(const EncodeJob& job, int rate, int channels) {
  if (job.converter->SetInputFormat(rate, channels).Failed() ||
      job.converter->OpenOutput(job.output_path, ComponentFormatOf(job.settings.format)).Failed()) {
    return EncodeFailed(StringTable::Text(text::kMsgConversionInitFailed));
  }
  if (const int code = job.converter->GetLastError(); code != 0) {
    return EncodeFailed(StringTable::Format(text::kMsgConversionInitCode, {code}));
  }
  return std::nullopt;
}

}  // namespace

EncodeOutcome EncodeWithConverter(const EncodeJob& job, IUserInterface& ui) {
  if (job.converter == nullptr) return EncodeFailed(StringTable::Text(text::kMsgConversionInitFailed));
  const ChannelInfo input = job.encode->Info();
  if (std::optional<EncodeOutcome> refused = OpenOutput(job, input.rate, input.channels)) return *refused;
  // Once more before the samples: the component takes the input format from the last call.
  if (job.converter->SetInputFormat(input.rate, input.channels).Failed()) {
    return EncodeFailed(StringTable::Text(text::kMsgConversionInitFailed));
  }

  // One second of samples per block.
  EncodeBlockLoop loop(job, ui, input.rate * input.FrameBytes());
  return loop.Run([&job](char* data, int bytes) -> std::optional<EncodeOutcome> {
    const std::span<const std::int16_t> samples(reinterpret_cast<const std::int16_t*>(data),
                                                static_cast<size_t>(bytes / 2));
    if (const ConverterResult written = job.converter->WriteSamples(samples); written.Failed())
      return EncodingFailed(written);
    return std::nullopt;
  });
}

}  // namespace corvane
