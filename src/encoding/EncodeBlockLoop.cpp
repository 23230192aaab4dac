#include "encoding/EncodeBlockLoop.h"

#include <algorithm>

#include "common/StringTable.h"
#include "common/UserInterface.h"
#include "common/strings/FormatText.h"
#include "engine/AudioStream.h"

namespace corvane {

int WholeFrames(const EncodeJob& job, int bytes) {
  const int frame = std::max(1, job.encode->Info().FrameBytes());
  return std::max(frame, bytes - bytes % frame);
}

EncodeBlockLoop::EncodeBlockLoop(const EncodeJob& job, IUserInterface& ui, int blockBytes)
    : job_(job), ui_(ui), buffer_(static_cast<size_t>(WholeFrames(job, blockBytes))) {}

EncodeOutcome EncodeBlockLoop::Run(const Sink& sink) {
  ui_.SetStatusText(1, StringTable::Text(text::kStatusOutput) + job_.ShownPath());
  ui_.SetJobProgress(0);
  const int blockBytes = static_cast<int>(buffer_.size());
  while (job_.encode->IsActive()) {
    const int read = job_.encode->Read(buffer_.data(), blockBytes);
    if (read < 0) return EncodeFailed(StringTable::Text(text::kMsgUnableToLoadData));
    if (read == 0) break;
    if (job_.tap != nullptr) job_.tap->Consume(buffer_.data(), read);
    if (std::optional<EncodeOutcome> failed = sink(buffer_.data(), read)) return *failed;
    ShowProgress();
    ui_.PumpEvents();
    if (std::optional<EncodeOutcome> stopped = ServeStopRequest()) return *stopped;
  }
  return EncodeOutcome::Success();
}

void EncodeBlockLoop::ShowProgress() {
  const qint64 total = job_.source->LengthBytes();
  const qint64 position = job_.source->PositionBytes();
  const qint64 percent = total > 0 ? position * 100 / total : 0;
  ui_.SetJobProgress(static_cast<int>(std::clamp<qint64>(percent, 0, 100)));
}

std::optional<EncodeOutcome> EncodeBlockLoop::ServeStopRequest() {
  if (job_.stop_request == nullptr || !job_.stop_request->exchange(false)) return std::nullopt;
  switch (ui_.AskStop(StringTable::Text(job_.stop_question))) {
    case StopAnswer::StopThis:
      return EncodeOutcome{EncodeResult::StoppedThis, {}};
    case StopAnswer::StopAll:
      return EncodeOutcome{EncodeResult::StoppedAll, {}};
    case StopAnswer::Continue:
      break;
  }
  return std::nullopt;
}

}  // namespace corvane
