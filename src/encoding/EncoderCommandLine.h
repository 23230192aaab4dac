#pragma once
#include <QString>
#include <QStringList>

#include "tags/SourceTags.h"

namespace corvane {

class SettingsStore;

// The program and argument vector of a command-line encoder job. Every argument reaches the
// program as it is (no shell, no quoting), so tag texts can never become options or commands.
struct EncoderCommandLine {
  QString program;  // the program's name, looked for in the program folder and on PATH
  QStringList arguments;

  // flac -f -o <out> [--lax] -<level> <tags> -  (the WAV stream comes on standard input).
  // Tags are "--tag" "NAME=value" pairs for TITLE, ARTIST, ALBUM, GENRE, COMMENT, DATE and
  // TRACKNUMBER, in that order, each only when its text is not empty. `tags` may be null.
  static EncoderCommandLine Flac(const QString& outputPath, bool lax, int level, const SourceTags* tags);
  // mpcenc --overwrite --<preset> <tags> - <out>, tags as for FLAC with "year" and "track" last.
  // An output of "-" is the standard output.
  static EncoderCommandLine Musepack(const QString& preset, const SourceTags* tags, const QString& outputPath);

  // The FLAC level of the settings ("FALC Compression Level", default 5), limited to 0..8 and
  // written back.
  static int StoredFlacLevel(SettingsStore& settings);
  // Whether non-subset streams are allowed ("FALC NON-SUBSET", default 1).
  static bool StoredFlacNonSubset(const SettingsStore& settings);
  // The Musepack preset name of an index, the index limited to the presets' range.
  static QString MusepackPreset(int index);
};

}  // namespace corvane
