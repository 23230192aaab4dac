#include "encoding/FileLoudness.h"

#include <algorithm>
#include <vector>

#include "common/StringTable.h"
#include "common/strings/ConverterText.h"
#include "common/strings/FormatText.h"
#include "engine/DecodeStream.h"
#include "engine/EngineError.h"

namespace corvane {

bool MeasureStream(AudioStream& stream, LoudnessMeter& meter) {
  std::vector<char> block(static_cast<size_t>(std::max(1, stream.Info().rate * stream.Info().FrameBytes())));
  while (stream.IsActive()) {
    const int read = stream.Read(block.data(), static_cast<int>(block.size()));
    if (read < 0) return false;
    if (read == 0) break;
    meter.Consume(block.data(), read);
  }
  return true;
}

std::unique_ptr<LoudnessMeter> MeasureFileLoudness(const QString& path, QString& error) {
  EngineResult<std::unique_ptr<DecodeStream>> opened = DecodeStream::Open(path, DecodeStream::Mode::Decode);
  if (!opened.Succeeded()) {
    error = StringTable::Format(text::kUnableToLoad, {ToCode(opened.status.code)});
    return nullptr;
  }
  DecodeStream& stream = **opened.value;
  const ChannelInfo info = stream.Info();
  auto meter = std::make_unique<LoudnessMeter>(info.rate, info.channels);
  if (!MeasureStream(stream, *meter) || !meter->Usable()) {
    error = StringTable::Text(text::kMsgUnableToLoadData);
    return nullptr;
  }
  return meter;
}

}  // namespace corvane
