#pragma once
#include <QString>
#include <vector>

#include "probe/MpegHeader.h"
#include "tags/Id3v1.h"

namespace corvane {

class BoundedFileReader;

// What the program reads itself from an MPEG audio file: the first audio frame and its header,
// a Xing or VBRI header of a variable-bitrate file, the ID3v1 tag at the end, and the frame
// count, average bitrate and duration computed from them. Reads are bounded by the file's size
// and a scan limit, so damaged or hostile files cannot make it read past the end or loop.
class CMP3Info {
 public:
  enum Flag { kFlagId3v1 = 1, kFlagFrame = 2 };
  enum class VbrKind { None = 0, Xing = 1, Vbri = 2 };

  CMP3Info() = default;
  virtual ~CMP3Info() = default;

  // Reads `path` (an .mp3, .mp2, .mp1 or .mpa file). The frame search starts at `startOffset`
  // when it lies inside the file, else behind a leading ID3v2 tag. With `readVbrTable` the seek
  // table of a Xing or VBRI header is read too. False when the name or the file is unusable;
  // every field then keeps its reset value.
  bool Open(const QString& path, qint64 startOffset = 0, bool readVbrTable = false);
  void Reset();

  const QString& Path() const { return path_; }
  int Flags() const { return flags_; }
  bool HasId3v1() const { return (flags_ & kFlagId3v1) != 0; }
  bool HasFrame() const { return (flags_ & kFlagFrame) != 0; }
  qint64 FileSize() const { return file_size_; }
  const Id3v1Tag& Id3v1() const { return id3v1_; }
  quint32 FirstHeader() const { return first_header_; }
  const MpegHeader& Header() const { return header_; }
  VbrKind VbrHeaderKind() const { return vbr_kind_; }
  qint64 VbrFramePosition() const { return vbr_frame_position_; }
  qint64 VbrDataPosition() const { return vbr_data_position_; }
  quint32 VbrFrameCount() const { return vbr_frame_count_; }
  qint64 FirstAudioPosition() const { return first_audio_position_; }
  qint64 FrameCount() const { return frame_count_; }
  double AverageBitrate() const { return average_bitrate_; }
  qint64 DurationMs() const { return duration_ms_; }

  bool IsVbr() const { return vbr_kind_ != VbrKind::None; }
  // The average bitrate for a VBR file, the header's bitrate otherwise (kbps).
  double Bitrate() const { return IsVbr() ? average_bitrate_ : header_.bitrate; }
  // Xing table of contents (100 entries) or VBRI table, when Open was asked to read it.
  const std::vector<quint32>& SeekTable() const { return seek_table_; }
  // File offset of the audio at `ms`, from the seek table when there is one, else proportional.
  qint64 PositionForTime(qint64 ms) const;

 private:
  bool FindFirstFrame(BoundedFileReader& file, qint64 start);
  bool FindVbrHeader(BoundedFileReader& file, qint64 position, const MpegHeader& header);
  bool ConfirmedByNextFrame(BoundedFileReader& file, qint64 position, quint32 header, int frameLength);
  void ReadSeekTable(BoundedFileReader& file);
  void ReadXingTable(BoundedFileReader& file);
  void ReadVbriTable(BoundedFileReader& file);
  void ComputeAverages(qint64 audioBytes);

  QString path_;
  int flags_ = 0;
  qint64 file_size_ = 0;
  Id3v1Tag id3v1_;
  quint32 first_header_ = 0;
  MpegHeader header_;
  VbrKind vbr_kind_ = VbrKind::None;
  quint32 vbr_header_ = 0;
  qint64 vbr_frame_position_ = 0;
  qint64 vbr_data_position_ = 0;
  quint32 vbr_frame_count_ = 0;
  qint64 first_audio_position_ = 0;
  qint64 frame_count_ = 0;
  double average_bitrate_ = 0;
  qint64 duration_ms_ = 0;
  qint64 audio_bytes_ = 0;
  std::vector<quint32> seek_table_;
  quint32 vbri_frames_per_entry_ = 0;
};

}  // namespace corvane
