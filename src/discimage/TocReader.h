#pragma once
#include <QList>
#include <optional>
#include <utility>
#include <vector>

#include "discimage/DataFiles.h"
#include "discimage/DiscImageLayout.h"
#include "discimage/LayoutBuilder.h"
#include "discimage/TocTokens.h"

namespace corvane {

// The reader behind ReadTocFile: walks the table's tokens once, appending each track's parts to
// the layout as they come. TocReader.cpp holds the table and CD-TEXT statements, TocTrack.cpp
// those of a track.
class TocReader {
 public:
  TocReader(const QList<TocToken>& tokens, const QString& folder, const ImageFileProbe& probe)
      : tokens_(tokens), folder_(folder), probe_(RememberingProbe(probe)) {}

  ImageLayoutResult Read();

  // A track mode's name, its sector size in a file and whether it is audio.
  struct TrackMode {
    const char* name;
    int block_bytes;
    bool audio;
  };
  // A length as written: mm:ss:ff in sectors, or a plain count of samples or bytes.
  struct Length {
    qint64 value = 0;
    bool msf = false;
  };

 private:
  using Problem = std::optional<QString>;
  // Where CD-TEXT items of a block go.
  struct CdTextTarget {
    QString *title, *performer, *songwriter, *composer, *arranger, *message;
  };

  const TocToken& Peek() const { return tokens_[pos_]; }
  const TocToken& Next() { return tokens_[pos_ + 1 < tokens_.size() ? pos_++ : pos_]; }
  bool At(const char* word) const;
  Problem Unexpected() const;
  Problem Unterminated() const;
  std::optional<Length> TakeLength();
  ImageTrack& Track() { return builder_.Layout().tracks.back(); }

  Problem ReadAll();
  bool IsTrackStatement() const;
  Problem CdText(const CdTextTarget& target);
  Problem LanguageBlock(const CdTextTarget* target);
  Problem SkipBlock();

  Problem ReadTrack();
  Problem TrackStatement();
  Problem Flag();
  Problem Start();
  Problem Silence();
  Problem File();
  Problem AppendAudioFile(int line, const QString& name, const ResolvedDataFile& file, qint64 byte_offset, qint64 start,
                          std::optional<Length> length);
  Problem AppendDataFile(int line, const QString& name, const ResolvedDataFile& file, qint64 byte_offset,
                         std::optional<Length> length);
  Problem FinishTrack();
  qint64 SamplesOf(const Length& length) const;

  const QList<TocToken>& tokens_;
  qsizetype pos_ = 0;
  const QString& folder_;
  const ImageFileProbe probe_;
  LayoutBuilder builder_;
  // The track being read.
  const TrackMode* mode_ = nullptr;
  int block_bytes_ = kImageSectorBytes;
  qint64 first_sample_ = 0;    // where the track's data begins on the disc
  qint64 start_sectors_ = -1;  // sectors before INDEX 01 (START, PREGAP); -1 for none
  int start_line_ = 0;
  std::vector<std::pair<int, qint64>> indexes_;  // INDEX lines and their sectors after INDEX 01
};

}  // namespace corvane
