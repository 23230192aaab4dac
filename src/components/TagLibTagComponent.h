#pragma once
#include <vector>

#include "components/ITagComponent.h"

namespace TagLib {
class Tag;
}

namespace corvane {

// The tag component over TagLib. WAV files are read from their RIFF INFO chunk first (its
// texts are stored exactly as written), then from their ID3v2 chunk.
class TagLibTagComponent final : public ITagComponent {
 public:
  bool LoadTags(const QString& path) override;
  bool SaveTags(const QString& path) override;
  void SetTagKind(int kind) override { kind_ = kind; }

  QString Album() const override { return album_; }
  void SetAlbum(const QString& album) override { album_ = album; }
  QString Artist() const override { return artist_; }
  void SetArtist(const QString& artist) override { artist_ = artist; }
  QString Comment() const override { return comment_; }
  void SetComment(const QString& comment) override { comment_ = comment; }
  void SetGenreIndex(qint16 index) override { genre_index_ = index; }
  QString Title() const override { return title_; }
  void SetTitle(const QString& title) override { title_ = title; }
  qint32 Year() const override { return year_; }
  void SetYear(qint32 year) override { year_ = year; }
  qint16 Track() const override { return track_; }
  void SetTrack(int track) override { track_ = static_cast<qint16>(track); }
  QString Genre() const override { return genre_; }
  void SetGenre(const QString& genre) override { genre_ = genre; }

 private:
  QString GenreToWrite() const;
  // Takes each field from the first tag of `order` that has it set.
  void Take(const std::vector<const TagLib::Tag*>& order);

  int kind_ = kPlayerTags;
  QString title_;
  QString artist_;
  QString album_;
  QString comment_;
  QString genre_;
  qint16 genre_index_ = 199;
  qint32 year_ = 0;
  qint16 track_ = 0;
};

}  // namespace corvane
