#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace corvane {

// A track as a Nero image's chunks describe it: where its data lies in the image file, and where
// it lies on the disc when the chunks say so.
struct NrgTrack {
  qint64 index0 = 0, index1 = 0, end = 0;  // byte offsets in the image file
  int sector_bytes = 0;
  bool audio = true;
  QString isrc;
  std::optional<qint64> lba;  // LBA of INDEX 01 (0 = the first sector after the disc's lead pregap)
};

// What the chunk table of a Nero image holds.
struct NrgChunks {
  qint64 data_bytes = 0;  // bytes before the chunk table: the sectors of every track
  std::vector<NrgTrack> tracks;
  std::map<std::pair<int, int>, qint64> cue_lbas;  // (track, index) -> LBA, from CUES/CUEX
  std::map<int, unsigned char> cue_control;        // track -> control bits of its INDEX 01 entry
  std::vector<int> session_tracks;                 // SINF: tracks of each session
  QByteArray cd_text;                              // CDTX: CD-TEXT packs
  QString catalog;
};

// Finds the footer and walks the chunk table of an image of `size` bytes, every chunk's length
// and entry count checked against the table before anything is taken from it. A refusal is the
// reason, in the user's words.
using NrgRead = std::function<QByteArray(qint64 offset, qint64 length)>;
std::optional<QString> ReadNrgChunks(qint64 size, const NrgRead& read, NrgChunks& chunks);

}  // namespace corvane
