#pragma once
#include <QString>

namespace corvane {

// The longest name of one folder entry that file systems take: 255 bytes of the names'
// encoding (UTF-8 here), whatever the number of characters.
constexpr qsizetype kMaxNameBytes = 255;

// The bytes `name` takes as a file name.
qsizetype NameBytes(const QString& name);

// `text` cut at its end to at most `maxBytes` bytes of a file name, between two characters as a
// reader sees them (never inside a multi-byte sequence, a surrogate pair or a combining
// sequence), blanks at the new end dropped.
QString CutToNameBytes(const QString& text, qsizetype maxBytes);

// One folder entry's name: `stem` followed by `tail` (an extension, a " (2).flac"), the stem cut
// so that the whole fits in kMaxNameBytes. The tail is kept whole.
QString FitName(const QString& stem, const QString& tail);

// `path` with " (n)" before its extension ("a/x.flac" gives "a/x (2).flac"), its name cut to
// fit when needed.
QString NumberedPath(const QString& path, int n);

}  // namespace corvane
