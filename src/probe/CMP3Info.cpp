#include "probe/CMP3Info.h"

#include <algorithm>
#include <cstring>

#include "probe/BoundedFileReader.h"
#include "tags/Id3v2Tag.h"

namespace corvane {
namespace {

constexpr qint64 kDefaultScanLimit = 100000;
constexpr qint64 kLargeFileTenth = 99999;
constexpr int kVbrHeaderRead = 18;
constexpr int kVbriOffset = 36;
constexpr int kXingTocEntries = 100;
constexpr quint32 kXingFramesFlag = 1;
constexpr quint32 kXingBytesFlag = 2;
constexpr quint32 kXingTocFlag = 4;
constexpr int kVbriTableAt = 26;
constexpr int kMaxVbriEntrySize = 4;

bool HasMpegExtension(const QString& path) {
  const QString suffix = path.right(4);
  for (const char* extension : {".mp3", ".mp2", ".mp1", ".mpa"}) {
    if (suffix.compare(QLatin1String(extension), Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

quint32 BigEndian(const unsigned char* bytes, int count) {
  quint32 value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

int SamplesPerFrame(const MpegHeader& header) {
  if (header.layer == 1) return 384;
  if (header.layer == 3 && header.version != 3) return 576;
  return 1152;
}

}  // namespace

void CMP3Info::Reset() { *this = CMP3Info(); }

bool CMP3Info::Open(const QString& path, qint64 startOffset, bool readVbrTable) {
  Reset();
  if (!HasMpegExtension(path)) return false;
  BoundedFileReader file;
  if (!file.Open(path)) return false;
  file_size_ = file.Size();

  qint64 start = startOffset;
  if (startOffset <= 0 || startOffset >= file_size_) {
    char first[Id3v2Tag::kHeaderSize];
    const int read = file.ReadAt(0, first, Id3v2Tag::kHeaderSize);
    start = Id3v2Tag::AudioStart(QByteArray(first, read), file_size_);
  }

  if (FindFirstFrame(file, start)) {
    flags_ |= kFlagFrame;
    if (vbr_kind_ == VbrKind::None) vbr_frame_position_ = first_audio_position_;
    if (readVbrTable && vbr_kind_ != VbrKind::None) ReadSeekTable(file);
  } else {
    header_ = MpegHeader();
    vbr_kind_ = VbrKind::None;
    vbr_header_ = 0;
    vbr_frame_position_ = vbr_data_position_ = 0;
    vbr_frame_count_ = 0;
  }

  qint64 audioBytes = file_size_ - first_audio_position_;
  if (file_size_ > Id3v1Tag::kSize) {
    char last[Id3v1Tag::kSize];
    if (file.ReadAt(file_size_ - Id3v1Tag::kSize, last, Id3v1Tag::kSize) == Id3v1Tag::kSize && Id3v1Tag::IsTag(last)) {
      id3v1_ = Id3v1Tag::Read(last);
      flags_ |= kFlagId3v1;
      audioBytes -= Id3v1Tag::kSize;
    }
  }
  ComputeAverages(audioBytes);
  path_ = path;
  return true;
}

bool CMP3Info::FindFirstFrame(BoundedFileReader& file, qint64 start) {
  const qint64 limit = file_size_ / 10 > kLargeFileTenth ? file_size_ / 4 : kDefaultScanLimit;
  qint64 tried = 0;
  qint64 position = start;
  for (;;) {
    quint32 h = 0;
    if (!file.ReadBigEndian32(position, h) || ++tried > limit) return false;
    if (!MpegHeader::IsFrameHeader(h)) {
      ++position;
      continue;
    }
    const MpegHeader header = MpegHeader::Decode(h);
    bool accepted = false;
    if (vbr_kind_ != VbrKind::None) {
      accepted = MpegHeader::Matches(h, vbr_header_);
    } else if (FindVbrHeader(file, position, header)) {
      vbr_header_ = h;
      vbr_frame_position_ = position;
      position = vbr_data_position_ + 1;  // the first audio frame follows the VBR frame
      continue;
    } else {
      accepted = ConfirmedByNextFrame(file, position, h, header.frame_length);
    }
    if (accepted) {
      header_ = header;
      first_header_ = h;
      first_audio_position_ = position;
      return true;
    }
    ++position;
  }
}

bool CMP3Info::FindVbrHeader(BoundedFileReader& file, qint64 position, const MpegHeader& header) {
  unsigned char bytes[kVbrHeaderRead];
  auto* out = reinterpret_cast<char*>(bytes);
  const qint64 xingAt = position + 4 + header.SideInfoBytes();
  int read = file.ReadAt(xingAt, out, kVbrHeaderRead);
  if (read >= 4 && std::memcmp(bytes, "Xing", 4) == 0) {
    vbr_kind_ = VbrKind::Xing;
    vbr_data_position_ = xingAt;
    vbr_frame_count_ = read >= 12 ? BigEndian(bytes + 8, 4) : 0;
    return true;
  }
  const qint64 vbriAt = position + kVbriOffset;
  read = file.ReadAt(vbriAt, out, kVbrHeaderRead);
  if (read >= 4 && std::memcmp(bytes, "VBRI", 4) == 0) {
    vbr_kind_ = VbrKind::Vbri;
    vbr_data_position_ = vbriAt;
    vbr_frame_count_ = read >= kVbrHeaderRead ? BigEndian(bytes + 14, 4) : 0;
    return true;
  }
  return false;
}

bool CMP3Info::ConfirmedByNextFrame(BoundedFileReader& file, qint64 position, quint32 header, int frameLength) {
  for (int divisor = 1; divisor <= 2; ++divisor) {
    const qint64 base = position + frameLength / divisor;
    for (qint64 next = base - 1; next <= base + 1; ++next) {
      quint32 h = 0;
      if (next <= position || !file.ReadBigEndian32(next, h)) continue;
      if (MpegHeader::IsFrameHeader(h) && MpegHeader::Matches(h, header) &&
          MpegHeader::SampleRateIndex(h) == MpegHeader::SampleRateIndex(header)) {
        return true;
      }
    }
  }
  return false;
}

void CMP3Info::ComputeAverages(qint64 audioBytes) {
  audio_bytes_ = std::max<qint64>(audioBytes, 0);
  if (header_.frame_length != 0) frame_count_ = audio_bytes_ / header_.frame_length;
  if (IsVbr()) {
    // A VBR header that states no frames falls back on the estimate from the frame length.
    const qint64 frames = vbr_frame_count_ != 0 ? static_cast<qint64>(vbr_frame_count_) : frame_count_;
    if (frames > 0) {
      const double averageFrame = static_cast<double>(file_size_ - vbr_frame_position_) / frames;
      average_bitrate_ = header_.sample_rate * averageFrame / (header_.SlotFactor() * 1000.0);
    }
  }
  const double bitrate = Bitrate();
  if (bitrate > 0) duration_ms_ = static_cast<qint64>(audio_bytes_ / bitrate * 8);
}

void CMP3Info::ReadSeekTable(BoundedFileReader& file) {
  if (vbr_kind_ == VbrKind::Xing) {
    ReadXingTable(file);
  } else {
    ReadVbriTable(file);
  }
}

void CMP3Info::ReadXingTable(BoundedFileReader& file) {
  quint32 flags = 0;
  if (!file.ReadBigEndian32(vbr_data_position_ + 4, flags) || (flags & kXingTocFlag) == 0) return;
  qint64 at = vbr_data_position_ + 8;
  if (flags & kXingFramesFlag) at += 4;
  if (flags & kXingBytesFlag) at += 4;
  unsigned char toc[kXingTocEntries];
  if (file.ReadAt(at, reinterpret_cast<char*>(toc), kXingTocEntries) != kXingTocEntries) return;
  seek_table_.assign(toc, toc + kXingTocEntries);
}

void CMP3Info::ReadVbriTable(BoundedFileReader& file) {
  unsigned char head[kVbriTableAt];
  if (file.ReadAt(vbr_data_position_, reinterpret_cast<char*>(head), kVbriTableAt) != kVbriTableAt) return;
  const quint32 entries = BigEndian(head + 18, 2);
  const quint32 scale = BigEndian(head + 20, 2);
  const int entrySize = static_cast<int>(BigEndian(head + 22, 2));
  const quint32 framesPerEntry = BigEndian(head + 24, 2);
  if (entrySize < 1 || entrySize > kMaxVbriEntrySize || framesPerEntry == 0) return;
  // The table size is claimed by the file: read it only when the file really holds it.
  const qint64 tableBytes = static_cast<qint64>(entries) * entrySize;
  if (tableBytes > file_size_ - (vbr_data_position_ + kVbriTableAt)) return;
  std::vector<unsigned char> table(static_cast<size_t>(tableBytes));
  if (file.ReadAt(vbr_data_position_ + kVbriTableAt, reinterpret_cast<char*>(table.data()),
                  static_cast<int>(tableBytes)) != tableBytes) {
    return;
  }
  seek_table_.reserve(entries);
  for (quint32 i = 0; i < entries; ++i) {
    seek_table_.push_back(BigEndian(table.data() + static_cast<size_t>(i) * entrySize, entrySize) *
                          std::max(scale, 1u));
  }
  vbri_frames_per_entry_ = framesPerEntry;
}

qint64 CMP3Info::PositionForTime(qint64 ms) const {
  if (duration_ms_ <= 0 || ms <= 0) return first_audio_position_;
  qint64 position = first_audio_position_;
  if (vbr_kind_ == VbrKind::Xing && seek_table_.size() == kXingTocEntries) {
    const double percent = std::clamp(ms * 100.0 / duration_ms_, 0.0, 99.999);
    const int index = static_cast<int>(percent);
    const double from = seek_table_[index];
    const double to = index < kXingTocEntries - 1 ? seek_table_[index + 1] : 256.0;
    position += static_cast<qint64>((from + (to - from) * (percent - index)) / 256.0 * audio_bytes_);
  } else if (vbr_kind_ == VbrKind::Vbri && !seek_table_.empty() && header_.sample_rate > 0) {
    const double entryMs = vbri_frames_per_entry_ * SamplesPerFrame(header_) * 1000.0 / header_.sample_rate;
    double time = 0;
    for (const quint32 entryBytes : seek_table_) {
      if (time + entryMs > ms) {
        position += static_cast<qint64>(entryBytes * (ms - time) / entryMs);
        break;
      }
      time += entryMs;
      position += entryBytes;
    }
  } else {
    position += static_cast<qint64>(ms * Bitrate() / 8);
  }
  return std::min(position, file_size_);
}

}  // namespace corvane
