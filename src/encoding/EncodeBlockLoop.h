#pragma once
#include <functional>
#include <optional>
#include <vector>

#include "encoding/EncodeJob.h"

namespace corvane {

class IUserInterface;

// The loop every back-end runs: read a block from the job's encode stream, hand it to the
// encoder, move the progress bar by the source's position, let user input through and serve a
// stop request. The back-end opens its encoder before and completes or abandons it after.
class EncodeBlockLoop {
 public:
  // Hands one block to the encoder. The bytes may be rewritten in place. nullopt goes on; an
  // outcome (a failure) ends the loop with it.
  using Sink = std::function<std::optional<EncodeOutcome>(char* data, int bytes)>;

  // `blockBytes` is rounded down to whole sample frames of the encode stream (one at least).
  EncodeBlockLoop(const EncodeJob& job, IUserInterface& ui, int blockBytes);

  // Shows "Output - <path>" and progress 0, then feeds blocks until the stream ends (Done), a
  // read fails (text::kMsgUnableToLoadData), the sink fails, or the user stops this job
  // (StoppedThis) or all (StoppedAll).
  EncodeOutcome Run(const Sink& sink);

  // When the user asked to stop: the question's answer (nullopt: go on). Also for back-ends that
  // wait on their encoder after the loop.
  std::optional<EncodeOutcome> ServeStopRequest();

 private:
  void ShowProgress();

  const EncodeJob& job_;
  IUserInterface& ui_;
  std::vector<char> buffer_;
};

// A whole number of the encode stream's frames near `bytes` (never less than one frame).
int WholeFrames(const EncodeJob& job, int bytes);

}  // namespace corvane
