// corvane-cli disc on generated disc images: the listing, the text and JSON descriptions, and
// its exit statuses.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include "support/CliFixture.h"
#include "support/DiscImageFixture.h"
#include "support/DiscLookupServer.h"
#include "support/QtPrinters.h"
#include "support/SourceFixtures.h"

namespace corvane {
namespace {

class DiscCommandTest : public test::CliFixture {
 protected:
  // An Enhanced CD: the audio runs long enough for a MusicBrainz lead-out 11400 sectors before
  // the data track.
  test::DiscImage MixedDisc() {
    test::DiscImageFixture fixture(Path(QStringLiteral("images")));
    return fixture.Build(QStringLiteral("mixed"), {{{4500 + 37, false, QStringLiteral("One"), QStringLiteral("Ann")},
                                                    {75 * 153, false, QStringLiteral("Two"), {}},
                                                    {300, true, {}, {}}},
                                                   QStringLiteral("The Disc"),
                                                   {}});
  }

  QJsonDocument Json(const QStringList& arguments) {
    const test::ToolResult result = Cli(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(result.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << result.out.constData();
    return document;
  }
};

TEST_F(DiscCommandTest, ListsTheMachinesDrives) {
  const QJsonDocument drives = Json({QStringLiteral("disc"), QStringLiteral("--json")});
  ASSERT_TRUE(drives.isArray());
  for (const QJsonValue& drive : drives.array()) {
    EXPECT_FALSE(drive[QStringLiteral("id")].toString().isEmpty());
    EXPECT_TRUE(drive[QStringLiteral("text1")].isString());
  }
  const test::ToolResult text = Cli({QStringLiteral("disc")});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(text.out.count('\n'), drives.array().size()) << "one line a drive";
}

TEST_F(DiscCommandTest, DescribesAnImageAsTextAndJson) {
  const test::DiscImage disc = MixedDisc();
  for (const QString& image : {disc.cue, disc.toc}) {
    SCOPED_TRACE(image.toStdString());
    const test::ToolResult text = Cli({QStringLiteral("disc"), QStringLiteral("--device"), image});
    ASSERT_EQ(text.exitCode, 0) << text.err.constData();
    // Tracks at LBA 150, 4687 and 16162, lead-out 16462: seconds 2, 62 and 215 (digit sums 18),
    // 219 - 2 = 217 seconds long.
    const QByteArray expected = image.toUtf8() +
                                "\n  disc present, CD-ROM, CDDB disc ID 1200d903\n"
                                "  session 1\n"
                                "    track 01  AUDIO  1:00  4537 sectors\n"
                                "    track 02  AUDIO  2:33  11475 sectors\n"
                                "    track 03  DATA (Mode 1)  0:04  300 sectors\n"
                                "  CD-TEXT\n"
                                "    TITLE0=The Disc\n"
                                "    TITLE1=One\n"
                                "    PERFORMER1=Ann\n"
                                "    TITLE2=Two\n";
    EXPECT_EQ(text.out, expected);

    const QJsonObject json =
        Json({QStringLiteral("disc"), QStringLiteral("--json"), QStringLiteral("--device"), image}).object();
    EXPECT_EQ(json[QStringLiteral("cddb_id")].toString(), QStringLiteral("1200d903"));
    EXPECT_EQ(json[QStringLiteral("media")].toString(), QStringLiteral("CD-ROM"));
    const QJsonArray sessions = json[QStringLiteral("sessions")].toArray();
    ASSERT_EQ(sessions.size(), 1);
    const QJsonArray tracks = sessions[0][QStringLiteral("tracks")].toArray();
    ASSERT_EQ(tracks.size(), 3);
    EXPECT_EQ(tracks[2][QStringLiteral("type")].toInt(), 1);
    EXPECT_EQ(tracks[2][QStringLiteral("type_name")].toString(), QStringLiteral("DATA (Mode 1)"));
    EXPECT_EQ(tracks[1][QStringLiteral("length")].toString(), QStringLiteral("2:33"));
    EXPECT_EQ(tracks[0][QStringLiteral("sectors")].toInt(), 4537);
    EXPECT_EQ(json[QStringLiteral("cd_text")][QStringLiteral("PERFORMER1")].toString(), QStringLiteral("Ann"));
  }
}

// Loopback services named in the window's settings; the option overrides the stored source.
TEST_F(DiscCommandTest, LooksTheDiscUpAfterTheListing) {
  const test::DiscImage disc = MixedDisc();
  QByteArray scenario = "exact";
  test::LoopbackHttpServer server(
      [&scenario](const test::HttpRequest& request) { return test::ServeDiscLookup(request, scenario); });
  ASSERT_NE(server.Port(), 0) << "the loopback server could not listen";
  const QString settingsFile = Path(QStringLiteral("config/Quillon/Bexlor.conf"));
  {
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.setValue(QStringLiteral("FreeDB Setting/Server URL Index"), 0);
    settings.setValue(QStringLiteral("FreeDB Setting/Server Name"), QStringLiteral("127.0.0.1"));
    settings.setValue(QStringLiteral("FreeDB Setting/Server Port"), server.Port());
    settings.setValue(QStringLiteral("FreeDB Setting/MusicBrainz URL"),
                      QStringLiteral("http://127.0.0.1:%1").arg(server.Port()));
    settings.setValue(QStringLiteral("FreeDB Setting/Timeout"), 20000);
    settings.setValue(QStringLiteral("FreeDB Setting/Freedb Source"), 1);
  }
  const QByteArray storedBefore = test::ReadAll(settingsFile);
  const auto run = [this, &disc](const char* service, const QStringList& extra = {}) {
    test::ToolRun options = CliRun();
    options.mayFail = true;
    options.serveEvents = true;
    return test::RunTool(CliPath(),
                         QStringList{QStringLiteral("disc"), QStringLiteral("--lookup"), QString::fromLatin1(service),
                                     QStringLiteral("--device"), disc.cue} +
                             extra,
                         options);
  };

  const test::ToolResult text = run("freedb");
  ASSERT_EQ(text.exitCode, 0) << text.err.constData();
  EXPECT_TRUE(text.out.startsWith(Cli({QStringLiteral("disc"), QStringLiteral("--device"), disc.cue}).out));
  EXPECT_TRUE(
      text.out.endsWith("  Look-up on 127.0.0.1\n    artist  AC/DC\n    album   Live: 1992\n"
                        "    year    1992\n    genre   Hard Rock\n"
                        "    track 01  Who?\n    track 02  Second\n    track 03  Third\n"))
      << text.out.constData();
  EXPECT_EQ(server.Requests().front().FormValue("cmd").split(' ').value(2), "1200d903");

  const test::ToolResult found = run("musicbrainz", {QStringLiteral("--json")});
  ASSERT_EQ(found.exitCode, 0) << found.err.constData();
  const QJsonObject json = QJsonDocument::fromJson(found.out).object();
  const QJsonObject lookup = json[QStringLiteral("lookup")].toObject();
  EXPECT_EQ(json[QStringLiteral("cddb_id")].toString(), QStringLiteral("1200d903"));
  EXPECT_EQ(server.Requests().back().Path(), "/ws/2/discid/" + json[QStringLiteral("musicbrainz_id")].toString());
  EXPECT_EQ(lookup[QStringLiteral("service")].toString(),
            QStringLiteral("MusicBrainz (127.0.0.1:%1)").arg(server.Port()));
  EXPECT_EQ(lookup[QStringLiteral("artist")].toString(), QStringLiteral("AC/DC"));
  EXPECT_EQ(lookup[QStringLiteral("album")].toString(), QStringLiteral("Live: 1992"));
  EXPECT_EQ(lookup[QStringLiteral("year")].toInt(), 1992);
  const QJsonArray titles = lookup[QStringLiteral("titles")].toArray();
  ASSERT_EQ(titles.size(), 3);
  EXPECT_EQ(titles[1][QStringLiteral("title")].toString(), QStringLiteral("Second"));
  EXPECT_EQ(titles[2][QStringLiteral("number")].toInt(), 3);

  scenario = "nomatch";
  for (const char* service : {"freedb", "musicbrainz"}) {
    const test::ToolResult none = run(service);
    EXPECT_EQ(none.exitCode, 1) << service;
    EXPECT_TRUE(none.err.contains("No freedb information available for this disc !")) << none.err.constData();
    EXPECT_FALSE(none.out.contains("Look-up on"));
    EXPECT_TRUE(none.out.contains("MusicBrainz disc ID " + json[QStringLiteral("musicbrainz_id")].toString().toUtf8()));
  }
  scenario = "malformed";
  const test::ToolResult failed = run("freedb", {QStringLiteral("--json")});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_TRUE(failed.err.contains("Failed to connect the freedb server: 127.0.0.1 !")) << failed.err.constData();
  EXPECT_FALSE(QJsonDocument::fromJson(failed.out).object().contains(QStringLiteral("lookup")));
  EXPECT_EQ(test::ReadAll(settingsFile), storedBefore) << "a look-up stores nothing";
}

TEST_F(DiscCommandTest, ExitStatuses) {
  const QString garbage = Path(QStringLiteral("garbage.cue"));
  {
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("REM nothing here\n");
  }
  for (const QString& device : {Path(QStringLiteral("missing.cue")), garbage}) {
    const test::ToolResult result = Cli({QStringLiteral("disc"), QStringLiteral("--device"), device});
    EXPECT_EQ(result.exitCode, 1) << device.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(result.err.contains("no readable disc")) << result.err.constData();
  }
  const QStringList badUsage[] = {{QStringLiteral("disc"), QStringLiteral("--frobnicate")},
                                  {QStringLiteral("disc"), QStringLiteral("--device")},
                                  {QStringLiteral("disc"), QStringLiteral("extra")},
                                  {QStringLiteral("disc"), QStringLiteral("--lookup"), QStringLiteral("freedb")},
                                  {QStringLiteral("disc"), QStringLiteral("--device"), garbage,
                                   QStringLiteral("--lookup"), QStringLiteral("cddb")}};
  for (const QStringList& arguments : badUsage)
    EXPECT_EQ(Cli(arguments).exitCode, 2) << arguments.join(u' ').toStdString();
  EXPECT_EQ(Cli({QStringLiteral("disc"), QStringLiteral("--help")}).exitCode, 0);
}

}  // namespace
}  // namespace corvane
