#include "ripper/DiscVerification.h"

#include "discimage/DiscAccess.h"

namespace corvane {

namespace {

constexpr int kFramesPerSector = 588;

}  // namespace

std::optional<DiscVerification> DiscVerification::Read(const QString& device) {
  const DiscOpenResult opened = OpenDisc(device);
  if (!opened.Succeeded()) return std::nullopt;
  const DiscToc toc = ReadDiscToc(**opened.value);
  if (toc.state != DiscState::Present) return std::nullopt;
  return DiscVerification(toc);
}

DiscVerification::DiscVerification(const DiscToc& toc) : id_(MakeAccurateRipDiscId(toc)) {
  for (const auto& session : toc.sessions) rows_.insert(rows_.end(), session.begin(), session.end());
}

int DiscVerification::TrackNumberOfRow(int row) const {
  return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)].number : 0;
}

int DiscVerification::AudioIndexOfRow(int row) const {
  const int number = TrackNumberOfRow(row);
  return number > 0 ? id_.AudioIndexOf(number) : -1;
}

std::unique_ptr<AccurateRipChecksum> DiscVerification::ChecksumFor(int row) const {
  const int index = AudioIndexOfRow(row);
  if (index < 0) return nullptr;
  const DiscToc::Track& track = rows_[static_cast<size_t>(row)];
  // An album image's last track may end inside a sector: its checksum covers what it holds.
  const qint64 frames = track.frames > 0 ? track.frames : static_cast<qint64>(track.sectors) * kFramesPerSector;
  return std::make_unique<AccurateRipChecksum>(frames, index == 0, index + 1 == id_.audio_tracks);
}

}  // namespace corvane
