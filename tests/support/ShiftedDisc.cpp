#include "support/ShiftedDisc.h"

#include <QFile>
#include <stdexcept>

namespace corvane::test {
namespace {

constexpr qint64 kFrameBytes = 4;

// Bytes [first, end) of the disc that the run of audio tracks holding track `row` covers.
std::pair<qint64, qint64> AudioRun(const DiscImage& disc, const DiscPlan& plan, size_t row) {
  size_t first = row;
  while (first > 0 && !plan.tracks[first - 1].data) --first;
  size_t last = row;
  while (last + 1 < plan.tracks.size() && !plan.tracks[last + 1].data) ++last;
  const int end = last + 1 < disc.lsns.size() ? disc.lsns[last + 1] : disc.leadout_lsn;
  return {qint64{disc.lsns[first]} * DiscImageFixture::kSectorBytes, qint64{end} * DiscImageFixture::kSectorBytes};
}

}  // namespace

DiscImage BuildShiftedDisc(const DiscImageFixture& fixture, const QString& name, const DiscPlan& plan, int frames) {
  const DiscImage disc = fixture.Build(name, plan);
  QByteArray bin;
  for (const QByteArray& track : disc.tracks) bin += track;
  QByteArray shifted = bin;
  const qint64 shift = frames * kFrameBytes;
  for (size_t row = 0; row < plan.tracks.size(); ++row) {
    if (plan.tracks[row].data) continue;
    const auto [runFirst, runEnd] = AudioRun(disc, plan, row);
    const qint64 first = qint64{disc.lsns[row]} * DiscImageFixture::kSectorBytes;
    for (qint64 at = first; at < first + disc.tracks[row].size(); ++at) {
      const qint64 from = at - shift;
      shifted[at] = from >= runFirst && from < runEnd ? bin[from] : '\0';
    }
  }
  QFile file(disc.bin);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(shifted) != shifted.size())
    throw std::runtime_error(qPrintable(QStringLiteral("cannot write %1").arg(disc.bin)));
  return disc;
}

QByteArray ReachableTrackPcm(const DiscImage& disc, const DiscPlan& plan, int row, int frames) {
  const auto [runFirst, runEnd] = AudioRun(disc, plan, static_cast<size_t>(row));
  QByteArray pcm = disc.tracks[static_cast<size_t>(row)];
  const qint64 first = qint64{disc.lsns[static_cast<size_t>(row)]} * DiscImageFixture::kSectorBytes;
  for (qint64 at = 0; at < pcm.size(); ++at) {
    const qint64 source = first + at + frames * kFrameBytes;
    if (source < runFirst || source >= runEnd) pcm[at] = '\0';
  }
  return pcm;
}

}  // namespace corvane::test
