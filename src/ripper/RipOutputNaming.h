#pragma once
#include <QString>

#include "formats/OutputFormatCatalogue.h"

namespace corvane {

// What the output-name pattern of a ripped track draws on: the row's title and number (row
// index + 1) and the disc's artist and album.
struct RipNameFields {
  QString title;
  int number = 1;
  QString artist;
  QString album;
};

// The output-name pattern split at its last folder separator ("\" or "/"): the folder part up to
// and including it, the file part after it. Without a separator the folder part is empty.
struct RipPatternParts {
  QString folder;
  QString file;
};
RipPatternParts SplitRipPattern(const QString& pattern);

// Character cleaning of a value that becomes part of a path: blanks trimmed; / * ? " < > | and
// control characters become "_"; in a value that is not a whole folder path also \ and :.
QString CleanRipNameValue(const QString& value, bool wholeFolderPath);

// The folder a track goes to: `outputFolder` joined with the folder part of the pattern, %T %N %A
// %M replaced (an empty title, artist or album by `defaultWord`). Every folder name that the
// pattern yields is cleaned and cut to the longest name a folder may have, and one that would be
// empty or only dots becomes `defaultWord`, so the result always lies inside `outputFolder`.
QString RipFolderPath(const QString& outputFolder, const QString& folderPattern, const RipNameFields& fields,
                      const QString& defaultWord = QStringLiteral("Unknown"));

// The full path of a track's file in `folder`: the file part of the pattern with %T %N %A %M
// replaced (empty values by nothing), cleaned as one name, "_" when that leaves nothing but dots
// or blanks, and the format's extension in lower case; the name is cut before the extension to
// the longest a file may have.
QString RipFilePath(const QString& folder, const QString& filePattern, const RipNameFields& fields, FormatCode format);

}  // namespace corvane
