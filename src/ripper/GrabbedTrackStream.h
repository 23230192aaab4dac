#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "components/grabber/TrackReader.h"
#include "discimage/DiscAccess.h"
#include "engine/AudioStream.h"

namespace corvane {

// One audio track of a drive or disc image read through the grabber's track reader (careful
// reading with libcdio-paranoia in grab modes 2 to 4, and the error actions silence and discard)
// as a 44100 Hz 16-bit stereo stream, so that the own path's encoding can take it as its source.
// With discard the stream may deliver less than LengthBytes, which is then only an upper bound.
// An image's last track that ends inside a sector ends there.
class GrabbedTrackStream final : public AudioStream {
 public:
  static constexpr int kRate = 44100;

  // `row` counts the disc's tracks from 0 in table order, as CdStream::Create does; the same
  // failures (NoCd, CdTrack, NotAudio), and Device when careful reading cannot be set up. `tap`
  // sees the audio as the reader delivers it (see TrackReader); `sectors` as CdStream::Create has it.
  static EngineResult<std::unique_ptr<GrabbedTrackStream>> Create(const QString& device, int row, ReadSettings settings,
                                                                  PcmTap* tap = nullptr, int sectors = 0);
  ~GrabbedTrackStream() override;

  ChannelInfo Info() const override;
  qint64 LengthBytes() const override { return length_bytes_; }
  bool LengthIsExact() const override { return exact_; }
  qint64 PositionBytes() const override { return position_; }
  // Whole sectors from the track's start; with discard only the start itself is a known place.
  bool Seek(qint64 bytePosition) override;
  bool IsActive() const override { return !ended_; }

  // Why the last read failed, in the reader's words (the sector that did not read); empty when
  // none did.
  const QString& FailureText() const { return failure_; }
  // The most attempts one sector took, and the sectors given up, so far (see TrackReader).
  int WorstAttempts() const { return reader_->WorstAttempts(); }
  int UnreadableSectors() const { return reader_->UnreadableSectors(); }

 protected:
  int ReadPcm(char* buffer, int bytes) override;

 private:
  GrabbedTrackStream(std::unique_ptr<IDiscAccess> disc, std::unique_ptr<TrackReader> reader, int sectors, qint64 frames,
                     bool exact);
  bool Refill();

  std::unique_ptr<IDiscAccess> disc_;
  std::unique_ptr<TrackReader> reader_;
  int sectors_;
  qint64 length_bytes_;
  bool exact_;
  int next_sector_ = 0;  // the next sector the reader reads
  qint64 position_ = 0;
  bool ended_ = false;
  std::vector<char> pending_;
  size_t offset_ = 0;
  QString failure_;
};

}  // namespace corvane
