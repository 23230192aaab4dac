#include "tags/Id3v2Tag.h"

#include <QFile>
#include <algorithm>

#include "tags/Id3Genres.h"

namespace corvane {
namespace {

constexpr qint64 kCopyChunk = 1000000;
constexpr int kId3v1TextField = 30;
constexpr char kCommentLanguage[] = "dou";

bool FitsLatin1(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() > 0xFF) return false;
  }
  return true;
}

void AppendBigEndian32(QByteArray& out, quint32 value) {
  out.append(static_cast<char>(value >> 24));
  out.append(static_cast<char>(value >> 16));
  out.append(static_cast<char>(value >> 8));
  out.append(static_cast<char>(value));
}

void AppendUtf16(QByteArray& out, const QString& text) {
  out.append('\xFF');
  out.append('\xFE');
  for (const QChar c : text) {
    out.append(static_cast<char>(c.unicode() & 0xFF));
    out.append(static_cast<char>(c.unicode() >> 8));
  }
}

// Encoding byte and text: ISO-8859-1 when the text fits it, UTF-16 with a byte-order mark else.
QByteArray EncodedText(const QString& text, bool withEmptyDescription) {
  QByteArray content;
  const bool latin1 = FitsLatin1(text);
  content.append(latin1 ? '\0' : '\1');
  if (withEmptyDescription) {
    content.append(kCommentLanguage, 3);
    if (latin1) {
      content.append('\0');
    } else {
      AppendUtf16(content, QString());
      content.append(2, '\0');
    }
  }
  if (latin1) {
    content.append(text.toLatin1());
  } else {
    AppendUtf16(content, text);
  }
  return content;
}

void AppendFrame(QByteArray& out, const char* id, const QString& text, bool comment = false) {
  if (text.isEmpty()) return;
  const QByteArray content = EncodedText(text, comment);
  out.append(id, 4);
  AppendBigEndian32(out, static_cast<quint32>(content.size()));
  out.append(2, '\0');
  out.append(content);
}

void AppendSyncsafe(QByteArray& out, quint32 size) {
  for (int shift = 21; shift >= 0; shift -= 7) out.append(static_cast<char>((size >> shift) & 0x7F));
}

}  // namespace

qint64 Id3v2Tag::AudioStart(const QByteArray& firstBytes, qint64 fileSize) {
  if (firstBytes.size() < kHeaderSize || !firstBytes.startsWith("ID3")) return 0;
  const int major = static_cast<unsigned char>(firstBytes[3]);
  if (major != 3 && major != 4) return 0;
  qint64 size = 0;
  for (int i = 6; i < 10; ++i) size = (size << 7) | (static_cast<unsigned char>(firstBytes[i]) & 0x7F);
  const qint64 length = size + kHeaderSize;
  return fileSize >= length ? length : 0;
}

QByteArray Id3v2Tag::Build(const SourceTags& tags) {
  if (tags.AllEmpty()) return {};
  QByteArray frames;
  AppendFrame(frames, "TIT2", tags.title);
  AppendFrame(frames, "TPE1", tags.artist);
  AppendFrame(frames, "TALB", tags.album);
  AppendFrame(frames, "TRCK", tags.track);
  AppendFrame(frames, "TYER", tags.year);
  AppendFrame(frames, "TCON", tags.genre);
  AppendFrame(frames, "COMM", tags.comment, true);
  frames.append(kPadding, '\0');

  QByteArray tag("ID3\x03\x00\x00", 6);
  AppendSyncsafe(tag, static_cast<quint32>(frames.size()));
  tag.append(frames);
  return tag;
}

namespace {

// Moves the bytes from `from` to the end of the file to `to`, in place, then fits the file's size.
bool ShiftTail(QFile& file, qint64 from, qint64 to) {
  const qint64 size = file.size();
  const qint64 length = size - from;
  if (from == to || length <= 0) return file.resize(to + std::max<qint64>(length, 0));
  QByteArray chunk;
  if (to > from) {  // growing: move the last chunk first
    if (!file.resize(to + length)) return false;
    for (qint64 done = 0; done < length;) {
      const qint64 step = std::min<qint64>(kCopyChunk, length - done);
      const qint64 offset = from + length - done - step;
      if (!file.seek(offset) || (chunk = file.read(step)).size() != step) return false;
      if (!file.seek(offset + (to - from)) || file.write(chunk) != step) return false;
      done += step;
    }
    return true;
  }
  for (qint64 done = 0; done < length;) {  // shrinking: move the first chunk first
    const qint64 step = std::min<qint64>(kCopyChunk, length - done);
    if (!file.seek(from + done) || (chunk = file.read(step)).size() != step) return false;
    if (!file.seek(to + done) || file.write(chunk) != step) return false;
    done += step;
  }
  return file.resize(to + length);
}

}  // namespace

// The tag is put in place within the file itself (the file is not replaced by another), so a
// path that names an open descriptor works too; outputs are tagged before they get their name.
bool WriteId3v2Tag(const QString& path, const Mp3TagSet& tags) {
  const QByteArray tag = Id3v2Tag::Build(tags.tags);
  if (tag.isEmpty()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return false;
  const qint64 audioStart = Id3v2Tag::AudioStart(file.read(Id3v2Tag::kHeaderSize), file.size());
  if (!ShiftTail(file, audioStart, tag.size())) return false;
  if (!file.seek(0) || file.write(tag) != tag.size()) return false;
  return file.flush();
}

bool NeedsId3v2(const Mp3TagSet& tags) {
  const SourceTags& t = tags.tags;
  for (const QString* text : {&t.title, &t.artist, &t.album, &t.comment}) {
    if (text->size() > kId3v1TextField) return true;
  }
  // ID3v1 holds ISO-8859-1 only: any other character would be lost there.
  for (const QString* text : {&t.title, &t.artist, &t.album, &t.comment, &t.year, &t.track, &t.genre}) {
    if (!FitsLatin1(*text)) return true;
  }
  return Id3Genres::IndexOf(t.genre) == Id3Genres::kNone;
}

}  // namespace corvane
