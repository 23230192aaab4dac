#include "discimage/LayoutBuilder.h"

#include <algorithm>

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"

namespace corvane {
namespace {

constexpr qint64 kMaxSamples = kImageMaxSectors * kImageSectorSamples;
constexpr qint64 kSamplesPerMinute = 60LL * 75 * kImageSectorSamples;

std::optional<QString> TrackProblem(const DiscImageLayout& layout, size_t i) {
  const ImageTrack& track = layout.tracks[i];
  if (i > 0 && track.number != layout.tracks[i - 1].number + 1)
    return StringTable::Format(text::kLayoutTrackNumbers, {track.number, layout.tracks[i - 1].number});
  if (track.number < 1 || track.number > kImageMaxTracks)
    return StringTable::Format(text::kLayoutTrackNumbers, {track.number, 0});
  const qint64 end = i + 1 < layout.tracks.size() ? layout.tracks[i + 1].pregap : layout.lead_out;
  if (track.start >= layout.lead_out) return StringTable::Format(text::kLayoutPastLeadOut, {track.number});
  if (track.start >= end) return StringTable::Format(text::kLayoutTrackEmpty, {track.number});
  const qint64 previous_end = i > 0 ? layout.tracks[i - 1].start : -1;
  qint64 last = track.start;
  bool in_order = track.pregap >= 0 && track.pregap <= track.start && track.pregap > previous_end;
  for (const qint64 index : track.indexes) {
    in_order = in_order && index > last && index < end;
    last = index;
  }
  if (!in_order) return StringTable::Format(text::kLayoutIndexOrder, {track.number});
  return std::nullopt;
}

}  // namespace

ImageLayoutResult RefuseImage(int text_id, std::initializer_list<QVariant> args) {
  return ImageLayoutResult::Failure(ImageLayoutCode::Refused, StringTable::Format(text_id, args));
}

int LayoutBuilder::AddFile(const QString& path, const ImageFileFacts& facts) {
  // A file named twice with another type word may have been probed as another kind: then it is
  // two entries, each read as it was probed.
  for (size_t i = 0; i < layout_.files.size(); ++i) {
    const ImageFileFacts& known = layout_.files[i].facts;
    if (layout_.files[i].path == path && known.kind == facts.kind && known.audio_offset == facts.audio_offset &&
        known.audio_bytes == facts.audio_bytes && known.samples == facts.samples)
      return static_cast<int>(i);
  }
  layout_.files.push_back({path, facts});
  return static_cast<int>(layout_.files.size() - 1);
}

qint64 LayoutBuilder::FileUnitsPerSample(int file) const {
  return layout_.files[static_cast<size_t>(file)].facts.kind == ImageFileKind::Decoded ? 1 : 4;
}

bool LayoutBuilder::Append(ImageSpan span) {
  if (span.samples <= 0) return !too_long_;
  if (too_long_ || span.samples > kMaxSamples - samples_) {
    too_long_ = true;
    wanted_samples_ = std::min(kMaxSamples * 100, wanted_samples_ + std::min(span.samples, kMaxSamples * 100));
    return false;
  }
  samples_ += span.samples;
  wanted_samples_ = samples_;
  if (!layout_.spans.empty()) {
    ImageSpan& last = layout_.spans.back();
    const bool silences = last.kind == ImageSpan::Kind::Silence && span.kind == ImageSpan::Kind::Silence;
    // Audio that goes on where the previous span of the same file stopped is one span.
    const bool continues = last.kind == ImageSpan::Kind::Audio && span.kind == ImageSpan::Kind::Audio &&
                           last.file == span.file &&
                           last.offset + last.samples * FileUnitsPerSample(span.file) == span.offset;
    if (silences || continues) {
      last.samples += span.samples;
      return true;
    }
  }
  layout_.spans.push_back(span);
  return true;
}

bool LayoutBuilder::AppendAudio(int file, qint64 offset, qint64 samples) {
  return Append({ImageSpan::Kind::Audio, file, offset, samples});
}

bool LayoutBuilder::AppendData(int file, qint64 offset, qint64 sectors) {
  if (sectors > kImageMaxSectors + 1) sectors = kImageMaxSectors + 1;  // refused either way
  return Append({ImageSpan::Kind::Data, file, offset, sectors * kImageSectorSamples});
}

bool LayoutBuilder::AppendSilence(qint64 samples) { return Append({ImageSpan::Kind::Silence, -1, 0, samples}); }

bool LayoutBuilder::PadToSector() { return AppendSilence(Lsn() * kImageSectorSamples - samples_); }

ImageLayoutResult LayoutBuilder::Finish() {
  if (too_long_)
    return RefuseImage(text::kLayoutTooLong, {(wanted_samples_ + kSamplesPerMinute - 1) / kSamplesPerMinute});
  layout_.lead_out = Lsn();
  if (layout_.tracks.empty()) return RefuseImage(text::kLayoutNoTracks, {});
  if (layout_.tracks.size() > static_cast<size_t>(kImageMaxTracks))
    return RefuseImage(text::kLayoutTooManyTracks, {static_cast<int>(layout_.tracks.size())});
  for (size_t i = 0; i < layout_.tracks.size(); ++i) {
    if (const auto problem = TrackProblem(layout_, i))
      return ImageLayoutResult::Failure(ImageLayoutCode::Refused, *problem);
  }
  const bool any_audio_track =
      std::any_of(layout_.tracks.begin(), layout_.tracks.end(), [](const ImageTrack& track) { return track.audio; });
  const bool any_audio_span = std::any_of(layout_.spans.begin(), layout_.spans.end(), [](const ImageSpan& span) {
    return span.kind == ImageSpan::Kind::Audio && span.samples > 0;
  });
  if (!any_audio_track || !any_audio_span) return RefuseImage(text::kLayoutNoAudio, {});
  return ImageLayoutResult::Success(std::move(layout_));
}

}  // namespace corvane
