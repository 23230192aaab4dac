// Sheets over several files, in the layouts rippers write (two files; one file a track with the
// gaps appended to the previous file or prepended to the next), read from real files: the tracks
// must lie where cd-info puts them on the same disc joined into one BIN, and the spans must give
// back that BIN's bytes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "discimage/CueSheet.h"
#include "discimage/TocFile.h"
#include "support/CdInfo.h"
#include "support/DiscImageFixture.h"
#include "support/FakeImageProbe.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

using test::DiscImageFixture;

// Three tracks of 900, 700 and 500 sectors; tracks 2 and 3 have pregaps of 150 and 75 sectors
// with audio of their own in them.
const int kTrackSectors[] = {900, 700, 500};
const int kGapSectors[] = {0, 150, 75};

QByteArray Gap(int track) { return DiscImageFixture::TrackPcm(track + 10, kGapSectors[track - 1]); }
QByteArray Body(int track) { return DiscImageFixture::TrackPcm(track, kTrackSectors[track - 1]); }

QByteArray Msf(int sectors) {
  return QStringLiteral("%1:%2:%3")
      .arg(sectors / 75 / 60, 2, 10, QLatin1Char('0'))
      .arg(sectors / 75 % 60, 2, 10, QLatin1Char('0'))
      .arg(sectors % 75, 2, 10, QLatin1Char('0'))
      .toUtf8();
}

struct SheetLayout {
  const char* name;
  std::vector<QByteArray> files;  // contents of 1.bin, 2.bin, ...
  QByteArray sheet;
};

std::vector<SheetLayout> Layouts() {
  const QByteArray t1 = "TRACK 01 AUDIO\nINDEX 01 00:00:00\n";
  return {
      {"two_files",
       {Body(1) + Gap(2) + Body(2), Gap(3) + Body(3)},
       "FILE \"1.bin\" BINARY\n" + t1 + "TRACK 02 AUDIO\nINDEX 00 " + Msf(900) + "\nINDEX 01 " + Msf(1050) +
           "\nFILE \"2.bin\" BINARY\nTRACK 03 AUDIO\nINDEX 00 00:00:00\nINDEX 01 " + Msf(75) + "\n"},
      {"gaps_appended",
       {Body(1) + Gap(2), Body(2) + Gap(3), Body(3)},
       "FILE \"1.bin\" BINARY\n" + t1 + "TRACK 02 AUDIO\nINDEX 00 " + Msf(900) +
           "\nFILE \"2.bin\" BINARY\nINDEX 01 00:00:00\nTRACK 03 AUDIO\nINDEX 00 " + Msf(700) +
           "\nFILE \"3.bin\" BINARY\nINDEX 01 00:00:00\n"},
      {"gaps_prepended",
       {Body(1), Gap(2) + Body(2), Gap(3) + Body(3)},
       "FILE \"1.bin\" BINARY\n" + t1 + "FILE \"2.bin\" BINARY\nTRACK 02 AUDIO\nINDEX 00 00:00:00\nINDEX 01 " +
           Msf(150) + "\nFILE \"3.bin\" BINARY\nTRACK 03 AUDIO\nINDEX 00 00:00:00\nINDEX 01 " + Msf(75) + "\n"},
  };
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << path.toStdString();
}

// The disc's bytes as the layout's spans give them.
QByteArray DiscBytes(const DiscImageLayout& layout) {
  QByteArray disc;
  for (const ImageSpan& span : layout.spans) {
    if (span.kind == ImageSpan::Kind::Silence) {
      disc += QByteArray(span.samples * 4, '\0');
      continue;
    }
    QFile file(layout.files.at(span.file).path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(span.offset)) return {};
    disc += file.read(span.kind == ImageSpan::Kind::Audio ? span.samples * 4 : span.samples / 588 * 2352);
  }
  return disc;
}

class CueSheetLayouts : public ::testing::TestWithParam<SheetLayout> {
 protected:
  QTemporaryDir folder_;
};

TEST_P(CueSheetLayouts, TracksLieWhereCdInfoPutsThemOnTheJoinedDisc) {
  const SheetLayout& layout = GetParam();
  QByteArray joined;
  for (size_t i = 0; i < layout.files.size(); ++i) {
    Write(folder_.filePath(QStringLiteral("%1.bin").arg(i + 1)), layout.files[i]);
    joined += layout.files[i];
  }
  Write(folder_.filePath(QStringLiteral("joined.bin")), joined);
  const QByteArray joined_sheet =
      "FILE \"joined.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 00 " + Msf(900) +
      "\nINDEX 01 " + Msf(1050) + "\nTRACK 03 AUDIO\nINDEX 00 " + Msf(1750) + "\nINDEX 01 " + Msf(1825) + "\n";
  Write(folder_.filePath(QStringLiteral("joined.cue")), joined_sheet);
  const test::CdInfoToc judge = test::ReadCdInfoToc(folder_.filePath(QStringLiteral("joined.cue")));

  const ImageLayoutResult read = ReadCueSheet(layout.sheet, folder_.path(), test::RawFileProbe());
  ASSERT_TRUE(read.Succeeded()) << read.status.text.toStdString();
  const DiscImageLayout& disc = *read.value;
  ASSERT_EQ(disc.tracks.size(), judge.lsns.size());
  for (size_t i = 0; i < disc.tracks.size(); ++i) EXPECT_EQ(disc.tracks[i].start, judge.lsns[i]) << "track " << i + 1;
  EXPECT_EQ(disc.lead_out, judge.lead_out);
  EXPECT_EQ(disc.tracks[1].pregap, 900);
  EXPECT_EQ(disc.tracks[2].pregap, 1750);
  EXPECT_TRUE(DiscBytes(disc) == joined);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CueSheetLayouts, ::testing::ValuesIn(Layouts()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// A disc with a data track and CD-TEXT, as the grabber's fixture writes it: the sheet and the
// cdrdao table both agree with cd-info.
TEST(DiscImageFixtureLayouts, MixedDiscAgreesWithCdInfo) {
  QTemporaryDir folder;
  test::DiscPlan plan;
  plan.title = QStringLiteral("Mixed Disc");
  plan.tracks = {{300, true}, {400, false, QStringLiteral("Second")}, {500, false, QStringLiteral("Third")}};
  const test::DiscImage image = DiscImageFixture(folder.path()).Build(QStringLiteral("mixed"), plan);
  for (const QString& path : {image.cue, image.toc}) {
    SCOPED_TRACE(path.toStdString());
    const test::CdInfoToc judge = test::ReadCdInfoToc(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const ImageLayoutResult read = path.endsWith(QLatin1String(".cue"))
                                       ? ReadCueSheet(file.readAll(), folder.path(), test::RawFileProbe())
                                       : ReadTocFile(file.readAll(), folder.path(), test::RawFileProbe());
    ASSERT_TRUE(read.Succeeded()) << read.status.text.toStdString();
    const DiscImageLayout& disc = *read.value;
    ASSERT_EQ(disc.tracks.size(), judge.lsns.size());
    for (size_t i = 0; i < disc.tracks.size(); ++i) {
      EXPECT_EQ(disc.tracks[i].start, judge.lsns[i]);
      EXPECT_EQ(disc.tracks[i].audio, judge.audio[i]);
    }
    EXPECT_EQ(disc.lead_out, judge.lead_out);
    EXPECT_EQ(disc.title, plan.title);
    EXPECT_EQ(disc.tracks[2].title, QStringLiteral("Third"));
  }
}

}  // namespace
}  // namespace corvane
