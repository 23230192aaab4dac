#pragma once
#include <QString>
#include <optional>

namespace corvane {

// The ReplayGain 2.0 values of one file: gains in dB against the -18 LUFS reference, peaks as
// linear fractions of full scale. The album pair is written only when given.
struct ReplayGainValues {
  double track_gain = 0;
  double track_peak = 0;
  std::optional<double> album_gain;
  std::optional<double> album_peak;
};

// How a file holds its tags: Vorbis comments (FLAC, Ogg Vorbis), APEv2 items (Monkey's Audio,
// Musepack), ID3v2 TXXX frames (MP3), ASF attributes (WMA).
enum class GainTagStyle { None, FlacComments, OggComments, MonkeysApe, MusepackApe, Id3v2, Asf };

// "-6.53 dB": sign, two decimals, " dB".
QString GainText(double gain);
// "0.988212": six decimals.
QString PeakText(double peak);

// Writes REPLAYGAIN_TRACK_GAIN and _PEAK (and the album pair when given) into the finished file
// at `path`, replacing earlier values of those names and keeping every other tag and the audio as
// they are. An MP3 without an ID3v2 tag gets one (ID3v2.3, its ID3v1 tag kept). False when the
// file could not be tagged; true without doing anything for GainTagStyle::None.
bool WriteReplayGainTags(const QString& path, GainTagStyle style, const ReplayGainValues& values);

}  // namespace corvane
