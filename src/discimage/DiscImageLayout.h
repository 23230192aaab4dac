#pragma once
#include <QString>
#include <QtGlobal>
#include <functional>
#include <vector>

#include "common/Result.h"

namespace corvane {

// A disc image as its description (cue sheet, cdrdao table, Nero chunks) lays it out: the data
// files it reads from, the stretches of audio the disc is made of, in play order, and the tracks
// with their positions. Positions are sectors of 2352 bytes (588 stereo samples) counted from the
// start of the program area as the image holds it: LSN 0 is the first sector of the first span
// (the 150-sector pregap every disc starts with is never in an image). Track 1 starts at LSN 0
// unless the image holds a pregap before its INDEX 01 (hidden track one audio, or a PREGAP).

constexpr int kImageSectorBytes = 2352;
constexpr int kImageSectorSamples = 588;
constexpr int kImageMaxTracks = 99;
// The longest program area a CD can hold (99 minutes); a longer image is refused.
constexpr qint64 kImageMaxSectors = 99LL * 60 * 75;

// How a data file holds its audio, found from its content (a sheet's file type word is a hint
// only: real sheets write WAVE for FLAC files).
enum class ImageFileKind {
  Binary,    // raw 16-bit stereo little-endian samples (a .bin)
  Motorola,  // raw 16-bit stereo big-endian samples
  Wave,      // RIFF WAVE, 44100 Hz 16-bit stereo PCM; audio from `audio_offset` on
  Decoded,   // any other audio file the engine decodes (FLAC, Monkey's Audio, WavPack, ...)
};

// What probing found in a data file that a description names.
struct ImageFileFacts {
  enum class Problem {
    None,
    Missing,     // no such file
    NotRegular,  // a FIFO, device, folder...: never opened for reading
    Unreadable,  // exists but cannot be read, or its content is damaged
    NotCdAudio,  // audio, but not 44100 Hz 16-bit stereo
  };
  Problem problem = Problem::None;
  ImageFileKind kind = ImageFileKind::Binary;
  qint64 audio_offset = 0;  // Binary, Motorola, Wave: bytes before the audio
  qint64 audio_bytes = 0;   // Binary, Motorola, Wave: bytes of audio from audio_offset on
  qint64 samples = 0;       // the audio's length in stereo samples, for every kind
};

// Probes the data file at `path` (absolute); `declared` is the description's type word as given
// ("BINARY", "WAVE", "MOTOROLA", "MP3", "AIFF", "FLAC", "AUDIOFILE", ... upper-cased; empty when
// the description has none). Given to the readers so that they stay pure and fuzzable.
using ImageFileProbe = std::function<ImageFileFacts(const QString& path, const QString& declared)>;

struct ImageDataFile {
  QString path;  // absolute
  ImageFileFacts facts;
};

// One stretch of the disc, in play order; spans follow one another without gaps from LSN 0 to
// the lead-out.
struct ImageSpan {
  enum class Kind {
    Audio,    // samples of `file`
    Silence,  // audio silence that no file holds (PREGAP, POSTGAP, SILENCE, ZERO)
    Data,     // sectors of a data track; never read as audio
  };
  Kind kind = Kind::Silence;
  int file = -1;       // Audio and Data: index into DiscImageLayout::files
  qint64 offset = 0;   // Audio and Data: where the span starts in that file: a byte offset
                       // from the file's start for Binary, Motorola and Wave files (header
                       // included), a sample offset for Decoded files
  qint64 samples = 0;  // length in stereo samples: sectors * 588 for Data spans; Audio and
                       // Silence spans may end inside a sector (a file's last audio, a cdrdao
                       // SILENCE counted in samples, the silence that pads a file's or cdrdao
                       // track's last sector); every track and index still starts on a sector
};

struct ImageTrack {
  int number = 0;     // 1..99, rising
  bool audio = true;  // false: a data track (MODE1/2048, MODE2/2352, ...)
  qint64 start = 0;   // LSN of INDEX 01
  qint64 pregap = 0;  // LSN where the track's pregap (INDEX 00, PREGAP, cdrdao START) begins; == start when none
  std::vector<qint64> indexes;  // LSNs of INDEX 02, 03, ... in order
  QString isrc;
  bool pre_emphasis = false, copy_permitted = false, four_channel = false;
  // CD-TEXT of the track, decoded to Unicode.
  QString title, performer, songwriter, composer, arranger, message;
};

struct DiscImageLayout {
  std::vector<ImageDataFile> files;
  std::vector<ImageSpan> spans;
  std::vector<ImageTrack> tracks;
  qint64 lead_out = 0;  // LSN of the lead-out: the sum of every span, rounded up to a sector
  // Where a second session starts (LSN of its first track), or -1 for a single-session image.
  qint64 last_session_start = -1;
  QString catalog;  // Media Catalogue Number
  // The disc's CD-TEXT and the REM fields rippers write.
  QString title, performer, songwriter, composer, arranger, message;
  QString genre, date, disc_id, comment;
};

enum class ImageLayoutCode { Read = 0, Refused = 1 };
// A layout, or why the description was refused: what is wrong in the user's words, naming the
// offending line or field, ready to follow "could not be opened as a disc image: ".
using ImageLayoutResult = ValueResult<DiscImageLayout, ImageLayoutCode>;

}  // namespace corvane
