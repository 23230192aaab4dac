#pragma once
#include <QByteArray>
#include <vector>

#include "components/accuraterip/AccurateRipAnswer.h"
#include "components/accuraterip/AccurateRipDiscId.h"

namespace corvane::test {

// A database body as the server sends it: one response per element of `responses`, each a
// header naming `disc` followed by the given entries in order. Entries are written as given, so
// fewer or more than disc.audio_tracks make a body that the parser must refuse.
QByteArray BuildAccurateRipAnswer(const AccurateRipDiscId& disc,
                                  const std::vector<std::vector<AccurateRipEntry>>& responses);

}  // namespace corvane::test
