// The rip log: every field in the text, the file written whole, and a free name for it.
#include "ripper/RipLog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/QtPrinters.h"

using namespace corvane;

namespace {

RipLogData Sample() {
  RipLogData data;
  data.date = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::OffsetFromUTC, 3600);
  data.drive = QStringLiteral("HL-DT-ST DVDRAM GH24NSD1 LG00");
  data.read_offset = 6;
  data.grab_mode_preset = 3;
  data.retries = 10;
  data.error_action = 0;
  data.output_format = QStringLiteral("FLAC");
  data.accurate_rip_id = QStringLiteral("dBAR-010-00164419-00b9f6e2-9e11600b");
  data.cddb_id = QStringLiteral("9e11600b");
  data.database_status = QStringLiteral("Found, 3 responses");
  data.tracks.push_back({1, QStringLiteral("Ouverture – Größe"), QStringLiteral("/music/01 Ouverture.flac"), 0, 0,
                         0x0000BEEF, 0x1A2B3C4D, 0xDEADBEEF, QStringLiteral("Accurately ripped (confidence 12)")});
  data.tracks.push_back({12, QStringLiteral("Coda\r\nFINE"), QStringLiteral("/music/12 Coda.flac"), 3, 17, std::nullopt,
                         std::nullopt, std::nullopt, QStringLiteral("Not in database")});
  data.summary = QStringLiteral("AccurateRip: 1 of 2 tracks accurate");
  return data;
}

TEST(RipLog, EveryFieldShows) {
  const QString log = FormatRipLog(Sample());
  const QStringList lines = log.split(u'\n');
  EXPECT_EQ(lines.first(), QStringLiteral("Corvane " CORVANE_VERSION " rip log"));
  for (const char* expected : {
           "Date:                  2026-03-14T09:26:53+01:00",
           "Drive:                 HL-DT-ST DVDRAM GH24NSD1 LG00",
           "Read offset (samples): +6",
           "Grab mode:             Precision grab of old and very used disc",
           "Retries:               10",
           "On read errors:        Stop grabbing",
           "Output format:         FLAC",
           "AccurateRip disc ID:   dBAR-010-00164419-00b9f6e2-9e11600b",
           "CDDB disc ID:          9e11600b",
           "AccurateRip:           Found, 3 responses",
           "Track 01",
           "  Title:                    Ouverture – Größe",
           "  File:                     /music/01 Ouverture.flac",
           "  Read errors:              0",
           "  CRC32:                    0000BEEF",
           "  AccurateRip v1:           1A2B3C4D",
           "  AccurateRip v2:           DEADBEEF",
           "  Result:                   Accurately ripped (confidence 12)",
           "Track 12",
           "  Read errors:              3",
           "  Most reads of one sector: 17",
           "  CRC32:                    not computed",
           "  Title:                    Coda  FINE",
           "  Result:                   Not in database",
           "AccurateRip: 1 of 2 tracks accurate",
       })
    EXPECT_TRUE(lines.contains(QString::fromUtf8(expected))) << expected << "\n" << log.toStdString();
  EXPECT_TRUE(log.endsWith(QStringLiteral("tracks accurate\n")));
}

TEST(RipLog, FileIsWrittenWholeAsUtf8) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const RipLogData data = Sample();
  const QString path = dir.filePath(QStringLiteral("Album.log"));
  ASSERT_TRUE(WriteRipLog(path, data));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(
      bytes.contains("Ouverture \xE2\x80\x93 Gr\xC3\xB6\xC3\x9F"
                     "e"));
  EXPECT_EQ(QString::fromUtf8(bytes), FormatRipLog(data));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Album.log")});
  // A folder that is not there: refused, nothing left behind.
  EXPECT_FALSE(WriteRipLog(dir.filePath(QStringLiteral("gone/Album.log")), data));
  EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
}

TEST(RipLog, FreeNameAvoidsTakenFilesAndUnsafeCharacters) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto name = [&](const QString& album) { return QFileInfo(FreeRipLogPath(dir.path(), album)).fileName(); };
  const auto take = [&](const QString& file) {
    QFile made(dir.filePath(file));
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
  };
  EXPECT_EQ(name(QStringLiteral("Blue Train")), QStringLiteral("Blue Train.log"));
  EXPECT_EQ(name(QStringLiteral(" AC/DC: Live? ")), QStringLiteral("AC_DC_ Live_.log"));
  for (const QString& none : {QString(), QStringLiteral("  "), QStringLiteral(".."), QStringLiteral(".")})
    EXPECT_EQ(name(none), QStringLiteral("Rip.log")) << none.toStdString();
  take(QStringLiteral("Blue Train.log"));
  take(QStringLiteral("Blue Train (2).log"));
  EXPECT_EQ(name(QStringLiteral("Blue Train")), QStringLiteral("Blue Train (3).log"));
  take(QStringLiteral("Rip.log"));
  EXPECT_EQ(name(QString()), QStringLiteral("Rip (2).log"));
  // A long name is cut to fit a file name, whole characters only.
  const QString longName = name(QString(300, QChar(0x00E9)));
  EXPECT_LE(longName.toUtf8().size(), 255);
  EXPECT_TRUE(longName.endsWith(QStringLiteral("\u00E9.log")));
}

}  // namespace
