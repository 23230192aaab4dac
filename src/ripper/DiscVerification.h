#pragma once
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "components/accuraterip/AccurateRipChecksum.h"
#include "components/accuraterip/AccurateRipDiscId.h"
#include "components/grabber/DiscToc.h"

namespace corvane {

// What proving a rip needs to know of its disc: the database IDs from the table of contents
// and, for each row of the track list, where it stands among the audio tracks.
class DiscVerification {
 public:
  // Reads the table of a drive or disc image; nothing when there is none to read.
  static std::optional<DiscVerification> Read(const QString& device);
  explicit DiscVerification(const DiscToc& toc);

  const AccurateRipDiscId& Id() const { return id_; }
  // Row `row` (tracks in table order, sessions one after another) among the audio tracks, from
  // 0; -1 for a data track or a row the disc does not have.
  int AudioIndexOfRow(int row) const;
  // The table number of the track in row `row`; 0 for none.
  int TrackNumberOfRow(int row) const;
  // A checksum for the audio the reader delivers of row `row`; null for a data track.
  std::unique_ptr<AccurateRipChecksum> ChecksumFor(int row) const;

 private:
  AccurateRipDiscId id_;
  std::vector<DiscToc::Track> rows_;
};

}  // namespace corvane
