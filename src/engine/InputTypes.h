#pragma once
#include <QString>
#include <QStringList>

#include "engine/ChannelInfo.h"
#include "engine/EngineError.h"

namespace corvane {

// Kinds of source file, numbered as stored and compared across the program (there is no 12).
enum class InputType : int {
  Unknown = -1,
  Mpeg = 1,
  Wav = 2,
  OggVorbis = 3,
  Wma = 4,
  Aiff = 5,
  Flac = 6,
  MonkeysAudio = 7,
  Musepack = 8,
  Aac = 9,
  Mp4 = 10,
  Ac3 = 11,
  WavPack = 13,
  Speex = 14,
  AppleLossless = 15,
  CdAudio = 16,
  Tta = 17,
  OptimFrog = 18,
  Adx = 19,
  Aix = 20,
};

// The fixed table of input file types: row 0 stands for all types, rows 1..27 for one extension.
class InputTypes {
 public:
  static constexpr int kRowCount = 28;

  // Extension of row 1..27 ("mp3", ...); empty for any other row.
  static QString Extension(int row);
  // List text of row 0..27 ("All supported audio files", "mp3 files", ...); empty otherwise.
  static QString ListText(int row);
  // Row of a list text (exact, case-sensitive); 0 when none matches.
  static int RowOfListText(const QString& text);
  // The 28 list texts in row order, for a combo box.
  static QStringList ListTexts();
  // Code of the first row whose extension matches, without regard to case; Unknown when none.
  static InputType ByExtension(const QString& extension);
};

// The input type a channel type maps to; Unknown for channel types without one.
InputType InputTypeOfChannel(ChannelType type);

// The type of a file: by its extension, or by its content when the extension is unknown,
// missing, "mpa" or "aac" (an .aac file may hold MP4 data). Fails with the engine's reason when
// the content cannot be read, FileFormat when it is of no type in the table.
EngineResult<InputType> DetectKnownInputType(const QString& path);
// The same, with Unknown for a file that cannot be typed.
InputType DetectInputType(const QString& path);

}  // namespace corvane
