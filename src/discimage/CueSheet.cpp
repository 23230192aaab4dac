#include "discimage/CueSheet.h"

#include <QRegularExpression>
#include <QStringList>

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"
#include "discimage/CueSheetLines.h"
#include "discimage/DataFiles.h"
#include "discimage/LayoutBuilder.h"
#include "discimage/SheetText.h"

namespace corvane {
namespace {

struct TrackType {
  const char* name;
  int sector_bytes;  // bytes a sector of this type takes in a raw file
  bool audio;
};
// CDG sectors carry sub-channel data between the audio, so they are never read as audio.
constexpr TrackType kTrackTypes[] = {
    {"AUDIO", 2352, true},       {"CDG", 2448, false},        {"MODE1/2048", 2048, false}, {"MODE1/2352", 2352, false},
    {"MODE2/2048", 2048, false}, {"MODE2/2324", 2324, false}, {"MODE2/2336", 2336, false}, {"MODE2/2352", 2352, false},
    {"CDI/2336", 2336, false},   {"CDI/2352", 2352, false}};

const TrackType* FindTrackType(const QString& word) {
  for (const TrackType& type : kTrackTypes) {
    if (word.compare(QLatin1String(type.name), Qt::CaseInsensitive) == 0) return &type;
  }
  return nullptr;
}

int ParseNumber(const QString& word, int low, int high) {
  static const QRegularExpression kDigits(QStringLiteral("^\\d{1,3}$"));
  if (!kDigits.match(word).hasMatch()) return -1;
  const int value = word.toInt();
  return value >= low && value <= high ? value : -1;
}

class CueReader {
 public:
  CueReader(const QString& folder, const ImageFileProbe& probe) : folder_(folder), probe_(RememberingProbe(probe)) {}

  ImageLayoutResult Read(const QList<CueLine>& lines) {
    for (const CueLine& line : lines) {
      line_ = line.number;
      if (const auto problem = Take(line)) return ImageLayoutResult::Failure(ImageLayoutCode::Refused, *problem);
    }
    if (const auto problem = EndOfSheet()) return ImageLayoutResult::Failure(ImageLayoutCode::Refused, *problem);
    return builder_.Finish();
  }

 private:
  using Problem = std::optional<QString>;

  ImageTrack* Track() { return builder_.Layout().tracks.empty() ? nullptr : &builder_.Layout().tracks.back(); }

  Problem Take(const CueLine& line) {
    const QString& keyword = line.keyword;
    if (keyword == QLatin1String("FILE")) return File(line);
    if (keyword == QLatin1String("TRACK")) return NewTrack(line);
    if (keyword == QLatin1String("INDEX")) return Index(line);
    if (keyword == QLatin1String("PREGAP") || keyword == QLatin1String("POSTGAP")) return Gap(line);
    Metadata(line);
    return std::nullopt;
  }

  void Metadata(const CueLine& line) {
    DiscImageLayout& disc = builder_.Layout();
    ImageTrack* track = Track();
    const QString value = line.Value();
    if (line.keyword == QLatin1String("TITLE")) (track ? track->title : disc.title) = value;
    if (line.keyword == QLatin1String("PERFORMER")) (track ? track->performer : disc.performer) = value;
    if (line.keyword == QLatin1String("SONGWRITER")) (track ? track->songwriter : disc.songwriter) = value;
    if (line.keyword == QLatin1String("CATALOG")) disc.catalog = value;
    if (line.keyword == QLatin1String("ISRC") && track) track->isrc = value;
    if (line.keyword == QLatin1String("FLAGS") && track) {
      for (const QString& flag : line.words) {
        track->copy_permitted |= flag.compare(QLatin1String("DCP"), Qt::CaseInsensitive) == 0;
        track->four_channel |= flag.compare(QLatin1String("4CH"), Qt::CaseInsensitive) == 0;
        track->pre_emphasis |= flag.compare(QLatin1String("PRE"), Qt::CaseInsensitive) == 0;
      }
    }
    if (line.keyword == QLatin1String("REM") && !line.words.isEmpty()) {
      const QString field = line.words.front().toUpper();
      const QString rest = line.RemValue();
      if (field == QLatin1String("GENRE")) disc.genre = rest;
      if (field == QLatin1String("DATE")) disc.date = rest;
      if (field == QLatin1String("DISCID")) disc.disc_id = rest;
      if (field == QLatin1String("COMMENT")) disc.comment = rest;
    }
  }

  Problem File(const CueLine& line) {
    if (const auto problem = EndOfFile()) return problem;
    const auto [name, type] = line.FileNameAndType();
    if (name.isEmpty()) return StringTable::Format(text::kCueBadFile, {line_});
    const ResolvedDataFile resolved = ResolveDataFile(name, folder_, type.toUpper(), probe_);
    if (const auto problem = DataFileProblem(line_, name, resolved.facts)) return problem;
    file_ = builder_.AddFile(resolved.path, resolved.facts);
    file_name_ = name;
    facts_ = resolved.facts;
    file_frame_ = 0;
    file_pos_ = 0;
    file_has_track_ = false;
    return std::nullopt;
  }

  Problem NewTrack(const CueLine& line) {
    if (file_ < 0) return StringTable::Format(text::kCueTrackBeforeFile, {line_});
    if (line.words.size() < 2) return StringTable::Format(text::kCueBadTrack, {line_});
    const int number = ParseNumber(line.words[0], 1, kImageMaxTracks);
    if (number < 0) return StringTable::Format(text::kCueBadTrack, {line_});
    const TrackType* type = FindTrackType(line.words[1]);
    if (!type) return StringTable::Format(text::kCueUnknownTrackType, {line_, line.words[1]});
    if (const auto problem = EndOfTrack()) return problem;
    if (ImageTrack* previous = Track(); previous && number != previous->number + 1)
      return StringTable::Format(text::kCueTrackNumberOrder, {line_, number, previous->number});
    if (!type->audio && facts_.kind == ImageFileKind::Decoded)
      return StringTable::Format(text::kDataTrackInAudioFile, {line_, number, file_name_});
    ImageTrack track;
    track.number = number;
    track.audio = type->audio;
    builder_.Layout().tracks.push_back(track);
    track_type_ = type;
    track_first_in_file_ = !file_has_track_;
    file_has_track_ = true;
    last_index_ = -1;
    pregap_frames_ = 0;
    return std::nullopt;
  }

  Problem Gap(const CueLine& line) {
    const qint64 frames = line.words.isEmpty() ? -1 : ParseMsf(line.words[0]);
    if (frames < 0) return StringTable::Format(text::kCueBadTime, {line_, line.keyword});
    const bool pregap = line.keyword == QLatin1String("PREGAP");
    if (!Track() || (pregap && last_index_ >= 0))
      return StringTable::Format(text::kCueGapMisplaced, {line_, line.keyword});
    (pregap ? pregap_frames_ : postgap_frames_) = frames;
    return std::nullopt;
  }

  Problem Index(const CueLine& line) {
    const int number = line.words.size() < 2 ? -1 : ParseNumber(line.words[0], 0, 99);
    const qint64 frame = number < 0 ? -1 : ParseMsf(line.words[1]);
    if (frame < 0) return StringTable::Format(text::kCueBadIndex, {line_});
    ImageTrack* track = Track();
    if (!track) return StringTable::Format(text::kCueIndexBeforeTrack, {line_});
    const bool expected = last_index_ < 0 ? number <= 1 : number == last_index_ + 1;
    if (!expected) return StringTable::Format(text::kCueIndexNumberOrder, {line_, number, track->number});
    if (frame < file_frame_) return StringTable::Format(text::kCueIndexBackwards, {line_, number, track->number});
    if (last_index_ < 0) {
      if (const auto problem = BeginTrack(track_first_in_file_ ? file_frame_ : frame)) return problem;
    }
    if (const auto problem = AppendFileUpTo(frame)) return problem;
    const qint64 lsn = builder_.Lsn();
    if (number == 1) track->start = lsn;
    if (number >= 2) {
      if (lsn <= (track->indexes.empty() ? track->start : track->indexes.back()))
        return StringTable::Format(text::kCueIndexBackwards, {line_, number, track->number});
      track->indexes.push_back(lsn);
    }
    last_index_ = number;
    file_has_track_ = true;
    return std::nullopt;
  }

  // The track's pregap starts where its first data in the current file begins: at the file's
  // start for the first track of a file, else at its first INDEX.
  Problem BeginTrack(qint64 frame) {
    if (const auto problem = AppendFileUpTo(frame)) return problem;
    if (!AppendSilenceFrames(postgap_frames_)) return std::nullopt;
    postgap_frames_ = 0;
    Track()->pregap = builder_.Lsn();
    AppendSilenceFrames(pregap_frames_);
    region_ = track_type_;
    return std::nullopt;
  }

  bool AppendSilenceFrames(qint64 frames) { return builder_.AppendSilence(frames * kImageSectorSamples); }

  // Appends the current file's data from where it stopped to `frame`, in sectors of the track
  // that owns that data.
  Problem AppendFileUpTo(qint64 frame) {
    const qint64 frames = frame - file_frame_;
    if (frames == 0 || builder_.TooLong()) return std::nullopt;
    const bool decoded = facts_.kind == ImageFileKind::Decoded;
    const qint64 units = frames * (decoded ? kImageSectorSamples : region_->sector_bytes);
    const qint64 available = decoded ? facts_.samples : facts_.audio_bytes;
    if (frames > kImageMaxSectors + 1 || units > available - file_pos_)
      return StringTable::Format(text::kPositionPastFileEnd, {line_, MsfText(frame), file_name_});
    AppendUnits(units);
    file_frame_ = frame;
    return std::nullopt;
  }

  // Appends `units` (bytes, or samples of a decoded file) of the current file.
  void AppendUnits(qint64 units) {
    if (facts_.kind == ImageFileKind::Decoded) {
      builder_.AppendAudio(file_, file_pos_, units);
    } else if (region_->audio) {
      builder_.AppendAudio(file_, facts_.audio_offset + file_pos_, units / 4);
    } else {
      const qint64 sectors = (units + region_->sector_bytes - 1) / region_->sector_bytes;
      builder_.AppendData(file_, facts_.audio_offset + file_pos_, sectors);
    }
    file_pos_ += units;
  }

  Problem EndOfFile() {
    if (file_ < 0) return std::nullopt;
    const bool decoded = facts_.kind == ImageFileKind::Decoded;
    const qint64 rest = (decoded ? facts_.samples : facts_.audio_bytes) - file_pos_;
    if (rest > 0 && !builder_.TooLong()) AppendUnits(rest);
    builder_.PadToSector();
    return std::nullopt;
  }

  Problem EndOfTrack() {
    if (const ImageTrack* track = Track(); track && last_index_ < 1)
      return StringTable::Format(text::kCueNoIndex01, {track->number});
    return std::nullopt;
  }

  Problem EndOfSheet() {
    if (const auto problem = EndOfTrack()) return problem;
    if (const auto problem = EndOfFile()) return problem;
    AppendSilenceFrames(postgap_frames_);
    return std::nullopt;
  }

  const QString& folder_;
  const ImageFileProbe probe_;
  LayoutBuilder builder_;
  int line_ = 0;
  // The current file and how far into it the disc has come.
  int file_ = -1;
  QString file_name_;
  ImageFileFacts facts_;
  qint64 file_frame_ = 0;
  qint64 file_pos_ = 0;          // bytes after the audio offset, or samples of a decoded file
  bool file_has_track_ = false;  // a TRACK line or an INDEX came since the FILE line
  // The current track, and the type of the track whose data is being appended.
  const TrackType* track_type_ = &kTrackTypes[0];
  const TrackType* region_ = &kTrackTypes[0];
  bool track_first_in_file_ = false;
  int last_index_ = -1;
  qint64 pregap_frames_ = 0;
  qint64 postgap_frames_ = 0;
};

}  // namespace

ImageLayoutResult ReadCueSheet(const QByteArray& sheet, const QString& folder, const ImageFileProbe& probe) {
  return CueReader(folder, probe).Read(SplitCueLines(sheet));
}

}  // namespace corvane
