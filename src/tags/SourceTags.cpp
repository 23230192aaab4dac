#include "tags/SourceTags.h"

#include <QFile>

#include "engine/DecodeStream.h"
#include "tags/Id3Genres.h"
#include "tags/Id3v1.h"

namespace corvane {
namespace {

bool IsMpeg(ChannelType type) {
  return type == ChannelType::MpegLayer1 || type == ChannelType::MpegLayer2 || type == ChannelType::MpegLayer3;
}

// FFmpeg reads an MP3's ID3v1 tag only when it found no other metadata (an encoder name in the
// LAME header is enough to hide it), so texts still empty are taken from the tag here.
void FillFromId3v1(const QString& path, SourceTags& tags) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() < Id3v1Tag::kSize) return;
  if (!file.seek(file.size() - Id3v1Tag::kSize)) return;
  const QByteArray bytes = file.read(Id3v1Tag::kSize);
  if (bytes.size() != Id3v1Tag::kSize || !Id3v1Tag::IsTag(bytes.constData())) return;
  const Id3v1Tag v1 = Id3v1Tag::Read(bytes.constData());
  auto fill = [](QString& target, const QString& value) {
    if (target.isEmpty()) target = value;
  };
  fill(tags.title, v1.title);
  fill(tags.artist, v1.artist);
  fill(tags.album, v1.album);
  fill(tags.year, v1.year);
  fill(tags.comment, v1.comment);
  fill(tags.track, v1.track > 0 ? QString::number(v1.track) : QString());
  fill(tags.genre, Id3Genres::Name(v1.genre));
}

}  // namespace

bool ReadSourceTags(const DecodeStream* stream, SourceTags& tags) {
  tags.Clear();
  if (stream == nullptr) return false;
  tags = static_cast<const SourceTags&>(stream->Tags());
  if (IsMpeg(stream->Info().type)) FillFromId3v1(stream->Path(), tags);
  return true;
}

}  // namespace corvane
