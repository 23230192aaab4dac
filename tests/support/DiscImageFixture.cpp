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

void AppendBe32(QByteArray& bytes, quint32 value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes.append(static_cast<char>((value >> shift) & 0xff));
}

int Bcd(int value) { return value / 10 * 16 + value % 10; }

QString CueText(const DiscPlan& plan, const QString& binName, const std::vector<int>& lsns) {
  QString cue;
  if (!plan.performer.isEmpty()) cue += QStringLiteral("PERFORMER %1\n").arg(Quoted(plan.performer));
  if (!plan.title.isEmpty()) cue += QStringLiteral("TITLE %1\n").arg(Quoted(plan.title));
  cue += QStringLiteral("FILE %1 BINARY\n").arg(Quoted(binName));
  for (size_t i = 0; i < plan.tracks.size(); ++i) {
    const TrackPlan& track = plan.tracks[i];
    cue += QStringLiteral("  TRACK %1 %2\n")
               .arg(static_cast<int>(i + 1), 2, 10, QLatin1Char('0'))
               .arg(!track.data           ? QStringLiteral("AUDIO")
                    : track.mode2Form > 0 ? QStringLiteral("MODE2/2352")
                                          : QStringLiteral("MODE1/2352"));
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

QString TocText(const DiscPlan& plan, const QString& binName, const std::vector<int>& lsns) {
  bool anyData = false;
  bool anyText = !plan.title.isEmpty() || !plan.performer.isEmpty();
  for (const TrackPlan& track : plan.tracks) {
    anyData = anyData || track.data;
    anyText = anyText || !track.title.isEmpty() || !track.performer.isEmpty();
  }
  QString toc = anyData ? QStringLiteral("CD_ROM\n\n") : QStringLiteral("CD_DA\n\n");
  // A disc block must stand before any track's block, even an empty one.
  if (anyText) {
    toc += plan.title.isEmpty() && plan.performer.isEmpty()
               ? QStringLiteral("CD_TEXT {\n  LANGUAGE_MAP { 0 : EN }\n  LANGUAGE 0 {\n  }\n}\n")
               : TocCdText(plan.title, plan.performer, {});
  }
  for (size_t i = 0; i < plan.tracks.size(); ++i) {
    const TrackPlan& track = plan.tracks[i];
    toc += !track.data           ? QStringLiteral("\nTRACK AUDIO\n")
           : track.mode2Form > 0 ? QStringLiteral("\nTRACK MODE2_RAW\n")
                                 : QStringLiteral("\nTRACK MODE1_RAW\n");
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

QByteArray DiscImageFixture::DataSectors(int lsn, int sectors, int mode2Form) {
  QByteArray raw;
  raw.reserve(sectors * kSectorBytes);
  for (int s = 0; s < sectors; ++s) {
    QByteArray sector(kSectorBytes, '\0');
    for (int i = 1; i <= 10; ++i) sector[i] = '\xff';
    const int address = lsn + s + kPregap;
    sector[12] = static_cast<char>(Bcd(address / kFramesPerSecond / 60));
    sector[13] = static_cast<char>(Bcd(address / kFramesPerSecond % 60));
    sector[14] = static_cast<char>(Bcd(address % kFramesPerSecond));
    sector[15] = static_cast<char>(mode2Form > 0 ? 2 : 1);
    int payload = 16;
    if (mode2Form > 0) {
      // The XA subheader, twice: file, channel, submode (form 2 flag 0x20, data 0x08), coding.
      const char submode = static_cast<char>(mode2Form == 2 ? 0x20 : 0x08);
      for (const int at : {16, 20}) sector[at + 2] = submode;
      payload = 24;
    }
    for (int i = payload; i < payload + 2048; ++i) sector[i] = static_cast<char>((i + s * 3) & 0xff);
    raw += sector;
  }
  return raw;
}

DiscImage DiscImageFixture::Build(const QString& name, const DiscPlan& plan) const {
  if (plan.tracks.empty()) Fail(QStringLiteral("a disc image needs a track"));
  DiscImage image{Path(name + QStringLiteral(".cue")),
                  Path(name + QStringLiteral(".toc")),
                  {},
                  Path(name + QStringLiteral(".bin")),
                  {},
                  0,
                  {}};
  QByteArray bin;
  int lsn = 0;
  for (size_t i = 0; i < plan.tracks.size(); ++i) {
    const TrackPlan& track = plan.tracks[i];
    if (track.sectors <= 0) Fail(QStringLiteral("track %1 has no sectors").arg(i + 1));
    image.lsns.push_back(lsn);
    image.tracks.push_back(track.data ? DataSectors(lsn, track.sectors, track.mode2Form)
                                      : TrackPcm(static_cast<int>(i + 1), track.sectors));
    bin += image.tracks.back();
    lsn += track.sectors;
  }
  image.leadoutLsn = lsn;
  const QString binName = name + QStringLiteral(".bin");
  WriteFile(image.bin, bin);
  WriteFile(image.cue, CueText(plan, binName, image.lsns).toUtf8());
  WriteFile(image.toc, TocText(plan, binName, image.lsns).toUtf8());
  return image;
}

DiscImage DiscImageFixture::BuildLayout(const QString& name, const std::vector<int>& lsns, int leadoutLsn) const {
  if (lsns.empty() || leadoutLsn <= lsns.back()) Fail(QStringLiteral("a layout needs tracks before its lead-out"));
  DiscImage image{
      Path(name + QStringLiteral(".cue")), {}, {}, Path(name + QStringLiteral(".bin")), lsns, leadoutLsn, {}};
  QFile bin(image.bin);
  // Sparse: a 22-track layout would otherwise write 700 MB of silence.
  if (!bin.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      !bin.resize(static_cast<qint64>(leadoutLsn) * kSectorBytes))
    Fail(QStringLiteral("cannot write %1: %2").arg(image.bin, bin.errorString()));
  DiscPlan plan;
  for (size_t i = 0; i < lsns.size(); ++i) {
    const int end = i + 1 < lsns.size() ? lsns[i + 1] : leadoutLsn;
    plan.tracks.push_back({end - lsns[i]});
  }
  WriteFile(image.cue, CueText(plan, name + QStringLiteral(".bin"), lsns).toUtf8());
  return image;
}

DiscImage DiscImageFixture::BuildNrg(const QString& name, int sectors) const {
  if (sectors <= 0) Fail(QStringLiteral("a Nero image needs sectors"));
  constexpr quint32 kAudioMode = 7;
  DiscImage image{{}, {}, Path(name + QStringLiteral(".nrg")), {}, {0}, sectors, {TrackPcm(1, sectors)}};
  QByteArray nrg = image.tracks.front();
  const auto footer = static_cast<quint32>(nrg.size());
  // ETNF: byte offset, byte length, mode, first sector, reserved; then END!; then the version
  // 5.0 trailer: reserved, "NERO", the footer's offset.
  nrg += "ETNF";
  AppendBe32(nrg, 20);
  for (const quint32 field : {0u, footer, kAudioMode, 0u, 0u}) AppendBe32(nrg, field);
  nrg += "END!";
  AppendBe32(nrg, 0);
  AppendBe32(nrg, 0);
  nrg += "NERO";
  AppendBe32(nrg, footer);
  WriteFile(image.nrg, nrg);
  return image;
}

}  // namespace corvane::test
