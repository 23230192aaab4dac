// Reads arbitrary bytes as ID3v1 and ID3v2 tags and writes tags made from them into a file made
// from them: the writers must keep the audio behind the tags intact.
#include <QFile>
#include <cstdlib>
#include <cstring>

#include "FuzzFile.h"
#include "tags/Id3v1.h"
#include "tags/Id3v2Tag.h"

namespace {

QByteArray ReadBack(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Seven texts cut from the input: the fuzzer controls their bytes, lengths and encodings.
corvane::SourceTags TagsFrom(const QByteArray& input) {
  QString texts[7];
  const QList<QByteArray> parts = input.left(4096).split('\x1F');
  for (int i = 0; i < 7 && i < parts.size(); ++i) texts[i] = QString::fromUtf8(parts[i]);
  return corvane::SourceTags{texts[0], texts[1], texts[2], texts[3], texts[4], texts[5], texts[6]};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QByteArray last(corvane::Id3v1Tag::kSize, '\0');
  std::memcpy(last.data(), input.constData(), std::min<size_t>(size, corvane::Id3v1Tag::kSize));
  const corvane::Id3v1Tag read = corvane::Id3v1Tag::Read(last.constData());
  if (read.title.size() > 30 || read.comment.size() > 30 || read.year.size() > 4) std::abort();
  if (read.track < 0 || read.track > 255 || read.genre < 0 || read.genre > 255) std::abort();

  const qint64 start = corvane::Id3v2Tag::AudioStart(input.left(10), input.size());
  if (start < 0 || start > input.size()) std::abort();

  const corvane::Mp3TagSet tags{true, TagsFrom(input)};
  const QString path = corvane::fuzz::WriteInput(data, size, "mp3");
  if (corvane::WriteId3v2Tag(path, tags)) {
    const QByteArray expected = corvane::Id3v2Tag::Build(tags.tags) + input.mid(start);
    if (ReadBack(path) != expected) std::abort();
  }
  const QByteArray before = ReadBack(path);
  if (!corvane::WriteId3v1Tag(path, tags)) std::abort();
  const QByteArray after = ReadBack(path);
  const bool replaced = before.size() > 128 && before.right(128).startsWith("TAG");
  if (after.size() != before.size() + (replaced ? 0 : 128)) std::abort();
  if (after.right(128) != corvane::Id3v1Tag::Build(tags.tags)) std::abort();
  return 0;
}
