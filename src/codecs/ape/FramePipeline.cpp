#include "codecs/ape/FramePipeline.h"

#include <new>
#include <utility>

#include "codecs/ape/FrameEncoder.h"

namespace corvane::ape {

FramePipeline::FramePipeline(int workers, int level, int channels, int bitsPerSample)
    : capacity_(static_cast<std::size_t>(workers) + 1) {
  workers_.reserve(static_cast<std::size_t>(workers));
  for (int i = 0; i < workers; ++i) {
    workers_.emplace_back([this, level, channels, bitsPerSample] { Work(level, channels, bitsPerSample); });
  }
}

FramePipeline::~FramePipeline() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  work_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void FramePipeline::Submit(ByteBuffer& pcm, std::uint32_t blocks) {
  std::unique_ptr<Frame> frame;
  if (spares_.empty()) {
    frame = std::make_unique<Frame>();
  } else {
    frame = std::move(spares_.back());
    spares_.pop_back();
  }
  frame->pcm.swap(pcm);
  pcm.clear();
  frame->blocks = blocks;
  frame->coded.clear();
  frame->result = ApeResult::kOk;
  frame->done = false;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(frame.get());
  }
  frames_.push_back(std::move(frame));
  work_.notify_one();
}

const FramePipeline::Frame& FramePipeline::WaitOldest() {
  Frame& oldest = *frames_.front();
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&oldest] { return oldest.done; });
  return oldest;
}

void FramePipeline::PopOldest() {
  spares_.push_back(std::move(frames_.front()));
  frames_.pop_front();
}

void FramePipeline::Work(int level, int channels, int bitsPerSample) {
  // Without an encoder, every frame this worker takes reports the shortage.
  std::unique_ptr<FrameEncoder> encoder;
  ApeResult setup = ApeResult::kOk;
  try {
    encoder = std::make_unique<FrameEncoder>(level, channels, bitsPerSample);
  } catch (const std::bad_alloc&) {
    setup = ApeResult::kOutOfMemory;
  }
  for (;;) {
    Frame* frame = nullptr;
    {
      std::unique_lock lock(mutex_);
      work_.wait(lock, [this] { return stop_ || !queue_.empty(); });
      if (stop_) return;
      frame = queue_.front();
      queue_.pop_front();
    }
    // A frame that cannot be coded for want of memory is reported through its result, which the
    // compressor hands back to its caller.
    ApeResult result = setup;
    if (result == ApeResult::kOk) {
      try {
        encoder->Encode(frame->pcm.data(), frame->blocks, frame->coded, &stop_);
      } catch (const std::bad_alloc&) {
        result = ApeResult::kOutOfMemory;
      }
    }
    {
      std::lock_guard lock(mutex_);
      frame->result = result;
      frame->done = true;
    }
    done_.notify_all();
  }
}

}  // namespace corvane::ape
