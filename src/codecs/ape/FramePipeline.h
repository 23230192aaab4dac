#pragma once
// Codes frames on worker threads and hands them back in the order they came in. Every frame
// starts with fresh coder state, so frames code independently and the output is the same
// byte for byte whatever the number of threads. At most workers + 1 frames are in flight,
// which bounds the memory; the caller takes the oldest out before it gives a new one when
// the pipeline is full.
//
//   pipeline.Submit(pcm, blocks);             // pcm comes back as an empty spare buffer
//   if (pipeline.Full()) { pipeline.WaitOldest(); ... pipeline.Oldest() ...; pipeline.PopOldest(); }

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "codecs/ape/ApeTypes.h"
#include "codecs/ape/ByteBuffer.h"

namespace corvane::ape {

class FramePipeline {
 public:
  struct Frame {
    ByteBuffer pcm;
    std::uint32_t blocks = 0;
    ByteBuffer coded;
    ApeResult result = ApeResult::kOk;
    bool done = false;
  };

  // workers: 1 or more threads; the other arguments as for FrameEncoder.
  FramePipeline(int workers, int level, int channels, int bitsPerSample);
  // Stops the workers: a frame being coded is abandoned within one part of a frame, frames
  // not started are dropped.
  ~FramePipeline();
  FramePipeline(const FramePipeline&) = delete;
  FramePipeline& operator=(const FramePipeline&) = delete;

  bool Full() const { return frames_.size() >= capacity_; }
  bool Empty() const { return frames_.empty(); }

  // Queues `blocks` blocks of PCM for coding; `pcm` receives an emptied spare buffer.
  void Submit(ByteBuffer& pcm, std::uint32_t blocks);
  // Waits until the oldest frame is coded (the pipeline must not be empty) and returns it.
  const Frame& WaitOldest();
  // Removes the oldest frame, keeping its buffers for later frames.
  void PopOldest();

 private:
  void Work(int level, int channels, int bitsPerSample);

  std::size_t capacity_;
  std::deque<std::unique_ptr<Frame>> frames_;  // in flight, oldest first; owned by the caller's thread
  std::vector<std::unique_ptr<Frame>> spares_;

  std::mutex mutex_;
  std::condition_variable work_;  // a frame was queued, or the pipeline stops
  std::condition_variable done_;  // a frame was coded
  std::deque<Frame*> queue_;      // frames no worker has started
  std::atomic<bool> stop_{false};
  std::vector<std::thread> workers_;
};

}  // namespace corvane::ape
