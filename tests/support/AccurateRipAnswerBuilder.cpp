#include "support/AccurateRipAnswerBuilder.h"

#include <QtEndian>

namespace corvane::test {
namespace {

void AppendUint32(QByteArray& out, quint32 value) {
  char bytes[4];
  qToLittleEndian(value, bytes);
  out.append(bytes, sizeof bytes);
}

}  // namespace

QByteArray BuildAccurateRipAnswer(const AccurateRipDiscId& disc,
                                  const std::vector<std::vector<AccurateRipEntry>>& responses) {
  QByteArray body;
  for (const auto& entries : responses) {
    body.append(static_cast<char>(disc.audio_tracks));
    AppendUint32(body, disc.id1);
    AppendUint32(body, disc.id2);
    AppendUint32(body, disc.cddb);
    for (const AccurateRipEntry& entry : entries) {
      body.append(static_cast<char>(entry.confidence));
      AppendUint32(body, entry.checksum);
      AppendUint32(body, entry.frame450_checksum);
    }
  }
  return body;
}

ImageAnswer AnswerForImage(const AccurateRipDiscId& disc, const std::vector<QByteArray>& tracks, size_t wrong,
                           int confidence) {
  ImageAnswer answer;
  std::vector<AccurateRipEntry> entries;
  for (size_t i = 0; i < tracks.size(); ++i) {
    const ReferenceSums& sums =
        answer.sums.emplace_back(ReferenceAccurateRip(tracks[i], i == 0, i + 1 == tracks.size()));
    entries.push_back({confidence, (i == 0 ? sums.v1 : sums.v2) ^ (i == wrong ? 1u : 0u), 0});
  }
  answer.body = BuildAccurateRipAnswer(disc, {entries});
  return answer;
}

}  // namespace corvane::test
