#pragma once
#include <QByteArray>
#include <vector>

#include "components/accuraterip/AccurateRipAnswer.h"
#include "components/accuraterip/AccurateRipDiscId.h"
#include "support/AccurateRipReference.h"

namespace corvane::test {

// A database body as the server sends it: one response per element of `responses`, each a
// header naming `disc` followed by the given entries in order. Entries are written as given, so
// fewer or more than disc.audio_tracks make a body that the parser must refuse.
QByteArray BuildAccurateRipAnswer(const AccurateRipDiscId& disc,
                                  const std::vector<std::vector<AccurateRipEntry>>& responses);

// The reference checksums of each track of a generated disc image, and an answer in which
// `confidence` rips agree with each (v1 for the first track, v2 for the others) but the track of
// row `wrong`, whose checksum is off by one bit.
struct ImageAnswer {
  std::vector<ReferenceSums> sums;
  QByteArray body;
};
ImageAnswer AnswerForImage(const AccurateRipDiscId& disc, const std::vector<QByteArray>& tracks, size_t wrong,
                           int confidence = 7);

}  // namespace corvane::test
