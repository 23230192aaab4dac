#pragma once
// What every layout a disc image reader accepts must satisfy, whatever its input: the fuzz
// targets abort on the first broken promise, so a wrong layout shows like a crash.
#include <QCryptographicHash>
#include <QFileInfo>
#include <cstdlib>

#include "discimage/DiscImageLayout.h"

namespace corvane::fuzz {

inline void Require(bool holds) {
  if (!holds) std::abort();
}

inline void CheckLayout(const ImageLayoutResult& result) {
  if (!result.Succeeded()) {
    Require(!result.status.text.isEmpty());
    return;
  }
  const DiscImageLayout& disc = *result.value;
  Require(!disc.tracks.empty() && disc.tracks.size() <= static_cast<size_t>(kImageMaxTracks));
  Require(disc.lead_out > 0 && disc.lead_out <= kImageMaxSectors);
  qint64 samples = 0;
  for (const ImageSpan& span : disc.spans) {
    Require(span.samples > 0);
    samples += span.samples;
    if (span.kind == ImageSpan::Kind::Silence) continue;
    Require(span.file >= 0 && static_cast<size_t>(span.file) < disc.files.size());
    const ImageFileFacts& facts = disc.files[static_cast<size_t>(span.file)].facts;
    Require(span.offset >= 0);
    if (span.kind == ImageSpan::Kind::Audio && facts.kind == ImageFileKind::Decoded) {
      Require(span.offset + span.samples <= facts.samples);
    } else if (span.kind == ImageSpan::Kind::Audio) {
      Require(span.offset >= facts.audio_offset &&
              span.offset + span.samples * 4 <= facts.audio_offset + facts.audio_bytes);
    } else {
      Require(span.offset <= facts.audio_offset + facts.audio_bytes);
    }
  }
  Require((samples + kImageSectorSamples - 1) / kImageSectorSamples == disc.lead_out);
  qint64 previous_start = -1;
  for (size_t i = 0; i < disc.tracks.size(); ++i) {
    const ImageTrack& track = disc.tracks[i];
    Require(track.number >= 1 && track.number <= kImageMaxTracks);
    Require(i == 0 || track.number == disc.tracks[i - 1].number + 1);
    Require(track.pregap > previous_start && track.pregap <= track.start && track.start < disc.lead_out);
    qint64 last = track.start;
    for (const qint64 index : track.indexes) {
      Require(index > last && index < disc.lead_out);
      last = index;
    }
    previous_start = track.start;
  }
}

// Facts for a data file that a fuzzed description names, made up from its name so that the
// fuzzer reaches every kind, size and problem: no file is ever touched.
inline ImageFileFacts FakeFacts(const QString& path, const QString& declared) {
  const QByteArray digest = QCryptographicHash::hash(path.toUtf8() + declared.toUtf8(), QCryptographicHash::Md5);
  const auto byte = [&digest](int i) { return static_cast<unsigned char>(digest[i]); };
  ImageFileFacts facts;
  if (byte(0) < 16) facts.problem = static_cast<ImageFileFacts::Problem>(1 + byte(0) % 4);
  facts.kind = static_cast<ImageFileKind>(byte(1) % 4);
  const qint64 sizes[] = {0, 1, 2351, 2352, 2352 * 75, 2352 * 4500, 2352LL * 300000, 8LL << 30};
  facts.audio_bytes = sizes[byte(2) % 8] + byte(3);
  facts.audio_offset = facts.kind == ImageFileKind::Wave ? 44 : 0;
  facts.samples = facts.audio_bytes / 4;
  return facts;
}

}  // namespace corvane::fuzz
