#pragma once
#include <QString>

#include "tags/SourceTags.h"

namespace corvane {

// The 128-byte ID3v1 tag at the end of an MP3 file (ID3v1.1 when it carries a track number).
struct Id3v1Tag {
  static constexpr int kSize = 128;

  QString title;
  QString artist;
  QString album;
  QString year;
  QString comment;
  int track = 0;    // 0 when the tag has none
  int genre = 255;  // 255 when the tag has none

  // True when the 128 bytes start with "TAG".
  static bool IsTag(const char* bytes);
  // Reads the fields of a tag's 128 bytes (the caller has checked IsTag).
  static Id3v1Tag Read(const char* bytes);
  // The 128 bytes of a tag holding `tags`: texts in ISO-8859-1 (characters it cannot hold are
  // replaced by '?') cut to their fields, the leading number of the track text, the genre's
  // index in the genre list.
  static QByteArray Build(const SourceTags& tags);
};

// Writes the ID3v1 tag of `tags` at the end of the MP3 at `path`, replacing an ID3v1 tag that is
// already there. False when the file could not be changed (it is then unchanged).
bool WriteId3v1Tag(const QString& path, const Mp3TagSet& tags);

}  // namespace corvane
