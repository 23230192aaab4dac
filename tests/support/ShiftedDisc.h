#pragma once
// Disc images as a drive with a read offset returns them: the audio of each run of consecutive
// audio tracks moved later by `frames` stereo frames (earlier when negative), silence where
// nothing moved in. Reading such an image with the same offset gives back the audio as generated,
// except the frames the drive cannot reach.
#include "common/PcmTap.h"
#include "support/DiscImageFixture.h"

namespace corvane::test {

// The disc of `plan`, whose `tracks` keep the audio as generated while its .bin holds it shifted.
DiscImage BuildShiftedDisc(const DiscImageFixture& fixture, const QString& name, const DiscPlan& plan, int frames);

// Audio track `row` (0-based) of `disc` as a reading corrected by `frames` gives it: as
// generated, silent where the frame it comes from lies beyond its run of audio tracks.
QByteArray ReachableTrackPcm(const DiscImage& disc, const DiscPlan& plan, int row, int frames);

// A tap that keeps what it is given since its last restart, and counts restarts and breaks.
class RecordingTap final : public PcmTap {
 public:
  void Consume(const char* pcm, qsizetype bytes) override { pcm_.append(pcm, bytes); }
  void Restart() override {
    pcm_.clear();
    ++restarts_;
  }
  void Break() override { ++breaks_; }

  const QByteArray& Pcm() const { return pcm_; }
  int Restarts() const { return restarts_; }
  int Breaks() const { return breaks_; }

 private:
  QByteArray pcm_;
  int restarts_ = 0;
  int breaks_ = 0;
};

}  // namespace corvane::test
