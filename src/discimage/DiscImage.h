#pragma once
#include <QFile>
#include <memory>
#include <vector>

#include "discimage/DecodedAudioFile.h"
#include "discimage/DiscAccess.h"
#include "discimage/DiscImageLayout.h"

namespace corvane {

// A disc image read by its layout: audio sectors by LSN from the spans (raw little- or big-endian
// samples, a WAVE file's data chunk, a decoded file sample-exactly, silence where no file holds
// the audio), the table of contents and the CD-TEXT. A sector in a data track, or one the layout
// places beyond what its file holds (a cut image), does not read: it is never made up.
class DiscImage final : public IDiscAccess {
 public:
  explicit DiscImage(DiscImageLayout layout);
  ~DiscImage() override;

  bool IsImage() const override { return true; }
  const DiscTable& Table() const override { return table_; }
  bool ReadAudio(int lsn, int count, char* out) override;
  CdIo_t* Cdio() override { return nullptr; }

 private:
  struct DataFile {
    QFile raw;
    std::unique_ptr<DecodedAudioFile> decoded;
    bool opened = false;
    bool usable = false;
  };

  // Stereo frames [frame, frame + frames) of the disc into `out`; false when any of them is not
  // audio the image holds.
  bool ReadFrames(qint64 frame, qint64 frames, char* out);
  bool ReadSpan(const ImageSpan& span, qint64 from, qint64 frames, char* out);
  DataFile* Open(int file);
  DiscTable MakeTable();
  // The frame where the image's audio ends (see DiscTable::end_frame).
  qint64 AudioEnd() const;
  DiscTrackFormat DataFormat(const ImageTrack& track);

  DiscImageLayout layout_;
  std::vector<qint64> span_starts_;  // the frame each span starts at; one more for the end
  std::vector<std::unique_ptr<DataFile>> files_;
  DiscTable table_;
};

}  // namespace corvane
