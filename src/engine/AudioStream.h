#pragma once
#include <QtGlobal>
#include <functional>
#include <vector>

#include "engine/ChannelInfo.h"
#include "engine/EngineError.h"

namespace corvane {

// A source of 16-bit interleaved PCM that is pulled block by block: a decoded file, a mixer in
// front of another stream, a CD track. Positions and lengths count bytes of the delivered data.
// A stream belongs to one thread at a time; distinct streams share nothing.
class AudioStream {
 public:
  // Rewrites delivered samples in place (normalisation, for instance); `count` counts samples,
  // not frames.
  using SampleProcessor = std::function<void(qint16* samples, int count)>;

  virtual ~AudioStream() = default;
  AudioStream() = default;
  AudioStream(const AudioStream&) = delete;
  AudioStream& operator=(const AudioStream&) = delete;

  virtual ChannelInfo Info() const = 0;
  // Whole length of the delivered data in bytes.
  virtual qint64 LengthBytes() const = 0;
  // True when LengthBytes is exactly what the stream delivers from start to end (not an estimate
  // from a bitrate or a container's rounded duration).
  virtual bool LengthIsExact() const { return false; }
  // Bytes delivered so far (or the place a seek moved to).
  virtual qint64 PositionBytes() const = 0;
  // Moves to a byte position (rounded down to a whole sample frame). False when the stream
  // cannot go there; the position is then unchanged.
  virtual bool Seek(qint64 bytePosition) = 0;
  // True until a read has reached the end of the data.
  virtual bool IsActive() const = 0;

  // Reads up to `bytes` bytes (rounded down to whole sample frames) into `buffer`. Returns the
  // bytes read, fewer only at the end, 0 once the end is reached, -1 when decoding failed (see
  // LastError). The sample processor, when set, has already run over the returned data.
  int Read(void* buffer, int bytes);

  // Some streams can also hand out their samples as 32-bit integers (full scale at 2^31), so that
  // a mixer in front of them resamples before the bit depth is reduced. Switches the stream to
  // that form for ReadWide; false (and no change) when it cannot. Call before the first read.
  virtual bool SelectWideSamples() { return false; }
  // Reads up to `frames` frames of 32-bit samples after SelectWideSamples; same results as Read,
  // counted in frames. The sample processor does not run over them. Positions and lengths keep
  // counting bytes of 16-bit data.
  int ReadWide(qint32* buffer, int frames);

  void SetSampleProcessor(SampleProcessor processor) { processor_ = std::move(processor); }
  EngineError LastError() const { return last_error_; }

 protected:
  // Fills `buffer` with up to `bytes` bytes (a whole number of frames); same results as Read.
  virtual int ReadPcm(char* buffer, int bytes) = 0;
  void SetLastError(EngineError error) { last_error_ = error; }
  // Copies what is left of `pending` from `offset` into `out`, at most `room` bytes; moves
  // `offset` on and returns the bytes copied. Streams keep decoded data there between reads.
  static int TakePending(const std::vector<char>& pending, size_t& offset, char* out, int room);
  // The body of a ReadPcm that keeps its data in `pending`: fills `buffer` with up to `bytes`
  // bytes from it, emptying it and calling `refill` each time it is used up, until the stream
  // has `ended` or `refill` returns false. Returns the bytes written, or -1 when `refill` failed
  // (LastError set) before any byte was written.
  int ReadThroughPending(std::vector<char>& pending, size_t& offset, const bool& ended, char* buffer, int bytes,
                         const std::function<bool()>& refill);

 private:
  SampleProcessor processor_;
  EngineError last_error_ = EngineError::Ok;
};

}  // namespace corvane
