#include "encoding/ReplayGain.h"

#include <QFileInfo>
#include <array>
#include <utility>

namespace corvane {
namespace {

constexpr std::array<std::pair<FormatCode, GainTagStyle>, 6> kStyles = {{
    {FormatCode::Mp3, GainTagStyle::Id3v2},
    {FormatCode::Ogg, GainTagStyle::OggComments},
    {FormatCode::Wma, GainTagStyle::Asf},
    {FormatCode::Flac, GainTagStyle::FlacComments},
    {FormatCode::Ape, GainTagStyle::MonkeysApe},
    {FormatCode::Musepack, GainTagStyle::MusepackApe},
}};

}  // namespace

GainTagStyle GainTagStyleOf(FormatCode format) {
  for (const auto& [code, style] : kStyles) {
    if (code == format) return style;
  }
  return GainTagStyle::None;
}

FormatCode FormatOfExtension(const QString& path) {
  const QString suffix = QLatin1Char('.') + QFileInfo(path).suffix();
  for (const OutputFormatInfo& format : catalogue::kFormats) {
    if (suffix.compare(QLatin1String(format.extension), Qt::CaseInsensitive) == 0) return format.code;
  }
  return FormatCode::None;
}

double GainFor(const Loudness& loudness) { return kReplayGainReference - loudness.integrated; }

ReplayGainValues TrackValues(const Loudness& loudness) {
  ReplayGainValues values;
  values.track_gain = GainFor(loudness);
  values.track_peak = loudness.true_peak;
  return values;
}

void ReplayGainAlbums::Add(const QString& album, const QString& path, FormatCode format,
                           std::unique_ptr<LoudnessMeter> meter) {
  if (!meter) return;
  Kept kept{File{path, format, meter->Result()}, std::move(meter)};
  const std::lock_guard lock(mutex_);
  albums_[album].push_back(std::move(kept));
}

std::vector<ReplayGainAlbums::Album> ReplayGainAlbums::WriteAlbumTags(QStringList& failed) {
  std::map<QString, std::vector<Kept>> albums;
  {
    const std::lock_guard lock(mutex_);
    albums.swap(albums_);
  }
  std::vector<Album> written;
  for (auto& [name, kept] : albums) {
    Album album;
    album.name = name;
    std::vector<const LoudnessMeter*> meters;
    for (const Kept& one : kept) {
      if (one.file.track.measured) meters.push_back(one.meter.get());
      album.files.push_back(one.file);
    }
    album.loudness = LoudnessMeter::Together(meters);
    if (album.loudness.measured) {
      for (const File& file : album.files) {
        if (!file.track.measured) continue;  // silence: no track gain either
        ReplayGainValues values = TrackValues(file.track);
        values.album_gain = GainFor(album.loudness);
        values.album_peak = album.loudness.true_peak;
        if (!WriteReplayGainTags(file.path, GainTagStyleOf(file.format), values)) failed << file.path;
      }
    }
    written.push_back(std::move(album));
  }
  return written;
}

ReplayGainTrack::ReplayGainTrack(ReplayGainMode mode, FormatCode format, int rate, int channels)
    : mode_(mode), format_(format) {
  if (mode != ReplayGainMode::Off) {
    meter_ = std::make_unique<LoudnessMeter>(rate, channels);
    background_ = std::make_unique<BackgroundPcmTap>(*meter_);
  }
}

Loudness ReplayGainTrack::Result() const {
  if (!meter_) return handed_over_;
  background_->Drain();
  return meter_->Result();
}

bool ReplayGainTrack::TagTrack(const QString& path) const {
  const Loudness loudness = Result();
  if (!loudness.measured) return true;
  return WriteReplayGainTags(path, GainTagStyleOf(format_), TrackValues(loudness));
}

void ReplayGainTrack::KeepForAlbum(ReplayGainAlbums* albums, const QString& album, const QString& finalPath) {
  if (albums == nullptr || mode_ != ReplayGainMode::Album || !meter_) return;
  handed_over_ = Result();
  background_.reset();
  albums->Add(album, finalPath, format_, std::move(meter_));
}

}  // namespace corvane
