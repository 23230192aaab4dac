#pragma once
#include <QString>
#include <QStringList>

namespace corvane {

class CAudioEngine;
class IUserInterface;

// The result of probing one source file for the conversion list.
struct AudioFileDescription {
  bool ok = false;
  qint64 length_ms = 0;
  qint64 size = 0;  // bytes of the audio part of the file (0 for a CD track)
  QString text;     // the one-line "Audio Info." text
};

// Probes `path`: opens it as the conversion list does and builds its description. A file the
// engine cannot load is reported to the user through `ui` and gives a failed result.
AudioFileDescription DescribeAudioFile(const CAudioEngine& engine, const QString& path, IUserInterface& ui);

// What a Windows Media attribute block says about the bitrate.
struct WmaBitrateInfo {
  bool present = false;  // the block names a bitrate
  bool vbr = false;      // ISVBR is set and not "0"
  int kbps = 0;          // BITRATE / 1000
};
WmaBitrateInfo ParseWmaBitrate(const QStringList& block);

}  // namespace corvane
