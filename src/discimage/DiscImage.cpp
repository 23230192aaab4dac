#include "discimage/DiscImage.h"

#include <algorithm>
#include <cstring>

#include "discimage/ImageFileProbe.h"

namespace corvane {
namespace {

constexpr int kFrameBytes = 4;
// A raw data sector's sync pattern, its mode byte, and the XA subheader's submode byte.
constexpr char kSync[] = "\x00\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\x00";
constexpr int kModeByte = 15;
constexpr int kSubmodeByte = 18;
constexpr char kSubmodeForm2 = 0x20;

void AddText(QStringList& lines, const char* key, int index, const QString& value) {
  if (!value.isEmpty()) lines << QStringLiteral("%1%2=%3").arg(QLatin1String(key)).arg(index).arg(value);
}

template <typename Holder>
void AddCdText(QStringList& lines, int index, const Holder& holder) {
  AddText(lines, "TITLE", index, holder.title);
  AddText(lines, "PERFORMER", index, holder.performer);
  AddText(lines, "SONGWRITER", index, holder.songwriter);
  AddText(lines, "COMPOSER", index, holder.composer);
  AddText(lines, "ARRANGER", index, holder.arranger);
  AddText(lines, "MESSAGE", index, holder.message);
}

void SwapBytes(char* bytes, qint64 count) {
  for (qint64 i = 0; i + 1 < count; i += 2) std::swap(bytes[i], bytes[i + 1]);
}

}  // namespace

DiscImage::DiscImage(DiscImageLayout layout) : layout_(std::move(layout)) {
  qint64 at = 0;
  for (const ImageSpan& span : layout_.spans) {
    span_starts_.push_back(at);
    at += span.samples;
  }
  span_starts_.push_back(at);
  files_.resize(layout_.files.size());
  table_ = MakeTable();
}

DiscImage::~DiscImage() = default;

DiscTable DiscImage::MakeTable() {
  DiscTable table;
  for (const ImageTrack& track : layout_.tracks) {
    const DiscTrackFormat format = track.audio ? DiscTrackFormat::Audio : DataFormat(track);
    table.tracks.push_back({track.number, static_cast<int>(track.start), format});
  }
  table.leadout_lsn = static_cast<int>(layout_.lead_out);
  table.end_frame = AudioEnd();
  table.last_session_lsn = static_cast<int>(std::max<qint64>(0, layout_.last_session_start));
  AddCdText(table.cd_text, 0, layout_);
  AddText(table.cd_text, "GENRE", 0, layout_.genre);
  AddText(table.cd_text, "DATE", 0, layout_.date);
  AddText(table.cd_text, "DISCID", 0, layout_.disc_id);
  AddText(table.cd_text, "COMMENT", 0, layout_.comment);
  for (const ImageTrack& track : layout_.tracks) AddCdText(table.cd_text, track.number, track);
  table.state = table.tracks.empty() ? DiscTable::State::Unrecognised : DiscTable::State::Present;
  return table;
}

qint64 DiscImage::AudioEnd() const {
  // Silence that only fills the last sector after a file that ends inside it is no part of the
  // disc's audio: the last track ends with the file.
  const qint64 leadOut = layout_.lead_out * kImageSectorSamples;
  for (size_t span = layout_.spans.size(); span-- > 0;) {
    if (layout_.spans[span].kind == ImageSpan::Kind::Silence) continue;
    const qint64 end = span_starts_[span + 1];
    return leadOut - end < kImageSectorSamples ? std::min(end, leadOut) : leadOut;
  }
  return leadOut;
}

DiscTrackFormat DiscImage::DataFormat(const ImageTrack& track) {
  // A raw data sector names its mode in its header, and mode 2 its form in the XA subheader.
  char header[24] = {};
  const qint64 frame = track.start * kImageSectorSamples;
  const auto span =
      static_cast<size_t>(std::upper_bound(span_starts_.begin(), span_starts_.end(), frame) - span_starts_.begin() - 1);
  if (span >= layout_.spans.size() || layout_.spans[span].kind != ImageSpan::Kind::Data) return DiscTrackFormat::Mode1;
  DataFile* file = Open(layout_.spans[span].file);
  const qint64 offset = layout_.spans[span].offset + (frame - span_starts_[span]) * kFrameBytes;
  if (file == nullptr || file->decoded || !file->raw.seek(offset) || file->raw.read(header, sizeof header) != 24 ||
      std::memcmp(header, kSync, sizeof kSync - 1) != 0)
    return DiscTrackFormat::Mode1;
  if (header[kModeByte] != 2) return DiscTrackFormat::Mode1;
  return (header[kSubmodeByte] & kSubmodeForm2) != 0 ? DiscTrackFormat::Mode2Form2 : DiscTrackFormat::Mode2Form1;
}

DiscImage::DataFile* DiscImage::Open(int file) {
  if (file < 0 || file >= static_cast<int>(files_.size())) return nullptr;
  auto& slot = files_[static_cast<size_t>(file)];
  if (!slot) {
    slot = std::make_unique<DataFile>();
    const ImageDataFile& data = layout_.files[static_cast<size_t>(file)];
    if (data.facts.kind == ImageFileKind::Decoded) {
      // FFmpeg opens the file itself: it is checked to be a regular file first.
      QFile check;
      if (OpenRegularFile(data.path, check) == ImageFileFacts::Problem::None)
        slot->decoded = DecodedAudioFile::Open(data.path);
      slot->usable = slot->decoded != nullptr;
    } else {
      slot->usable = OpenRegularFile(data.path, slot->raw) == ImageFileFacts::Problem::None;
    }
  }
  return slot->usable ? slot.get() : nullptr;
}

bool DiscImage::ReadAudio(int lsn, int count, char* out) {
  if (count <= 0) return true;
  if (lsn < 0 || static_cast<qint64>(lsn) + count > layout_.lead_out) return false;
  const qint64 first = static_cast<qint64>(lsn) * kImageSectorSamples;
  const qint64 frames = static_cast<qint64>(count) * kImageSectorSamples;
  // The lead-out sector's part past the audio of an image that ends inside it is silence.
  const qint64 held = std::clamp<qint64>(span_starts_.back() - first, 0, frames);
  std::memset(out + held * kFrameBytes, 0, static_cast<size_t>((frames - held) * kFrameBytes));
  return ReadFrames(first, held, out);
}

bool DiscImage::ReadFrames(qint64 frame, qint64 frames, char* out) {
  auto span =
      static_cast<size_t>(std::upper_bound(span_starts_.begin(), span_starts_.end(), frame) - span_starts_.begin() - 1);
  while (frames > 0) {
    if (span >= layout_.spans.size()) return false;
    const qint64 from = frame - span_starts_[span];
    const qint64 take = std::min(frames, layout_.spans[span].samples - from);
    if (take > 0 && !ReadSpan(layout_.spans[span], from, take, out)) return false;
    out += std::max<qint64>(take, 0) * kFrameBytes;
    frame += std::max<qint64>(take, 0);
    frames -= std::max<qint64>(take, 0);
    ++span;
  }
  return true;
}

bool DiscImage::ReadSpan(const ImageSpan& span, qint64 from, qint64 frames, char* out) {
  if (span.kind == ImageSpan::Kind::Silence) {
    std::memset(out, 0, static_cast<size_t>(frames * kFrameBytes));
    return true;
  }
  if (span.kind != ImageSpan::Kind::Audio) return false;
  DataFile* file = Open(span.file);
  if (file == nullptr) return false;
  if (file->decoded) return file->decoded->Read(span.offset + from, frames, out) == frames;
  const ImageFileFacts& facts = layout_.files[static_cast<size_t>(span.file)].facts;
  const qint64 offset = span.offset + from * kFrameBytes;
  const qint64 bytes = frames * kFrameBytes;
  // Only the audio the file's header declares: never a header, never a chunk after the audio.
  if (offset < facts.audio_offset || offset + bytes > facts.audio_offset + facts.audio_bytes) return false;
  if (!file->raw.seek(offset) || file->raw.read(out, bytes) != bytes) return false;
  if (facts.kind == ImageFileKind::Motorola) SwapBytes(out, bytes);
  return true;
}

}  // namespace corvane
