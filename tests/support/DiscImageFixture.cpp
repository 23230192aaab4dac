#include "support/DiscImageFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

#include "support/ToolRunner.h"

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

void AppendBe(QByteArray& bytes, quint64 value, int width) {
  for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) bytes.append(static_cast<char>((value >> shift) & 0xff));
}

QByteArray Chunk(const char* id, const QByteArray& data) {
  QByteArray chunk(id);
  AppendBe(chunk, static_cast<quint64>(data.size()), 4);
  return chunk + data;
}

// 18-byte CD-TEXT packs of one type: the disc's string, then each track's, NUL-ended, 12 bytes a
// pack; a string equal to the one before it is written as a TAB.
QByteArray CdTextPacks(int type, const QStringList& strings, int& sequence) {
  QByteArray text;
  QList<int> owner;  // the track each byte's string belongs to
  for (qsizetype i = 0; i < strings.size(); ++i) {
    const QByteArray bytes = i > 0 && strings[i] == strings[i - 1] ? QByteArray("\t") : strings[i].toLatin1();
    text += bytes + '\0';
    for (qsizetype k = 0; k <= bytes.size(); ++k) owner << static_cast<int>(i);
  }
  QByteArray packs;
  for (qsizetype at = 0; at < text.size(); at += 12) {
    packs += static_cast<char>(type);
    packs += static_cast<char>(owner[at]);
    packs += static_cast<char>(sequence++);
    packs += static_cast<char>(0);  // block 0, single-byte characters
    packs += text.mid(at, 12).leftJustified(12, '\0');
    packs += QByteArray(2, '\0');  // CRC, which readers of images do not check
  }
  return packs;
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
  image.leadout_lsn = lsn;
  const QString binName = name + QStringLiteral(".bin");
  WriteFile(image.bin, bin);
  WriteFile(image.cue, CueText(plan, binName, image.lsns).toUtf8());
  // cdrdao keeps raw audio big-endian: the table reads a copy with the audio tracks' bytes swapped.
  QByteArray motorola = bin;
  for (size_t i = 0; i < plan.tracks.size(); ++i) {
    if (plan.tracks[i].data) continue;
    char* at = motorola.data() + static_cast<qsizetype>(image.lsns[i]) * kSectorBytes;
    for (qsizetype b = 0; b + 1 < image.tracks[i].size(); b += 2) std::swap(at[b], at[b + 1]);
  }
  const QString motorolaName = name + QStringLiteral(".be.bin");
  WriteFile(Path(motorolaName), motorola);
  WriteFile(image.toc, TocText(plan, motorolaName, image.lsns).toUtf8());
  return image;
}

DiscImage DiscImageFixture::BuildAlbum(const QString& name, const DiscPlan& plan, AlbumFile form, int tail) const {
  if (plan.tracks.empty() || tail < 0 || tail >= kSamplesPerSector) Fail(QStringLiteral("an album needs tracks"));
  const bool flac = form == AlbumFile::Flac;
  DiscImage image{Path(name + QStringLiteral(".cue")),
                  {},
                  {},
                  Path(name + (flac ? QStringLiteral(".flac") : QStringLiteral(".wav"))),
                  {},
                  0,
                  {}};
  QByteArray pcm;
  for (size_t i = 0; i < plan.tracks.size(); ++i) {
    const int number = static_cast<int>(i + 1);
    image.lsns.push_back(static_cast<int>(pcm.size() / kSectorBytes));
    QByteArray track = TrackPcm(number, plan.tracks[i].sectors);
    if (i + 1 == plan.tracks.size()) track += TrackPcm(number, plan.tracks[i].sectors + 1).mid(track.size(), tail * 4);
    image.tracks.push_back(track);
    pcm += track;
  }
  image.leadout_lsn = static_cast<int>((pcm.size() + kSectorBytes - 1) / kSectorBytes);
  QByteArray wave = "RIFF";
  const auto le32 = [](QByteArray& bytes, quint32 value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.append(static_cast<char>((value >> shift) & 0xff));
  };
  le32(wave, static_cast<quint32>(4 + 24 + 14 + 8 + pcm.size()));
  wave += "WAVEfmt ";
  le32(wave, 16);
  for (const int field : {1, 2}) AppendLe16(wave, field);
  le32(wave, 44100);
  le32(wave, 44100 * 4);
  for (const int field : {4, 16}) AppendLe16(wave, field);
  wave += "note";
  le32(wave, 5);
  wave += QByteArray("odd!!\0", 6);  // five bytes and the pad byte
  wave += "data";
  le32(wave, static_cast<quint32>(pcm.size()));
  wave += pcm;
  const QString wavePath = Path(name + QStringLiteral(".wav"));
  WriteFile(wavePath, wave);
  if (flac)
    ToolOutput(QStringLiteral("flac"),
               {QStringLiteral("--silent"), QStringLiteral("-f"), QStringLiteral("-o"), image.bin, wavePath});
  WriteFile(image.cue, CueText(plan, QFileInfo(image.bin).fileName(), image.lsns)
                           .replace(QStringLiteral(" BINARY\n"), QStringLiteral(" WAVE\n"))
                           .toUtf8());
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

DiscImage DiscImageFixture::BuildNrgDao(const QString& name, const DiscPlan& plan) const {
  if (plan.tracks.empty()) Fail(QStringLiteral("a Nero image needs a track"));
  DiscImage image{{}, {}, Path(name + QStringLiteral(".nrg")), {}, {}, 0, {}};
  QByteArray nrg(kPregap * kSectorBytes, '\0');
  QByteArray dao, cues;
  dao += QByteArray(4, '\0') + QByteArray("0123456789012") + QByteArray(3, '\0');  // size, UPC, padding, TOC type
  dao += static_cast<char>(1);
  dao += static_cast<char>(plan.tracks.size());
  for (const quint64 word : {0x01000000ULL, static_cast<quint64>(-kPregap) & 0xffffffffULL}) AppendBe(cues, word, 4);
  QStringList titles{plan.title}, performers{plan.performer};
  int lsn = 0;
  for (size_t i = 0; i < plan.tracks.size(); ++i) {
    const TrackPlan& track = plan.tracks[i];
    const int number = static_cast<int>(i + 1);
    image.lsns.push_back(lsn);
    image.tracks.push_back(track.data ? DataSectors(lsn, track.sectors) : TrackPcm(number, track.sectors));
    const qint64 index0 = i == 0 ? 0 : nrg.size();
    const qint64 index1 = nrg.size();
    nrg += image.tracks.back();
    dao += QByteArray("XXXXX00000") + QByteArray::number(number).rightJustified(2, '0');  // ISRC
    AppendBe(dao, kSectorBytes, 2);
    AppendBe(dao, track.data ? 0x0600 : 0x0700, 2);
    AppendBe(dao, 0x0001, 2);
    for (const qint64 offset : {index0, index1, static_cast<qint64>(nrg.size())})
      AppendBe(dao, static_cast<quint64>(offset), 8);
    const quint64 control = track.data ? 0x41 : 0x01;
    for (int index = 0; index <= 1; ++index) {
      const qint64 lba = index == 0 && i == 0 ? -kPregap : lsn;
      AppendBe(cues, control << 24 | static_cast<quint64>(Bcd(number)) << 16 | static_cast<quint64>(index) << 8, 4);
      AppendBe(cues, static_cast<quint64>(lba) & 0xffffffffULL, 4);
    }
    titles << track.title;
    performers << track.performer;
    lsn += track.sectors;
  }
  image.leadout_lsn = lsn;
  AppendBe(cues, 0x01AA0100, 4);
  AppendBe(cues, static_cast<quint64>(lsn), 4);
  int sequence = 0;
  const QByteArray packs = CdTextPacks(0x80, titles, sequence) + CdTextPacks(0x81, performers, sequence);
  const auto table = static_cast<quint64>(nrg.size());
  QByteArray sessions;
  AppendBe(sessions, plan.tracks.size(), 4);
  nrg += Chunk("CUEX", cues) + Chunk("DAOX", dao) + Chunk("CDTX", packs) + Chunk("SINF", sessions) +
         Chunk("MTYP", QByteArray("\0\0\0\x01", 4)) + Chunk("END!", {});
  nrg += "NER5";
  AppendBe(nrg, table, 8);
  WriteFile(image.nrg, nrg);
  return image;
}

}  // namespace corvane::test
