#pragma once
#include <QString>

namespace corvane {

// Where a converted file goes: the source's title in folder `folder` with the output format's
// extension in upper case (".mp3" gives "song.MP3"). When that would name the source itself
// (letters compared without regard to case), "-New" is added to the title.
QString OutputPathFor(const QString& folder, const QString& sourcePath, const QString& extension);

// The output folder of a file found below a folder row: the output root joined with the file's
// folder relative to the parent of the row's folder, so the row folder's own name and its
// sub-folders are kept. Ends with a separator.
QString MirrorFolder(const QString& outputRoot, const QString& fileFolder, const QString& rowFolder);

// The folder part of a path, without the final separator ("" when there is none).
QString FolderOf(const QString& path);
// The file name part of a path (the whole path when it has no separator).
QString FileNameOf(const QString& path);

}  // namespace corvane
