#pragma once
#include <QString>

#include "tags/Picture.h"

namespace corvane {

// The containers an output's pictures are written into.
enum class PictureContainer { None, Mpeg, Flac, OggVorbis, Asf, Ape, Musepack };

// The pictures embedded in the audio file `path`, in the order its tag keeps them: ID3v2 APIC
// frames (MP3, and FLAC files carrying one), FLAC PICTURE blocks, METADATA_BLOCK_PICTURE of Ogg
// Vorbis and Opus, M4A cover art, WM/Picture of WMA, APEv2 "Cover Art (...)" items of Monkey's
// Audio, Musepack and WavPack. The kind is taken from the extension. Nothing is checked here.
Pictures ReadEmbeddedPictures(const QString& path);

// A picture file beside `path` for a source that holds none: cover, folder or front (in that
// order), .jpg, .jpeg or .png, in any letter case. Empty when there is none.
Pictures ReadFolderPicture(const QString& path);

// Adds `pictures` to the finished file `path` of `container`, after its other tags. A Monkey's
// Audio or Musepack file keeps one picture per APEv2 item name, the first of each type.
// False when the file could not be saved.
bool WriteEmbeddedPictures(const QString& path, PictureContainer container, const Pictures& pictures);

}  // namespace corvane
