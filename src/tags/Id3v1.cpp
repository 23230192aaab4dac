#include "tags/Id3v1.h"

#include <QFile>
#include <cstring>

#include "tags/Id3Genres.h"
#include "tags/TextNumbers.h"

namespace corvane {
namespace {

constexpr int kTitleAt = 3;
constexpr int kArtistAt = 33;
constexpr int kAlbumAt = 63;
constexpr int kYearAt = 93;
constexpr int kCommentAt = 97;
constexpr int kTextField = 30;
constexpr int kYearField = 4;
constexpr int kShortComment = 28;
constexpr int kTrackMarkerAt = 125;
constexpr int kTrackAt = 126;
constexpr int kGenreAt = 127;

QString Field(const char* bytes, int at, int length) {
  const char* start = bytes + at;
  const void* zero = std::memchr(start, 0, static_cast<size_t>(length));
  const int used = zero != nullptr ? static_cast<int>(static_cast<const char*>(zero) - start) : length;
  QString text = QString::fromLatin1(start, used);
  qsizetype end = text.size();
  while (end > 0 && text.at(end - 1).isSpace()) --end;
  text.truncate(end);
  return text;
}

void PutField(QByteArray& tag, int at, int length, const QString& text) {
  const QByteArray bytes = text.toLatin1().left(length);
  std::memcpy(tag.data() + at, bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

bool Id3v1Tag::IsTag(const char* bytes) { return std::memcmp(bytes, "TAG", 3) == 0; }

Id3v1Tag Id3v1Tag::Read(const char* bytes) {
  Id3v1Tag tag;
  tag.title = Field(bytes, kTitleAt, kTextField);
  tag.artist = Field(bytes, kArtistAt, kTextField);
  tag.album = Field(bytes, kAlbumAt, kTextField);
  tag.year = Field(bytes, kYearAt, kYearField);
  const auto* unsignedBytes = reinterpret_cast<const unsigned char*>(bytes);
  if (bytes[kTrackMarkerAt] != 0) {
    tag.comment = Field(bytes, kCommentAt, kTextField);
    tag.track = 0;
  } else {
    tag.comment = Field(bytes, kCommentAt, kShortComment);
    tag.track = unsignedBytes[kTrackAt];
  }
  tag.genre = unsignedBytes[kGenreAt];
  return tag;
}

QByteArray Id3v1Tag::Build(const SourceTags& tags) {
  QByteArray tag(kSize, '\0');
  std::memcpy(tag.data(), "TAG", 3);
  PutField(tag, kTitleAt, kTextField, tags.title);
  PutField(tag, kArtistAt, kTextField, tags.artist);
  PutField(tag, kAlbumAt, kTextField, tags.album);
  PutField(tag, kYearAt, kYearField, tags.year);
  const int track = LeadingInteger(tags.track);
  if (track != 0) {
    PutField(tag, kCommentAt, kShortComment, tags.comment);
    tag[kTrackMarkerAt] = 0;
    tag[kTrackAt] = static_cast<char>(track > 255 ? 255 : (track < 0 ? 0 : track));
  } else {
    PutField(tag, kCommentAt, kTextField, tags.comment);
  }
  const int genre = Id3Genres::IndexOf(tags.genre);
  tag[kGenreAt] = static_cast<char>(genre >= 0 && genre <= 254 ? genre : Id3Genres::kNone);
  return tag;
}

bool WriteId3v1Tag(const QString& path, const Mp3TagSet& tags) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return false;
  const qint64 size = file.size();
  qint64 writeAt = size;
  if (size > Id3v1Tag::kSize) {
    char last[Id3v1Tag::kSize];
    if (!file.seek(size - Id3v1Tag::kSize) || file.read(last, Id3v1Tag::kSize) != Id3v1Tag::kSize) return false;
    if (Id3v1Tag::IsTag(last)) writeAt = size - Id3v1Tag::kSize;
  }
  const QByteArray tag = Id3v1Tag::Build(tags.tags);
  if (!file.seek(writeAt)) return false;
  return file.write(tag) == tag.size() && file.flush();
}

}  // namespace corvane
