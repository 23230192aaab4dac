#pragma once
#include <QByteArray>
#include <QString>

#include "tags/SourceTags.h"

namespace corvane {

// ID3v2.3 tags at the start of MP3 files.
class Id3v2Tag {
 public:
  static constexpr int kHeaderSize = 10;
  static constexpr int kPadding = 966;

  // Where the audio starts behind a leading ID3v2.3 or ID3v2.4 tag, given the file's first
  // (up to) 10 bytes and its size: the tag's whole length when the file is that long, else 0.
  // Other versions (ID3v2.2) are not skipped.
  static qint64 AudioStart(const QByteArray& firstBytes, qint64 fileSize);

  // The whole tag: header, the frames of the non-empty texts (TIT2, TPE1, TALB, TRCK, TYER, TCON,
  // COMM) and the padding. Texts that fit ISO-8859-1 are stored in it; any other text in UTF-16
  // with a byte-order mark. Empty when every text is empty.
  static QByteArray Build(const SourceTags& tags);
};

// Puts a new ID3v2.3 tag in front of the audio of the MP3 at `path`, replacing a leading
// ID3v2.3/2.4 tag. The file is changed in place (its audio moved to make room), so it is meant for
// outputs that do not have their final name yet. False when nothing was written (all texts
// empty, or the file could not be read or written).
bool WriteId3v2Tag(const QString& path, const Mp3TagSet& tags);

// The converter's automatic mode: an ID3v2 tag is needed when a title, artist, album or comment
// is longer than an ID3v1 field holds, any text has a character outside ISO-8859-1, or the genre
// is not one of the ID3v1 genres.
bool NeedsId3v2(const Mp3TagSet& tags);

}  // namespace corvane
