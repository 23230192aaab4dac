// The ripper page's look-up through the real grabber and freedb client, against a loopback CDDB
// server: the rows and the disc's fields take what the server knows, and what it does not know or
// a server that cannot be reached are told and lead to the freedb settings.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "common/MemorySettings.h"
#include "common/SettingsKeys.h"
#include "common/StringTable.h"
#include "common/strings/RipperText.h"
#include "ripper/RipperController.h"
#include "ripper/RipperTestKit.h"
#include "support/DiscImageFixture.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"
#include "support/ScriptedUserInterface.h"
#include "tags/Id3Genres.h"

namespace corvane {
namespace {

const char* const kFreeDb = keys::section::kFreeDb;
constexpr int kSecond = 75;  // sectors

QByteArray Entry(const QByteArray& genre) {
  return "210 rock 00000000\r\n# xmcd\r\nDTITLE=Tide Tables / Lighthouse Sessions\r\nDYEAR=2004\r\nDGENRE=" + genre +
         "\r\nTTITLE0=Ebb\r\nTTITLE1=Flood\r\nTTITLE2=Slack Water\r\n.\r\n";
}

// A server that knows the disc, with `genre` as its genre, or knows nothing of it.
test::LoopbackHttpServer::Handler Cddb(const QByteArray& genre, bool knows = true) {
  return [genre, knows](const test::HttpRequest& request) {
    const QByteArray command = request.FormValue("cmd");
    if (!knows) return test::HttpAnswer::Text("202 No match for disc ID.\r\n");
    if (command.startsWith("cddb query")) return test::HttpAnswer::Text("200 rock 00000000 Tide Tables / Live\r\n");
    return test::HttpAnswer::Text(Entry(genre));
  };
}

int EntryOf(const char* genre) { return Id3Genres::IndexOf(QString::fromLatin1(genre)) + 1; }

class RipperFreedbTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    test::DiscPlan plan;
    plan.title = QStringLiteral("Harbour Lights");
    plan.performer = QStringLiteral("The Quays");
    plan.tracks = {{10 * kSecond, false, QStringLiteral("Low Tide"), {}},
                   {12 * kSecond, false, QStringLiteral("Gulls"), {}},
                   {14 * kSecond, false, QStringLiteral("Night Ferry"), {}}};
    image_ = test::DiscImageFixture(dir_.path()).Build(QStringLiteral("disc"), plan).cue;
    settings_.WriteNumber(keys::section::kDialogToggle, keys::kFreeDbTips, 1);
    settings_.WriteText(keys::section::kRip, keys::kDiscImages, image_);
    settings_.WriteNumber(keys::section::kRip, keys::kDiscAutoLoad, 1);
    settings_.WriteNumber(kFreeDb, keys::kServerUrlIndex, 0);
    settings_.WriteText(kFreeDb, keys::kServerName, QStringLiteral("127.0.0.1"));
  }

  RipperController& Start(quint16 port, bool autoQuery = false) {
    settings_.WriteNumber(kFreeDb, keys::kServerPort, port);
    settings_.WriteNumber(kFreeDb, keys::kAutoQuery, autoQuery ? 1 : 0);
    controller_ = std::make_unique<RipperController>(settings_, ui_, view_);
    controller_->InitialisePage();
    return *controller_;
  }

  // Clicks "&FreeDB" and waits for the look-up to end.
  void LookUp() {
    controller_->StartFreedbQuery();
    ASSERT_TRUE(test::WaitUntil([this] { return !controller_->Busy(); }));
  }

  QString LastStatus() const { return ui_.status_texts.empty() ? QString() : ui_.status_texts.back().second; }
  QStringList Titles() const { return view_.Column(&TrackRowTexts::title); }

  QTemporaryDir dir_;
  QString image_;
  MemorySettings settings_;
  test::ScriptedUserInterface ui_;
  test::RecordingRipperView view_;
  std::unique_ptr<RipperController> controller_;
};

TEST_F(RipperFreedbTest, AMatchFillsTheFieldsAndTitlesUntilTheDiscChanges) {
  const struct {
    const char* genre;
    int entry;
  } kGenres[] = {{"rock", EntryOf("Rock")},
                 {"TRIP-HOP", EntryOf("Trip-Hop")},
                 {"Blues", EntryOf("Other")},
                 {"Sea Shanty", EntryOf("Other")}};
  for (const auto& genre : kGenres) {
    SCOPED_TRACE(genre.genre);
    ui_ = {};
    test::LoopbackHttpServer server(Cddb(genre.genre));
    RipperController& controller = Start(server.Port());
    ASSERT_EQ(Titles(), QStringList({"Low Tide", "Gulls", "Night Ferry"}));
    LookUp();
    EXPECT_TRUE(ui_.messages.empty()) << ui_.MessageTexts().join(u'|').toStdString();
    EXPECT_EQ(LastStatus(), StringTable::Text(text::kFreedbRetrieved));
    EXPECT_TRUE(controller.FreedbDataPresent());
    EXPECT_EQ(Titles(), QStringList({"Ebb", "Flood", "Slack Water"}));
    EXPECT_EQ(view_.artist, QStringLiteral("Tide Tables"));
    EXPECT_EQ(view_.album, QStringLiteral("Lighthouse Sessions"));
    EXPECT_EQ(view_.year, QStringLiteral("2004"));
    EXPECT_EQ(view_.genre_entry, genre.entry);
    EXPECT_EQ(view_.freedb_settings_opened, 0);
    const QStringList expected = {StringTable::Format(text::kFreedbPreparing, {QStringLiteral("127.0.0.1")}),
                                  StringTable::Format(text::kFreedbConnecting, {QStringLiteral("127.0.0.1")}),
                                  StringTable::Text(text::kFreedbQuerying)};
    EXPECT_EQ(ui_.progress_texts.mid(ui_.progress_texts.size() - 3), expected);
  }
  // Loading the same disc again keeps what the look-up found; a disc change goes back to CD-TEXT.
  controller_->LoadDisc();
  EXPECT_EQ(Titles(), QStringList({"Ebb", "Flood", "Slack Water"}));
  controller_->OnDiscChanged();
  ASSERT_TRUE(test::WaitUntil([this] { return !controller_->Busy(); }));
  EXPECT_FALSE(controller_->FreedbDataPresent());
  EXPECT_EQ(Titles(), QStringList({"Low Tide", "Gulls", "Night Ferry"}));
  EXPECT_EQ(view_.artist, QStringLiteral("The Quays"));
}

TEST_F(RipperFreedbTest, NothingFoundOrNoServerIsToldAndOpensTheSettings) {
  test::LoopbackHttpServer unknowing(Cddb({}, false));
  const struct {
    quint16 port;
    QString status;  // empty: none of its own
    QString message;
  } kCases[] = {
      {unknowing.Port(), StringTable::Text(text::kNoFreedbInfo), StringTable::Text(text::kNoFreedbInfoMessage)},
      {test::ClosedLoopbackPort(), QString(),
       StringTable::Format(text::kFreedbConnectFailed, {QStringLiteral("127.0.0.1")})},
  };
  for (const auto& failure : kCases) {
    SCOPED_TRACE(failure.message.toStdString());
    ui_ = {};
    view_.freedb_settings_opened = 0;
    RipperController& controller = Start(failure.port);
    LookUp();
    EXPECT_EQ(ui_.MessageTexts(), QStringList({failure.message}));
    EXPECT_EQ(ui_.messages.back().icon, MessageIcon::Error);
    if (!failure.status.isEmpty()) {
      EXPECT_EQ(LastStatus(), failure.status);
    }
    EXPECT_EQ(view_.freedb_settings_opened, 1);
    EXPECT_FALSE(controller.FreedbDataPresent());
    EXPECT_EQ(Titles(), QStringList({"Low Tide", "Gulls", "Night Ferry"}));
  }
}

TEST_F(RipperFreedbTest, AnAnswerThatArrivesWhileTheProgressWindowMovesWaitsForTheMove) {
  // A progress window may serve the user interface while it moves its bar, and with it the
  // grabber's answer: that answer ends the window and opens the settings, so it must wait until the
  // move has returned.
  constexpr int kNoMatch = -2;
  test::LoopbackHttpServer unknowing(Cddb({}, false));
  RipperController& controller = Start(unknowing.Port());
  const QString connecting = StringTable::Format(text::kFreedbConnecting, {QStringLiteral("127.0.0.1")});
  bool delivered = false;
  int openedDuringMove = -1;
  ui_.progress_position_hook = [&](int) {
    if (delivered || ui_.progress_texts.back() != connecting) return;
    delivered = true;
    controller.OnFreedbState(kNoMatch);
    openedDuringMove = view_.freedb_settings_opened;
  };
  LookUp();
  EXPECT_EQ(openedDuringMove, 0);
  EXPECT_EQ(view_.freedb_settings_opened, 1);
  EXPECT_EQ(ui_.MessageTexts(), QStringList({StringTable::Text(text::kNoFreedbInfoMessage)}));
  EXPECT_EQ(LastStatus(), StringTable::Text(text::kNoFreedbInfo));
}

TEST_F(RipperFreedbTest, AutoQueryLooksTheDiscUpAsItLoadsWithoutTheTips) {
  test::LoopbackHttpServer server(Cddb("Jazz"));
  RipperController& controller = Start(server.Port(), true);
  ASSERT_TRUE(test::WaitUntil([&] { return !controller.Busy(); }));
  EXPECT_EQ(Titles(), QStringList({"Ebb", "Flood", "Slack Water"}));
  EXPECT_EQ(view_.genre_entry, EntryOf("Jazz"));
  EXPECT_EQ(view_.tips_shown, 0);
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(RipperFreedbTest, MusicBrainzIsAskedWhenItIsTheChosenService) {
  // Answers with one release whose medium holds the disc asked for.
  test::LoopbackHttpServer server([](const test::HttpRequest& request) {
    const QString id = request.Path().section(u'/', -1);
    const QJsonArray tracks{QJsonObject{{"position", 1}, {"title", "Ebb"}},
                            QJsonObject{{"position", 2}, {"title", "Flood"}},
                            QJsonObject{{"position", 3}, {"title", "Slack Water"}}};
    const QJsonObject medium{{"position", 1}, {"discs", QJsonArray{QJsonObject{{"id", id}}}}, {"tracks", tracks}};
    const QJsonObject release{{"title", "Lighthouse Sessions"},
                              {"date", "2004-05-01"},
                              {"artist-credit", QJsonArray{QJsonObject{{"name", "Tide Tables"}}}},
                              {"media", QJsonArray{medium}}};
    return test::HttpAnswer::Text(QJsonDocument(QJsonObject{{"id", id}, {"releases", QJsonArray{release}}}).toJson());
  });
  settings_.WriteNumber(kFreeDb, keys::kFreedbSource, 1);
  const QString service = QStringLiteral("127.0.0.1:%1").arg(server.Port());
  settings_.WriteText(kFreeDb, keys::kMusicBrainzUrl, QStringLiteral("http://") + service);
  Start(test::ClosedLoopbackPort());
  LookUp();
  EXPECT_TRUE(ui_.messages.empty()) << ui_.MessageTexts().join(u'|').toStdString();
  EXPECT_EQ(Titles(), QStringList({"Ebb", "Flood", "Slack Water"}));
  EXPECT_EQ(view_.artist, QStringLiteral("Tide Tables"));
  EXPECT_EQ(view_.year, QStringLiteral("2004"));
  EXPECT_EQ(view_.genre_entry, EntryOf("Other"));  // no genre: not a name of the list
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(server.Requests()[0].Path().startsWith(QStringLiteral("/ws/2/discid/")));
  EXPECT_TRUE(ui_.progress_texts.contains(
      StringTable::Format(text::kFreedbConnecting, {QStringLiteral("MusicBrainz (%1)").arg(service)})));
}

}  // namespace
}  // namespace corvane
