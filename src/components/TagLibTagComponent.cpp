#include "components/TagLibTagComponent.h"

#include <taglib/fileref.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/tag.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

#include <QFile>
#include <QFileInfo>
#include <vector>

namespace corvane {
namespace {

constexpr int kId3v1GenreCount = 148;

TagLib::String ToTagLib(const QString& text) { return TagLib::String(text.toUtf8().constData(), TagLib::String::UTF8); }

QString FromTagLib(const TagLib::String& text) { return QString::fromUtf8(text.toCString(true)); }

// The first bytes of the file, for a path whose name tells nothing (an unnamed output).
QByteArray Magic(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.read(4) : QByteArray();
}

bool IsWav(const QString& path) {
  const QString suffix = QFileInfo(path).suffix();
  if (suffix.isEmpty() || suffix.front().isDigit()) return Magic(path) == "RIFF";
  return suffix.compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0;
}

// TagLib picks the kind of file by its extension; a name without one is looked into.
TagLib::FileRef OpenRef(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  TagLib::FileRef file(name.constData(), false);
  if (file.isNull() && Magic(path) == "OggS")
    return TagLib::FileRef(new TagLib::Ogg::Vorbis::File(name.constData(), false));
  return file;
}

// A field of the first tag that has it, in the order given.
template <typename Getter>
auto FirstSet(const std::vector<const TagLib::Tag*>& tags, Getter get) {
  decltype(get(tags.front())) empty{};
  for (const TagLib::Tag* tag : tags) {
    if (tag == nullptr) continue;
    const auto value = get(tag);
    if (value != empty) return value;
  }
  return empty;
}

void Fill(TagLib::Tag& tag, const QString& title, const QString& artist, const QString& album, const QString& comment,
          const QString& genre, qint32 year, qint16 track) {
  tag.setTitle(ToTagLib(title));
  tag.setArtist(ToTagLib(artist));
  tag.setAlbum(ToTagLib(album));
  tag.setComment(ToTagLib(comment));
  tag.setGenre(ToTagLib(genre));
  tag.setYear(year > 0 ? static_cast<unsigned>(year) : 0);
  tag.setTrack(track > 0 ? static_cast<unsigned>(track) : 0);
}

}  // namespace

std::unique_ptr<ITagComponent> CreateTagComponent() { return std::make_unique<TagLibTagComponent>(); }

bool TagLibTagComponent::LoadTags(const QString& path) {
  *this = TagLibTagComponent();
  const QByteArray name = QFile::encodeName(path);
  if (IsWav(path)) {
    const TagLib::RIFF::WAV::File wav(name.constData(), false);
    if (!wav.isValid()) return false;
    Take({wav.InfoTag(), wav.ID3v2Tag()});
    return true;
  }
  const TagLib::FileRef file(name.constData(), false);
  if (file.isNull() || file.tag() == nullptr) return false;
  Take({file.tag()});
  return true;
}

void TagLibTagComponent::Take(const std::vector<const TagLib::Tag*>& order) {
  title_ = FromTagLib(FirstSet(order, [](const TagLib::Tag* t) { return t->title(); }));
  artist_ = FromTagLib(FirstSet(order, [](const TagLib::Tag* t) { return t->artist(); }));
  album_ = FromTagLib(FirstSet(order, [](const TagLib::Tag* t) { return t->album(); }));
  comment_ = FromTagLib(FirstSet(order, [](const TagLib::Tag* t) { return t->comment(); }));
  genre_ = FromTagLib(FirstSet(order, [](const TagLib::Tag* t) { return t->genre(); }));
  year_ = static_cast<qint32>(FirstSet(order, [](const TagLib::Tag* t) { return t->year(); }));
  track_ = static_cast<qint16>(FirstSet(order, [](const TagLib::Tag* t) { return t->track(); }));
}

QString TagLibTagComponent::GenreToWrite() const {
  if (!genre_.isEmpty() || genre_index_ < 0 || genre_index_ >= kId3v1GenreCount) return genre_;
  return FromTagLib(TagLib::ID3v1::genre(genre_index_));
}

bool TagLibTagComponent::SaveTags(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  const QString genre = GenreToWrite();
  if (IsWav(path)) {
    TagLib::RIFF::WAV::File wav(name.constData(), false);
    if (!wav.isValid() || wav.readOnly()) return false;
    Fill(*wav.InfoTag(), title_, artist_, album_, comment_, genre, year_, track_);
    Fill(*wav.ID3v2Tag(), title_, artist_, album_, comment_, genre, year_, track_);
    return wav.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripOthers, TagLib::ID3v2::v3);
  }
  TagLib::FileRef file = OpenRef(path);
  if (file.isNull() || file.tag() == nullptr || file.file()->readOnly()) return false;
  Fill(*file.tag(), title_, artist_, album_, comment_, genre, year_, track_);
  return file.save();
}

}  // namespace corvane
