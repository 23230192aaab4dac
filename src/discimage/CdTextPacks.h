#pragma once
#include <QByteArrayView>
#include <QString>
#include <map>

namespace corvane {

struct CdTextFields {
  QString title, performer, songwriter, composer, arranger, message;
};

// CD-TEXT as a disc's lead-in carries it: 18-byte packs (type, track, sequence number, block and
// character position, 12 bytes of text, CRC). The texts of the first block (language) are
// decoded: each type's text runs on from pack to pack, one NUL-ended string per track from the
// track of its first pack, a lone TAB repeating the previous track's string.
struct CdTextPacks {
  CdTextFields disc;
  std::map<int, CdTextFields> tracks;  // by track number, 1..99
};

CdTextPacks DecodeCdTextPacks(QByteArrayView packs);

}  // namespace corvane
