#include "components/accuraterip/AccurateRipAnswer.h"

#include <QtEndian>
#include <algorithm>

namespace corvane {
namespace {

constexpr qsizetype kHeaderBytes = 13;
constexpr qsizetype kEntryBytes = 9;

quint32 ReadUint32(const QByteArray& body, qsizetype at) { return qFromLittleEndian<quint32>(body.constData() + at); }

quint8 ReadUint8(const QByteArray& body, qsizetype at) { return static_cast<quint8>(body.at(at)); }

AccurateRipAnswer Discarded() { return {AccurateRipStatus::Discarded, {}}; }

}  // namespace

AccurateRipVerdict AccurateRipAnswer::For(int audioTrackIndex, quint32 v1, quint32 v2) const {
  using Kind = AccurateRipVerdict::Kind;
  if (status == AccurateRipStatus::Unreachable) return {Kind::Unreachable, 0};
  int matched = 0;
  int best = 0;
  for (const auto& response : responses) {
    if (audioTrackIndex < 0 || audioTrackIndex >= static_cast<int>(response.size())) continue;
    const AccurateRipEntry& entry = response[static_cast<size_t>(audioTrackIndex)];
    if (entry.confidence <= 0) continue;
    best = std::max(best, entry.confidence);
    if (entry.checksum == v1 || entry.checksum == v2) matched = std::max(matched, entry.confidence);
  }
  if (matched > 0) return {Kind::Accurate, matched};
  if (best > 0) return {Kind::NotAccurate, best};
  return {Kind::NotInDatabase, 0};
}

AccurateRipAnswer ParseAccurateRipAnswer(const QByteArray& body, const AccurateRipDiscId& disc) {
  if (body.isEmpty()) return Discarded();
  AccurateRipAnswer answer{AccurateRipStatus::Found, {}};
  const qsizetype recordBytes = kHeaderBytes + kEntryBytes * disc.audio_tracks;
  for (qsizetype at = 0; at < body.size(); at += recordBytes) {
    if (body.size() - at < recordBytes) return Discarded();
    if (ReadUint8(body, at) != disc.audio_tracks || ReadUint32(body, at + 1) != disc.id1 ||
        ReadUint32(body, at + 5) != disc.id2 || ReadUint32(body, at + 9) != disc.cddb)
      return Discarded();
    std::vector<AccurateRipEntry>& entries = answer.responses.emplace_back();
    for (qsizetype entry = at + kHeaderBytes; entry < at + recordBytes; entry += kEntryBytes)
      entries.push_back({ReadUint8(body, entry), ReadUint32(body, entry + 1), ReadUint32(body, entry + 5)});
  }
  return answer;
}

}  // namespace corvane
