#include "support/DiscImageFixture.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace corvane::test {
namespace {

constexpr int kFramesPerSecond = 75;
constexpr int kSamplesPerSector = 588;  // stereo frames of 16-bit samples in 2352 bytes
constexpr int kPregap = 150;

[[noreturn]] void Fail(const QString& what) { throw std::runtime_error(qPrintable(what)); }

QString Msf(int sectors) {
  return QStringLiteral("%1:%2:%3")
      .arg(sectors / kFramesPerSecond / 60, 2, 10, QLatin1Char('0'))
      .arg(sectors / kFramesPerSecond % 60, 2, 10, QLatin1Char('0'))
      .arg(sectors % kFramesPerSecond, 2, 10, QLatin1Char('0'));
}

QString Quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
    Fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

void AppendLe16(QByteArray& bytes, int value) {
  bytes.append(static_cast<char>(value & 0xff));
  bytes.append(static_cast<char>((value >> 8) & 0xff));
}

int Bcd(int value) { return value / 10 * 16 + value % 10; }

QString CueText(const DiscSpec& spec, const QString& binName, const std::vector<int>& lsns) {
  QString cue;
  if (!spec.performer.isEmpty()) cue += QStringLiteral("PERFORMER %1\n").arg(Quoted(spec.performer));
  if (!spec.title.isEmpty()) cue += QStringLiteral("TITLE %1\n").arg(Quoted(spec.title));
  cue += QStringLiteral("FILE %1 BINARY\n").arg(Quoted(binName));
  for (size_t i = 0; i < spec.tracks.size(); ++i) {
    const DiscTrackSpec& track = spec.tracks[i];
    cue += QStringLiteral("  TRACK %1 %2\n")
               .arg(static_cast<int>(i + 1), 2, 10, QLatin1Char('0'))
               .arg(track.data ? QStringLiteral("MODE1/2352") : QStringLiteral("AUDIO"));
    if (!track.title.isEmpty()) cue += QStringLiteral("    TITLE %1\n").arg(Quoted(track.title));
    if (!track.performer.isEmpty()) cue += QStringLiteral("    PERFORMER %1\n").arg(Quoted(track.performer));
    cue += QStringLiteral("    INDEX 01 %1\n").arg(Msf(lsns[i]));
  }
  return cue;
}

QString TocCdText(const QString& title, const QString& performer, const QString& indent) {
  if (title.isEmpty() && performer.isEmpty()) return {};
  QString block = indent + QStringLiteral("CD_TEXT {\n");
  if (indent.isEmpty()) block += QStringLiteral("  LANGUAGE_MAP { 0 : EN }\n");
  block += QStringLiteral("  LANGUAGE 0 {\n");
  if (!title.isEmpty()) block += QStringLiteral("    TITLE %1\n").arg(Quoted(title));
  if (!performer.isEmpty()) block += QStringLiteral("    PERFORMER %1\n").arg(Quoted(performer));
  return block + QStringLiteral("  }\n}\n");
}

QString TocText(const DiscSpec& spec, const QString& binName, const std::vector<int>& lsns) {
  bool anyData = false;
  bool anyText = !spec.title.isEmpty() || !spec.performer.isEmpty();
  for (const DiscTrackSpec& track : spec.tracks) {
    anyData = anyData || track.data;
    anyText = anyText || !track.title.isEmpty() || !track.performer.isEmpty();
  }
  QString toc = anyData ? QStringLiteral("CD_ROM\n\n") : QStringLiteral("CD_DA\n\n");
  // A disc block must stand before any track's block, even an empty one.
  if (anyText) {
    toc += spec.title.isEmpty() && spec.performer.isEmpty()
               ? QStringLiteral("CD_TEXT {\n  LANGUAGE_MAP { 0 : EN }\n  LANGUAGE 0 {\n  }\n}\n")
               : TocCdText(spec.title, spec.performer, {});
  }
  for (size_t i = 0; i < spec.tracks.size(); ++i) {
    const DiscTrackSpec& track = spec.tracks[i];
    toc += track.data ? QStringLiteral("\nTRACK MODE1_RAW\n") : QStringLiteral("\nTRACK AUDIO\n");
    toc += TocCdText(track.title, track.performer, QStringLiteral(" "));
    toc += QStringLiteral("FILE %1 %2 %3\n").arg(Quoted(binName), Msf(lsns[i]), Msf(track.sectors));
  }
  return toc;
}

}  // namespace

DiscImageFixture::DiscImageFixture(QString folder) : folder_(std::move(folder)) {
  if (!QDir().mkpath(folder_)) Fail(QStringLiteral("cannot create %1").arg(folder_));
}

QString DiscImageFixture::Path(const QString& name) const { return QDir(folder_).filePath(name); }

QByteArray DiscImageFixture::TrackPcm(int track, int sectors) {
  QByteArray pcm;
  const int frames = sectors * kSamplesPerSector;
  pcm.reserve(frames * 4);
  const double step = 2 * std::numbers::pi * 110.0 * (track + 1) / 44100.0;
  for (int n = 0; n < frames; ++n) {
    AppendLe16(pcm, static_cast<int>(std::lround(9000.0 * std::sin(step * n))));
    AppendLe16(pcm, (n * 7 + track * 4099) & 0xffff);
  }
  return pcm;
}

QByteArray DiscImageFixture::DataSectors(int lsn, int sectors) {
  QByteArray raw;
  raw.reserve(sectors * kSectorBytes);
  for (int s = 0; s < sectors; ++s) {
    QByteArray sector(kSectorBytes, '\0');
    for (int i = 1; i <= 10; ++i) sector[i] = '\xff';
    const int address = lsn + s + kPregap;
    sector[12] = static_cast<char>(Bcd(address / kFramesPerSecond / 60));
    sector[13] = static_cast<char>(Bcd(address / kFramesPerSecond % 60));
    sector[14] = static_cast<char>(Bcd(address % kFramesPerSecond));
    sector[15] = 1;
    for (int i = 16; i < 16 + 2048; ++i) sector[i] = static_cast<char>((i + s * 3) & 0xff);
    raw += sector;
  }
  return raw;
}

DiscImage DiscImageFixture::Build(const QString& name, const DiscSpec& spec) const {
  if (spec.tracks.empty()) Fail(QStringLiteral("a disc image needs a track"));
  DiscImage image{Path(name + QStringLiteral(".cue")),
                  Path(name + QStringLiteral(".toc")),
                  Path(name + QStringLiteral(".bin")),
                  {},
                  0,
                  {}};
  QByteArray bin;
  int lsn = 0;
  for (size_t i = 0; i < spec.tracks.size(); ++i) {
    const DiscTrackSpec& track = spec.tracks[i];
    if (track.sectors <= 0) Fail(QStringLiteral("track %1 has no sectors").arg(i + 1));
    image.lsns.push_back(lsn);
    image.tracks.push_back(track.data ? DataSectors(lsn, track.sectors)
                                      : TrackPcm(static_cast<int>(i + 1), track.sectors));
    bin += image.tracks.back();
    lsn += track.sectors;
  }
  image.leadoutLsn = lsn;
  const QString binName = name + QStringLiteral(".bin");
  WriteFile(image.bin, bin);
  WriteFile(image.cue, CueText(spec, binName, image.lsns).toUtf8());
  WriteFile(image.toc, TocText(spec, binName, image.lsns).toUtf8());
  return image;
}

DiscImage DiscImageFixture::BuildLayout(const QString& name, const std::vector<int>& lsns, int leadoutLsn) const {
  if (lsns.empty() || leadoutLsn <= lsns.back()) Fail(QStringLiteral("a layout needs tracks before its lead-out"));
  DiscImage image{Path(name + QStringLiteral(".cue")), {}, Path(name + QStringLiteral(".bin")), lsns, leadoutLsn, {}};
  QFile bin(image.bin);
  // Sparse: a 22-track layout would otherwise write 700 MB of silence.
  if (!bin.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      !bin.resize(static_cast<qint64>(leadoutLsn) * kSectorBytes))
    Fail(QStringLiteral("cannot write %1: %2").arg(image.bin, bin.errorString()));
  DiscSpec spec;
  for (size_t i = 0; i < lsns.size(); ++i) {
    const int end = i + 1 < lsns.size() ? lsns[i + 1] : leadoutLsn;
    spec.tracks.push_back({end - lsns[i]});
  }
  WriteFile(image.cue, CueText(spec, name + QStringLiteral(".bin"), lsns).toUtf8());
  return image;
}

}  // namespace corvane::test
