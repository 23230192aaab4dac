#pragma once
#include <QString>

namespace corvane {

// The ID3v1 genre list with its common extensions: 148 names, index 0 "Blues" to 147 "SynthPop",
// spelled as players have always shown them.
class Id3Genres {
 public:
  static constexpr int kCount = 148;
  static constexpr int kNone = 255;  // genre byte of a tag without a genre

  // The name of genre `index`; empty outside 0..147.
  static QString Name(int index);
  // Index of the first name equal to `text` without regard to case; kNone when none is.
  static int IndexOf(const QString& text);
};

}  // namespace corvane
