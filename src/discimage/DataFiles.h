#pragma once
#include <QString>
#include <optional>

#include "discimage/DiscImageLayout.h"

namespace corvane {

struct ResolvedDataFile {
  QString path;  // absolute
  ImageFileFacts facts;
};

// Finds the data file a description names as `name` (`declared`: its type word, upper-cased).
// The name is taken relative to `folder` and never leads out of it: an absolute name, or one whose
// ".." parts climb above the folder, is looked for by its last part in the folder, where rippers
// keep the files beside the sheet. When no such file exists, a file of the same name in another
// letter case is taken, then one of the same base name with another audio extension (sheets
// often name "x.wav" beside the "x.flac" that was encoded from it). Only the probe looks at files.
ResolvedDataFile ResolveDataFile(const QString& name, const QString& folder, const QString& declared,
                                 const ImageFileProbe& probe);

// `probe` remembering its answers: a description may name one file in many FILE statements, and
// a probe may have to decode a file to measure it.
ImageFileProbe RememberingProbe(const ImageFileProbe& probe);

// Why the file that `line` names as `name` cannot serve as a disc's data, or nothing when it can.
std::optional<QString> DataFileProblem(int line, const QString& name, const ImageFileFacts& facts);

}  // namespace corvane
