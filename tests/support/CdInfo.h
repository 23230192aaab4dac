#pragma once
// The table of contents cd-info (libcdio-utils) lists for a disc image: an independent judge of
// the positions our image readers give.
#include <QString>
#include <vector>

namespace corvane::test {

struct CdInfoToc {
  std::vector<int> lsns;    // each track's first sector (INDEX 01)
  std::vector<bool> audio;  // whether each track is audio
  int lead_out = -1;
};

// Runs cd-info on `image` from its folder (a .toc names its files relative to where it runs);
// throws when cd-info fails or lists no tracks.
CdInfoToc ReadCdInfoToc(const QString& image);

}  // namespace corvane::test
