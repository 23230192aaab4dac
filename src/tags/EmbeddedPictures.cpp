#include "tags/EmbeddedPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpcfile.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include <array>
#include <set>

namespace corvane {
namespace {

using TagLib::ByteVector;

// APEv2 names a picture's type in its item key.
constexpr std::array<const char*, 21> kApeCoverKeys = {"Cover Art (Other)",
                                                       "Cover Art (Png Icon)",
                                                       "Cover Art (Icon)",
                                                       "Cover Art (Front)",
                                                       "Cover Art (Back)",
                                                       "Cover Art (Leaflet)",
                                                       "Cover Art (Media)",
                                                       "Cover Art (Lead Artist)",
                                                       "Cover Art (Artist)",
                                                       "Cover Art (Conductor)",
                                                       "Cover Art (Band)",
                                                       "Cover Art (Composer)",
                                                       "Cover Art (Lyricist)",
                                                       "Cover Art (Recording Location)",
                                                       "Cover Art (During Recording)",
                                                       "Cover Art (During Performance)",
                                                       "Cover Art (Video Capture)",
                                                       "Cover Art (Fish)",
                                                       "Cover Art (Illustration)",
                                                       "Cover Art (Band Logotype)",
                                                       "Cover Art (Publisher Logotype)"};

QByteArray Bytes(const ByteVector& data) { return {data.data(), static_cast<qsizetype>(data.size())}; }
ByteVector Vector(const QByteArray& data) { return {data.constData(), static_cast<unsigned>(data.size())}; }
QString Text(const TagLib::String& text) { return QString::fromStdString(text.to8Bit(true)); }
TagLib::String Tagged(const QString& text) { return {text.toUtf8().constData(), TagLib::String::UTF8}; }
int KnownType(int type) { return type >= 0 && type < static_cast<int>(kApeCoverKeys.size()) ? type : Picture::kOther; }

void AddId3v2(TagLib::ID3v2::Tag* tag, Pictures& out) {
  if (tag == nullptr) return;
  for (TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
    if (const auto* apic = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame))
      out.push_back(
          {Bytes(apic->picture()), Text(apic->mimeType()), Text(apic->description()), KnownType(apic->type())});
  }
}

void AddFlacPictures(const TagLib::List<TagLib::FLAC::Picture*>& list, Pictures& out) {
  for (const TagLib::FLAC::Picture* picture : list)
    out.push_back(
        {Bytes(picture->data()), Text(picture->mimeType()), Text(picture->description()), KnownType(picture->type())});
}

void AddApe(TagLib::APE::Tag* tag, Pictures& out) {
  if (tag == nullptr) return;
  const TagLib::APE::ItemListMap& items = tag->itemListMap();
  for (size_t type = 0; type < kApeCoverKeys.size(); ++type) {
    const auto found = items.find(TagLib::String(kApeCoverKeys[type]).upper());
    if (found == items.end() || found->second.type() != TagLib::APE::Item::Binary) continue;
    // A description, a zero byte, then the image.
    const QByteArray value = Bytes(found->second.binaryData());
    const qsizetype zero = value.indexOf('\0');
    if (zero < 0) continue;
    out.push_back({value.mid(zero + 1), {}, QString::fromUtf8(value.left(zero)), static_cast<int>(type)});
  }
}

void AddMp4(TagLib::MP4::Tag* tag, Pictures& out) {
  if (tag == nullptr || !tag->contains("covr")) return;
  for (const TagLib::MP4::CoverArt& art : tag->item("covr").toCoverArtList()) {
    const QString mime = art.format() == TagLib::MP4::CoverArt::PNG    ? QStringLiteral("image/png")
                         : art.format() == TagLib::MP4::CoverArt::JPEG ? QStringLiteral("image/jpeg")
                                                                       : QString();
    out.push_back({Bytes(art.data()), mime, {}, Picture::kFrontCover});
  }
}

void AddAsf(TagLib::ASF::Tag* tag, Pictures& out) {
  if (tag == nullptr || !tag->contains("WM/Picture")) return;
  for (const TagLib::ASF::Attribute& attribute : tag->attribute("WM/Picture")) {
    const TagLib::ASF::Picture picture = attribute.toPicture();
    if (!picture.isValid()) continue;
    out.push_back(
        {Bytes(picture.picture()), Text(picture.mimeType()), Text(picture.description()), KnownType(picture.type())});
  }
}

TagLib::FLAC::Picture* FlacPicture(const Picture& picture) {
  auto* block = new TagLib::FLAC::Picture;
  block->setData(Vector(picture.data));
  block->setMimeType(Tagged(picture.mime));
  block->setDescription(Tagged(picture.description));
  block->setType(static_cast<TagLib::FLAC::Picture::Type>(KnownType(picture.type)));
  return block;
}

template <typename File>
bool WriteApe(const QByteArray& path, const Pictures& pictures) {
  File file(path.constData(), false);
  if (!file.isValid()) return false;
  TagLib::APE::Tag* tag = file.APETag(true);
  std::set<int> taken;
  for (const Picture& picture : pictures) {
    const int type = KnownType(picture.type);
    if (!taken.insert(type).second) continue;
    const QByteArray value = picture.description.toUtf8() + '\0' + picture.data;
    tag->setItem(kApeCoverKeys[type], TagLib::APE::Item(kApeCoverKeys[type], Vector(value), true));
  }
  return file.save();
}

}  // namespace

Pictures ReadEmbeddedPictures(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  const QString kind = QFileInfo(path).suffix().toLower();
  Pictures out;
  if (kind == QLatin1String("mp3") || kind == QLatin1String("mp2")) {
    TagLib::MPEG::File file(name.constData(), false);
    if (file.isValid() && file.hasID3v2Tag()) AddId3v2(file.ID3v2Tag(), out);
  } else if (kind == QLatin1String("flac")) {
    TagLib::FLAC::File file(name.constData(), false);
    if (!file.isValid()) return out;
    AddFlacPictures(file.pictureList(), out);
    if (out.empty() && file.hasID3v2Tag()) AddId3v2(file.ID3v2Tag(), out);
  } else if (kind == QLatin1String("ogg") || kind == QLatin1String("oga")) {
    TagLib::Ogg::Vorbis::File file(name.constData(), false);
    if (file.isValid() && file.tag() != nullptr) AddFlacPictures(file.tag()->pictureList(), out);
  } else if (kind == QLatin1String("opus")) {
    TagLib::Ogg::Opus::File file(name.constData(), false);
    if (file.isValid() && file.tag() != nullptr) AddFlacPictures(file.tag()->pictureList(), out);
  } else if (kind == QLatin1String("m4a") || kind == QLatin1String("mp4") || kind == QLatin1String("aac")) {
    TagLib::MP4::File file(name.constData(), false);
    if (file.isValid()) AddMp4(file.tag(), out);
  } else if (kind == QLatin1String("wma") || kind == QLatin1String("asf")) {
    TagLib::ASF::File file(name.constData(), false);
    if (file.isValid()) AddAsf(file.tag(), out);
  } else if (kind == QLatin1String("ape")) {
    TagLib::APE::File file(name.constData(), false);
    if (file.isValid() && file.hasAPETag()) AddApe(file.APETag(), out);
  } else if (kind == QLatin1String("mpc")) {
    TagLib::MPC::File file(name.constData(), false);
    if (file.isValid() && file.hasAPETag()) AddApe(file.APETag(), out);
  } else if (kind == QLatin1String("wv")) {
    TagLib::WavPack::File file(name.constData(), false);
    if (file.isValid() && file.hasAPETag()) AddApe(file.APETag(), out);
  }
  return out;
}

Pictures ReadFolderPicture(const QString& path) {
  const QDir folder = QFileInfo(path).absoluteDir();
  const QStringList entries = folder.entryList(QDir::Files | QDir::Readable);
  for (const char* stem : {"cover", "folder", "front"}) {
    for (const char* extension : {".jpg", ".jpeg", ".png"}) {
      const QString wanted = QLatin1String(stem) + QLatin1String(extension);
      for (const QString& entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        QFile file(folder.filePath(entry));
        // Read one byte past the largest picture carried, so the check can tell it is too large.
        if (!file.open(QIODevice::ReadOnly)) continue;
        Picture picture;
        picture.data = file.read(file.size() > 64 * 1024 * 1024 ? 64 * 1024 * 1024 + 1 : file.size());
        picture.type = Picture::kFrontCover;
        return {picture};
      }
    }
  }
  return {};
}

bool WriteEmbeddedPictures(const QString& path, PictureContainer container, const Pictures& pictures) {
  if (pictures.empty()) return true;
  const QByteArray name = QFile::encodeName(path);
  switch (container) {
    case PictureContainer::None:
      return true;
    case PictureContainer::Mpeg: {
      TagLib::MPEG::File file(name.constData(), false);
      if (!file.isValid()) return false;
      TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
      for (const Picture& picture : pictures) {
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setPicture(Vector(picture.data));
        frame->setMimeType(Tagged(picture.mime));
        frame->setDescription(Tagged(picture.description));
        frame->setType(static_cast<TagLib::ID3v2::AttachedPictureFrame::Type>(KnownType(picture.type)));
        tag->addFrame(frame);
      }
      // The ID3v1 tag at the end stays as it was written.
      return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                       TagLib::File::DoNotDuplicate);
    }
    case PictureContainer::Flac: {
      TagLib::FLAC::File file(name.constData(), false);
      if (!file.isValid()) return false;
      for (const Picture& picture : pictures) file.addPicture(FlacPicture(picture));
      return file.save();
    }
    case PictureContainer::OggVorbis: {
      TagLib::Ogg::Vorbis::File file(name.constData(), false);
      if (!file.isValid() || file.tag() == nullptr) return false;
      for (const Picture& picture : pictures) file.tag()->addPicture(FlacPicture(picture));
      return file.save();
    }
    case PictureContainer::Asf: {
      TagLib::ASF::File file(name.constData(), false);
      if (!file.isValid() || file.tag() == nullptr) return false;
      for (const Picture& picture : pictures) {
        TagLib::ASF::Picture asf;
        asf.setPicture(Vector(picture.data));
        asf.setMimeType(Tagged(picture.mime));
        asf.setDescription(Tagged(picture.description));
        asf.setType(static_cast<TagLib::ASF::Picture::Type>(KnownType(picture.type)));
        file.tag()->addAttribute("WM/Picture", TagLib::ASF::Attribute(asf));
      }
      return file.save();
    }
    case PictureContainer::Ape:
      return WriteApe<TagLib::APE::File>(name, pictures);
    case PictureContainer::Musepack:
      return WriteApe<TagLib::MPC::File>(name, pictures);
  }
  return false;
}

}  // namespace corvane
