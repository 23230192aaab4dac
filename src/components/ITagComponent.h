#pragma once
#include <QString>
#include <functional>
#include <memory>

namespace corvane {

// The tag component: loads the tags of a file into its fields, or writes its fields into a
// file. A new one is made for every read or write.
class ITagComponent {
 public:
  // Tag kind 1: the tags that players on this platform read (WAV: a RIFF INFO chunk and an
  // ID3v2 chunk; Ogg: Vorbis comments; other formats: their native tag).
  static constexpr int kPlayerTags = 1;

  virtual ~ITagComponent() = default;

  // False when the file cannot be read as a tagged audio file; the fields are then empty.
  virtual bool LoadTags(const QString& path) = 0;
  // False when the file cannot be written; it is then left as it was.
  virtual bool SaveTags(const QString& path) = 0;
  virtual void SetTagKind(int kind) = 0;

  virtual QString Album() const = 0;
  virtual void SetAlbum(const QString& album) = 0;
  virtual QString Artist() const = 0;
  virtual void SetArtist(const QString& artist) = 0;
  virtual QString Comment() const = 0;
  virtual void SetComment(const QString& comment) = 0;
  // Index into the ID3v1 genre list, 199 (or anything outside it) for none. Used when no genre
  // text is given.
  virtual void SetGenreIndex(qint16 index) = 0;
  virtual QString Title() const = 0;
  virtual void SetTitle(const QString& title) = 0;
  virtual qint32 Year() const = 0;
  virtual void SetYear(qint32 year) = 0;
  virtual qint16 Track() const = 0;
  virtual void SetTrack(int track) = 0;
  virtual QString Genre() const = 0;
  virtual void SetGenre(const QString& genre) = 0;
};

// Makes a tag component; nullptr when none can be made.
using TagComponentFactory = std::function<std::unique_ptr<ITagComponent>()>;

// The component over TagLib.
std::unique_ptr<ITagComponent> CreateTagComponent();

}  // namespace corvane
