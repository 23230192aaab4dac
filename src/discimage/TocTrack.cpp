// The statements of one track of a cdrdao table, and cdrdao's arithmetic over them.
#include <QRegularExpression>

#include "common/StringTable.h"
#include "common/strings/DiscImageText.h"
#include "discimage/SheetText.h"
#include "discimage/TocReader.h"

namespace corvane {
namespace {

constexpr TocReader::TrackMode kTrackModes[] = {
    {"AUDIO", 2352, true},        {"MODE0", 2336, false},          {"MODE1", 2048, false},
    {"MODE1_RAW", 2352, false},   {"MODE2", 2336, false},          {"MODE2_FORM1", 2048, false},
    {"MODE2_FORM2", 2324, false}, {"MODE2_FORM_MIX", 2336, false}, {"MODE2_RAW", 2352, false}};
constexpr int kSubChannelBytes = 96;

std::optional<TocReader::Length> ParseLength(const TocToken& token) {
  if (token.kind != TocToken::Kind::Word) return std::nullopt;
  static const QRegularExpression kCount(QStringLiteral("^\\d{1,15}$"));
  const QString word = QString::fromLatin1(token.text);
  if (const qint64 sectors = ParseMsf(word); sectors >= 0) return TocReader::Length{sectors, true};
  if (kCount.match(word).hasMatch()) return TocReader::Length{word.toLongLong(), false};
  return std::nullopt;
}

qint64 CeilDiv(qint64 value, qint64 by) { return (value + by - 1) / by; }

}  // namespace

std::optional<TocReader::Length> TocReader::TakeLength() {
  const auto length = ParseLength(Peek());
  if (length) Next();
  return length;
}

// A length in samples: an audio track counts samples, a data track bytes, mm:ss:ff sectors.
qint64 TocReader::SamplesOf(const Length& length) const {
  if (length.msf) return length.value * kImageSectorSamples;
  if (mode_->audio) return length.value;
  return CeilDiv(length.value, block_bytes_) * kImageSectorSamples;
}

TocReader::Problem TocReader::ReadTrack() {
  const int line = Next().line;  // TRACK
  if (builder_.Layout().tracks.size() >= static_cast<size_t>(kImageMaxTracks))
    return StringTable::Format(text::kTocTooManyTracks, {line});
  mode_ = nullptr;
  for (const TrackMode& mode : kTrackModes) {
    if (At(mode.name)) mode_ = &mode;
  }
  if (!mode_) return StringTable::Format(text::kTocUnknownMode, {Peek().line, DecodeSheetText(Peek().text).left(40)});
  Next();
  block_bytes_ = mode_->block_bytes;
  if (At("RW") || At("RW_RAW")) {
    if (mode_->audio) return StringTable::Format(text::kTocSubChannelAudio, {line});
    block_bytes_ += kSubChannelBytes;
    Next();
  }
  ImageTrack track;
  track.number = static_cast<int>(builder_.Layout().tracks.size()) + 1;
  track.audio = mode_->audio;
  builder_.Layout().tracks.push_back(track);
  first_sample_ = builder_.Samples();
  start_sectors_ = -1;
  indexes_.clear();
  while (!At("TRACK") && Peek().kind != TocToken::Kind::End) {
    if (const auto problem = TrackStatement()) return problem;
    if (builder_.TooLong()) return std::nullopt;  // refused as too long when finished
  }
  return FinishTrack();
}

TocReader::Problem TocReader::TrackStatement() {
  if (At("SILENCE") || At("ZERO")) return Silence();
  if (At("FILE") || At("AUDIOFILE") || At("DATAFILE")) return File();
  if (At("START") || At("PREGAP")) return Start();
  if (At("FIFO")) return StringTable::Format(text::kTocNoStream, {Peek().line, QStringLiteral("FIFO")});
  if (At("INDEX")) {
    const int line = Next().line;
    const auto at = TakeLength();
    if (!at || !at->msf) return StringTable::Format(text::kTocBadLength, {line, QStringLiteral("INDEX")});
    indexes_.emplace_back(line, at->value);
    return std::nullopt;
  }
  if (At("CD_TEXT")) {
    Next();
    ImageTrack& track = Track();
    return CdText(
        {&track.title, &track.performer, &track.songwriter, &track.composer, &track.arranger, &track.message});
  }
  return Flag();
}

TocReader::Problem TocReader::Flag() {
  ImageTrack& track = Track();
  const bool negated = At("NO");
  if (negated) Next();
  if (At("COPY")) {
    track.copy_permitted = !negated;
  } else if (At("PRE_EMPHASIS")) {
    track.pre_emphasis = !negated;
  } else if (!negated && (At("TWO_CHANNEL_AUDIO") || At("FOUR_CHANNEL_AUDIO"))) {
    track.four_channel = At("FOUR_CHANNEL_AUDIO");
  } else if (!negated && At("ISRC")) {
    Next();
    if (Peek().kind != TocToken::Kind::String) return Unexpected();
    track.isrc = DecodeSheetText(Peek().text);
  } else {
    return Unexpected();
  }
  Next();
  return std::nullopt;
}

// START [mm:ss:ff]: INDEX 01 lies that far into the track's data, or where the data read so far
// ends. PREGAP mm:ss:ff: that much silence, then START.
TocReader::Problem TocReader::Start() {
  const bool pregap = At("PREGAP");
  start_line_ = Next().line;
  if (start_sectors_ >= 0) return StringTable::Format(text::kTocStartTwice, {start_line_});
  const auto length = TakeLength();
  if ((pregap && !length) || (length && !length->msf))
    return StringTable::Format(text::kTocBadLength,
                               {start_line_, pregap ? QStringLiteral("PREGAP") : QStringLiteral("START")});
  if (pregap) {
    if (builder_.Samples() != first_sample_) return StringTable::Format(text::kTocPregapLate, {start_line_});
    builder_.AppendSilence(length->value * kImageSectorSamples);
  }
  start_sectors_ = length && !pregap ? length->value : CeilDiv(builder_.Samples() - first_sample_, kImageSectorSamples);
  return std::nullopt;
}

TocReader::Problem TocReader::Silence() {
  const QString keyword = QString::fromLatin1(Next().text).toUpper();
  const int line = Peek().line;
  // ZERO may name a data mode and a sub-channel mode before its length.
  while (keyword == QLatin1String("ZERO") && Peek().kind == TocToken::Kind::Word && !ParseLength(Peek())) Next();
  const auto length = TakeLength();
  if (!length) return StringTable::Format(text::kTocBadLength, {line, keyword});
  builder_.AppendSilence(SamplesOf(*length));
  return std::nullopt;
}

// FILE|AUDIOFILE "name" [#byte-offset] start [length], DATAFILE "name" [#byte-offset] [length].
TocReader::Problem TocReader::File() {
  const bool data_file = At("DATAFILE");
  const int line = Next().line;
  if (Peek().kind != TocToken::Kind::String) return Unexpected();
  const QString name = DecodeSheetText(Next().text);
  if (name == QLatin1String("-")) return StringTable::Format(text::kTocNoStream, {line, name});
  qint64 byte_offset = 0;
  if (Peek().kind == TocToken::Kind::Hash) {
    Next();
    const auto offset = TakeLength();
    if (!offset || offset->msf) return StringTable::Format(text::kTocBadLength, {line, QStringLiteral("#")});
    byte_offset = offset->value;
  }
  std::optional<Length> start;
  if (!data_file) {
    start = TakeLength();
    if (!start) return StringTable::Format(text::kTocBadLength, {line, QStringLiteral("FILE")});
  }
  const std::optional<Length> length = TakeLength();
  ResolvedDataFile file =
      ResolveDataFile(name, folder_, data_file ? QStringLiteral("DATAFILE") : QStringLiteral("AUDIOFILE"), probe_);
  if (const auto problem = DataFileProblem(line, name, file.facts)) return problem;
  // cdrdao's raw audio files hold big-endian samples; WAVE files little-endian ones.
  if (file.facts.kind == ImageFileKind::Binary) file.facts.kind = ImageFileKind::Motorola;
  if (!mode_->audio) {
    const qint64 skipped = !start ? 0 : start->msf ? start->value * block_bytes_ : start->value;
    return AppendDataFile(line, name, file, byte_offset + skipped, length);
  }
  const qint64 first = !start ? 0 : start->msf ? start->value * kImageSectorSamples : start->value;
  return AppendAudioFile(line, name, file, byte_offset, first, length);
}

TocReader::Problem TocReader::AppendAudioFile(int line, const QString& name, const ResolvedDataFile& file,
                                              qint64 byte_offset, qint64 start, std::optional<Length> length) {
  const bool decoded = file.facts.kind == ImageFileKind::Decoded;
  if (decoded && byte_offset != 0) return StringTable::Format(text::kTocByteOffsetDecoded, {line, name});
  if (byte_offset > file.facts.audio_bytes && !decoded)
    return StringTable::Format(text::kPositionPastFileEnd, {line, QStringLiteral("#%1").arg(byte_offset), name});
  const qint64 available = decoded ? file.facts.samples : (file.facts.audio_bytes - byte_offset) / 4;
  const qint64 wanted = length && length->value > 0 ? SamplesOf(*length) : available - start;
  if (start > available || wanted > available - start)
    return StringTable::Format(text::kPositionPastFileEnd,
                               {line, MsfText((std::min(start, available) + wanted) / kImageSectorSamples), name});
  const int index = builder_.AddFile(file.path, file.facts);
  const qint64 offset = decoded ? start : file.facts.audio_offset + byte_offset + start * 4;
  builder_.AppendAudio(index, offset, wanted);
  return std::nullopt;
}

TocReader::Problem TocReader::AppendDataFile(int line, const QString& name, const ResolvedDataFile& file,
                                             qint64 byte_offset, std::optional<Length> length) {
  if (file.facts.kind == ImageFileKind::Decoded)
    return StringTable::Format(text::kDataTrackInAudioFile, {line, Track().number, name});
  const qint64 available = file.facts.audio_bytes - byte_offset;
  const qint64 bytes = !length ? available : length->msf ? length->value * block_bytes_ : length->value;
  if (available < 0 || bytes > available)
    return StringTable::Format(text::kPositionPastFileEnd,
                               {line, QStringLiteral("#%1").arg(byte_offset + bytes), name});
  const int index = builder_.AddFile(file.path, file.facts);
  builder_.AppendData(index, file.facts.audio_offset + byte_offset, CeilDiv(bytes, block_bytes_));
  return std::nullopt;
}

// Pads the track to a whole sector and places INDEX 01 and the further indexes in it.
TocReader::Problem TocReader::FinishTrack() {
  builder_.PadToSector();
  ImageTrack& track = Track();
  const qint64 first = first_sample_ / kImageSectorSamples;
  const qint64 sectors = builder_.Lsn() - first;
  const qint64 before = std::max<qint64>(start_sectors_, 0);
  if (start_sectors_ > 0 && start_sectors_ >= sectors)
    return StringTable::Format(text::kTocStartPastData, {start_line_, track.number});
  track.pregap = first;
  track.start = first + before;
  qint64 last = 0;
  for (const auto& [line, at] : indexes_) {
    if (at <= last || before + at >= sectors) return StringTable::Format(text::kTocIndexOutside, {line, track.number});
    track.indexes.push_back(track.start + at);
    last = at;
  }
  return std::nullopt;
}

}  // namespace corvane
