#pragma once
#include <QString>

#include "tags/Picture.h"

namespace corvane {

// The largest picture carried into an output: a FLAC metadata block's length field has 24 bits,
// so a picture block of this size still fits with its header, MIME type and description.
constexpr qsizetype kMaxPictureBytes = 16 * 1024 * 1024 - 64 * 1024;

// Why `picture` must not be written (empty when it may): only whole JPEG, PNG and WebP images
// under kMaxPictureBytes pass. A picture that passes gets the MIME type its bytes show.
QString RefusePicture(Picture& picture);

// Keeps the pictures that pass, in order; `dropped` gets one line per picture left out.
Pictures CheckedPictures(Pictures pictures, QStringList& dropped);

}  // namespace corvane
