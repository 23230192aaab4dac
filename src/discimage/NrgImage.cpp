#include "discimage/NrgImage.h"

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"
#include "discimage/CdTextPacks.h"
#include "discimage/LayoutBuilder.h"
#include "discimage/NrgChunks.h"

namespace corvane {
namespace {

constexpr unsigned char kControlPreEmphasis = 0x1, kControlCopyPermitted = 0x2, kControlFourChannel = 0x8;

std::optional<QString> TrackProblem(const NrgTrack& track, int number, qint64 data_bytes) {
  const bool inside = track.index0 >= 0 && track.index0 <= track.index1 && track.index1 <= track.end &&
                      track.end <= data_bytes && track.end > track.index0;
  if (!inside || track.sector_bytes <= 0) return StringTable::Format(text::kNrgTrackOutside, {number});
  if ((track.index1 - track.index0) % track.sector_bytes != 0 || (track.end - track.index1) % track.sector_bytes != 0)
    return StringTable::Format(text::kNrgTrackSectors, {number, track.sector_bytes});
  if (track.audio && track.sector_bytes != kImageSectorBytes)
    return StringTable::Format(text::kNrgSubChannelAudio, {number, track.sector_bytes});
  return std::nullopt;
}

class NrgLayout {
 public:
  NrgLayout(const QString& path, const NrgChunks& chunks) : chunks_(chunks) {
    ImageFileFacts facts;
    facts.kind = ImageFileKind::Binary;
    facts.audio_bytes = chunks.data_bytes;
    facts.samples = chunks.data_bytes / 4;
    file_ = builder_.AddFile(path, facts);
  }

  ImageLayoutResult Build() {
    if (chunks_.tracks.empty()) return RefuseImage(text::kNrgNoTracks, {});
    if (chunks_.tracks.size() > static_cast<size_t>(kImageMaxTracks))
      return RefuseImage(text::kLayoutTooManyTracks, {static_cast<int>(chunks_.tracks.size())});
    for (size_t i = 0; i < chunks_.tracks.size(); ++i) {
      if (const auto problem = AddTrack(chunks_.tracks[i], static_cast<int>(i + 1)))
        return ImageLayoutResult::Failure(ImageLayoutCode::Refused, *problem);
      if (builder_.TooLong()) break;
    }
    AddSessions();
    AddCdText();
    builder_.Layout().catalog = chunks_.catalog;
    return builder_.Finish();
  }

 private:
  std::optional<QString> AddTrack(const NrgTrack& nrg, int number) {
    if (const auto problem = TrackProblem(nrg, number, chunks_.data_bytes)) return problem;
    const auto cue = chunks_.cue_lbas.find({number, 1});
    const std::optional<qint64> lba = cue != chunks_.cue_lbas.end() ? std::optional(cue->second) : nrg.lba;
    const qint64 pregap_sectors = (nrg.index1 - nrg.index0) / nrg.sector_bytes;
    qint64 skipped = 0;  // sectors of the track's data that lie before LBA 0, in the lead pregap
    // A gap the image does not hold (between sessions) belongs to this track's pregap, so that
    // the track before it ends where its data does.
    const qint64 gap_start = builder_.Lsn();
    if (lba) {
      const qint64 first = *lba - pregap_sectors;
      skipped = first < 0 ? std::min(-first, pregap_sectors) : 0;
      if (first + skipped < builder_.Lsn()) return StringTable::Format(text::kNrgTrackOverlap, {number, number - 1});
      builder_.AppendSilence((first + skipped - builder_.Lsn()) * kImageSectorSamples);
    }
    ImageTrack track;
    track.number = number;
    track.audio = nrg.audio;
    track.isrc = nrg.isrc;
    track.pregap = gap_start;
    track.start = builder_.Lsn() + pregap_sectors - skipped;
    const qint64 from = nrg.index0 + skipped * nrg.sector_bytes;
    if (nrg.audio) {
      builder_.AppendAudio(file_, from, (nrg.end - from) / 4);
    } else {
      builder_.AppendData(file_, from, (nrg.end - from) / nrg.sector_bytes);
    }
    AddIndexesAndFlags(track, lba);
    builder_.Layout().tracks.push_back(track);
    return std::nullopt;
  }

  void AddIndexesAndFlags(ImageTrack& track, std::optional<qint64> lba) {
    if (const auto control = chunks_.cue_control.find(track.number); control != chunks_.cue_control.end()) {
      track.pre_emphasis = (control->second & kControlPreEmphasis) != 0;
      track.copy_permitted = (control->second & kControlCopyPermitted) != 0;
      track.four_channel = (control->second & kControlFourChannel) != 0;
    }
    if (!lba) return;
    for (int index = 2; index <= 99; ++index) {
      const auto found = chunks_.cue_lbas.find({track.number, index});
      if (found == chunks_.cue_lbas.end()) break;
      track.indexes.push_back(track.start + (found->second - *lba));
    }
  }

  void AddSessions() {
    if (chunks_.session_tracks.size() < 2) return;
    qint64 before_last = 0;
    for (size_t i = 0; i + 1 < chunks_.session_tracks.size(); ++i) before_last += chunks_.session_tracks[i];
    auto& tracks = builder_.Layout().tracks;
    if (before_last > 0 && before_last < static_cast<qint64>(tracks.size()))
      builder_.Layout().last_session_start = tracks[static_cast<size_t>(before_last)].start;
  }

  void AddCdText() {
    const CdTextPacks text = DecodeCdTextPacks(chunks_.cd_text);
    DiscImageLayout& disc = builder_.Layout();
    const auto copy = [](const CdTextFields& from, auto& to) {
      to.title = from.title;
      to.performer = from.performer;
      to.songwriter = from.songwriter;
      to.composer = from.composer;
      to.arranger = from.arranger;
      to.message = from.message;
    };
    copy(text.disc, disc);
    for (ImageTrack& track : disc.tracks) {
      if (const auto found = text.tracks.find(track.number); found != text.tracks.end()) copy(found->second, track);
    }
  }

  const NrgChunks& chunks_;
  LayoutBuilder builder_;
  int file_ = 0;
};

}  // namespace

ImageLayoutResult ReadNrgImage(const QString& path, qint64 size,
                               const std::function<QByteArray(qint64, qint64)>& read) {
  NrgChunks chunks;
  if (const auto problem = ReadNrgChunks(size, read, chunks))
    return ImageLayoutResult::Failure(ImageLayoutCode::Refused, *problem);
  return NrgLayout(path, chunks).Build();
}

}  // namespace corvane
