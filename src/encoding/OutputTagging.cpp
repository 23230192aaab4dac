#include "encoding/OutputTagging.h"

#include "common/StringTable.h"
#include "common/strings/FormatText.h"
#include "formats/OutputFormatCatalogue.h"
#include "tags/EmbeddedPictures.h"
#include "tags/Id3v1.h"
#include "tags/Id3v2Tag.h"
#include "tags/PictureCheck.h"
#include "tags/SourceFileServices.h"

namespace corvane {

void WriteTagsAfterEncoding(const QString& path, FormatCode format, const SourceTags& tags, bool id3v2) {
  switch (catalogue::TagsOf(format)) {
    case OutputTags::TagComponent:
      SourceFileServices::WriteFileTags(path, tags);
      return;
    case OutputTags::Id3: {
      Mp3TagSet set;
      set.tags = tags;
      if (id3v2) WriteId3v2Tag(path, set);
      WriteId3v1Tag(path, set);
      return;
    }
    case OutputTags::None:
      return;
  }
}

namespace {

PictureContainer ContainerOf(FormatCode format) {
  switch (format) {
    case FormatCode::Mp3:
      return PictureContainer::Mpeg;
    case FormatCode::Flac:
      return PictureContainer::Flac;
    case FormatCode::Ogg:
      return PictureContainer::OggVorbis;
    case FormatCode::Wma:
      return PictureContainer::Asf;
    case FormatCode::Ape:
      return PictureContainer::Ape;
    case FormatCode::Musepack:
      return PictureContainer::Musepack;
    default:
      return PictureContainer::None;
  }
}

}  // namespace

void WritePicturesAfterEncoding(const QString& path, FormatCode format, Pictures pictures, QStringList& notes) {
  const PictureContainer container = ContainerOf(format);
  if (container == PictureContainer::None || pictures.empty()) return;
  const Pictures kept = CheckedPictures(std::move(pictures), notes);
  if (!WriteEmbeddedPictures(path, container, kept)) notes << StringTable::Text(text::kPictureNotWritten);
}

Pictures SourcePictures(const QString& source) {
  Pictures pictures = ReadEmbeddedPictures(source);
  return pictures.empty() ? ReadFolderPicture(source) : pictures;
}

}  // namespace corvane
