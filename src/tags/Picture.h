#pragma once
#include <QByteArray>
#include <QString>
#include <vector>

namespace corvane {

// A picture kept in a tag: its bytes, MIME type, description and ID3v2/FLAC picture type
// (3 the front cover).
struct Picture {
  static constexpr int kFrontCover = 3;
  static constexpr int kOther = 0;

  QByteArray data;
  QString mime;
  QString description;
  int type = kFrontCover;
};

using Pictures = std::vector<Picture>;

}  // namespace corvane
