#pragma once
#include <QVariant>
#include <initializer_list>

#include "discimage/DiscImageLayout.h"

namespace corvane {

// A refusal worded by the string table entry `text_id` with its fields.
ImageLayoutResult RefuseImage(int text_id, std::initializer_list<QVariant> args);

// Assembles a layout for the readers: data files without repeats, spans in play order that never
// make the disc longer than a CD can hold, and at the end the checks every image must pass.
class LayoutBuilder {
 public:
  // The index of the file at `path` with these facts, added on first use.
  int AddFile(const QString& path, const ImageFileFacts& facts);

  // Append a span; false (and nothing appended) once the disc would grow past kImageMaxSectors.
  bool AppendAudio(int file, qint64 offset, qint64 samples);
  bool AppendData(int file, qint64 offset, qint64 sectors);
  bool AppendSilence(qint64 samples);
  // Silence up to the next whole sector, as a track's or file's last sector is padded.
  bool PadToSector();

  qint64 Samples() const { return samples_; }
  // The sector at which the next span starts, counting a started sector as whole.
  qint64 Lsn() const { return (samples_ + kImageSectorSamples - 1) / kImageSectorSamples; }
  // True once an append was refused for length.
  bool TooLong() const { return too_long_; }

  DiscImageLayout& Layout() { return layout_; }

  // The layout with its lead-out, or why no CD could hold it: no tracks, more than 99, numbers
  // not rising by one, a track without sectors, indexes out of order or past the lead-out, a disc
  // longer than 99 minutes, no audio at all.
  ImageLayoutResult Finish();

 private:
  bool Append(ImageSpan span);
  // Span offsets count bytes in raw and WAVE files, samples in decoded ones.
  qint64 FileUnitsPerSample(int file) const;

  DiscImageLayout layout_;
  qint64 samples_ = 0;
  qint64 wanted_samples_ = 0;  // what the refused appends asked for, to word the refusal
  bool too_long_ = false;
};

}  // namespace corvane
