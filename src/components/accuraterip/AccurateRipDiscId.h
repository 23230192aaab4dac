#pragma once
#include <QString>
#include <span>
#include <vector>

#include "components/grabber/DiscToc.h"

namespace corvane {

// A track of a table of contents as the disc IDs see it: its number, its start as an absolute
// frame address including the 150-frame lead-in (LSN + 150), and whether it holds audio.
struct AccurateRipTocTrack {
  int number = 0;
  int lba = 0;
  bool audio = true;
};

// The names under which the AccurateRip database files a disc. id1 and id2 are sums over the
// audio tracks only, ended by the disc's true lead-out: a data session after the audio (an
// enhanced CD) moves the lead-out but adds no track, and a data track before the audio (a
// mixed-mode CD) is left out. The CDDB ID counts every track, data included.
struct AccurateRipDiscId {
  int audio_tracks = 0;
  quint32 id1 = 0;
  quint32 id2 = 0;
  quint32 cddb = 0;
  // Table-of-contents numbers of the audio tracks in disc order. Index i here is audio track
  // i + 1 of the disc: the weight of its offset in id2 and its place in each database response.
  std::vector<int> audio_track_numbers;

  // The index of a table-of-contents track among the audio tracks; -1 for a data track or a
  // number the disc does not have.
  int AudioIndexOf(int trackNumber) const;
  // "dBAR-010-00164419-00b9f6e2-9e11600b.bin"
  QString Name() const;
  // The name under three folders: the last, second-last and third-last hex digits of id1,
  // "9/1/4/dBAR-010-00164419-00b9f6e2-9e11600b.bin".
  QString UrlPath() const;
};

// The IDs of a table given track by track, in table order, with its lead-out (absolute frames).
AccurateRipDiscId MakeAccurateRipDiscId(std::span<const AccurateRipTocTrack> tracks, int leadoutLba);

// The IDs of a disc that holds only audio tracks, numbered from 1, starting at these addresses.
AccurateRipDiscId MakeAccurateRipDiscId(std::span<const int> audioLbas, int leadoutLba);

// The IDs of a disc as RefreshDisc read it, every session included.
AccurateRipDiscId MakeAccurateRipDiscId(const DiscToc& toc);

}  // namespace corvane
