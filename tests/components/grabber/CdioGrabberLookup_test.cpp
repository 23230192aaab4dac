// The grabber's disc look-up on a generated disc image against a loopback CDDB server: the states
// as event 4 through the grabber's sink, the metadata getters per track, and what drops a look-up.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "components/CAudioCDGrabberEvents.h"
#include "components/IAudioCDGrabber.h"
#include "components/IFreedbClient.h"
#include "support/DiscImageFixture.h"
#include "support/DiscLookupServer.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

using test::HttpRequest;

// Records event 4's codes and ends the wait at a final one.
class LookupEvents final : public IAudioCDGrabberEventHandler {
 public:
  void OnDiscChanged() override {}
  void OnGrabProgress(double) override {}
  void OnReadRetries(int) override {}
  void OnFreedbState(int code) override {
    codes.push_back(code);
    if (code != 1 && code != 2) loop.quit();
  }

  std::vector<int> codes;
  QEventLoop loop;
};

class CdioGrabberLookupTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_NE(server_.Port(), 0) << "the loopback server could not listen";
    // Three audio tracks and a data track after them.
    // An Enhanced CD: its audio runs long enough for the lead-out MusicBrainz puts 11400 sectors
    // before the data track to fall after the last audio track's start.
    disc_ = fixture_.Build(QStringLiteral("mixed"), {{{980}, {1502}, {11600}, {400, true}}, {}, {}});
    grabber_ = CreateAudioCDGrabber();
    grabber_->SetDiscImages({disc_.cue});
    ASSERT_TRUE(grabber_->InitDevices().Succeeded());
    ASSERT_TRUE(grabber_->SetCurrentDrive(grabber_->GetDriveCount()).Succeeded());
    ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());
    client_->SetServerName(QStringLiteral("127.0.0.1"));
    client_->SetPort(server_.Port());
    client_->SetTimeout(5000);
    sink_.Advise(*grabber_);
  }

  // Starts a look-up and waits for its final code (the guard only ends a run that never reports).
  std::vector<int> Query(IAudioCDGrabber& grabber, LookupEvents& events, int source = 0) {
    const GrabberResult started = grabber.QueryFreedb(*client_, source);
    EXPECT_TRUE(started.Succeeded()) << started.text.toStdString();
    QTimer::singleShot(60000, &events.loop, &QEventLoop::quit);
    events.loop.exec();
    return events.codes;
  }
  std::vector<int> Query(int source = 0) { return Query(*grabber_, events_, source); }

  std::vector<QString> Titles() {
    std::vector<QString> titles;
    for (int t = 0; t < grabber_->GetTrackCount(); ++t) {
      EXPECT_TRUE(grabber_->SetCurrentTrack(t).Succeeded());
      titles.push_back(grabber_->GetTrackTitle());
    }
    return titles;
  }

  QTemporaryDir dir_;
  test::DiscImageFixture fixture_{dir_.filePath(QStringLiteral("images"))};
  test::DiscImage disc_;
  QByteArray scenario_ = "exact";
  test::LoopbackHttpServer server_{
      [this](const HttpRequest& request) { return test::ServeDiscLookup(request, scenario_); }};
  std::unique_ptr<IFreedbClient> client_ = CreateFreedbClient();
  std::unique_ptr<IAudioCDGrabber> grabber_;
  LookupEvents events_;
  CAudioCDGrabberEvents sink_{events_};
};

TEST_F(CdioGrabberLookupTest, FoundEntryFillsTheGettersUntilTheDiscIsForgotten) {
  EXPECT_EQ(Query(), (std::vector<int>{1, 2, 3}));
  // The query carries the image's table: every track with the lead-in, the lead-out in seconds.
  QStringList query{QStringLiteral("cddb query %1 4").arg(grabber_->GetDiscId(), 8, 16, QLatin1Char('0'))};
  for (const int lsn : disc_.lsns) query.append(QString::number(lsn + 150));
  query.append(QString::number((disc_.leadout_lsn + 150) / 75));
  ASSERT_EQ(server_.Requests().size(), 2u);
  EXPECT_EQ(QString::fromUtf8(server_.Requests()[0].FormValue("cmd")), query.join(u' '));

  EXPECT_EQ(grabber_->GetDiscArtist(), "AC/DC");
  EXPECT_EQ(grabber_->GetDiscTitle(), "Live: 1992");
  EXPECT_EQ(grabber_->GetDiscYear(), 1992);
  EXPECT_EQ(grabber_->GetDiscGenre(), "Hard Rock");
  // The data track after the audio has no title in the entry.
  EXPECT_EQ(Titles(), (std::vector<QString>{"Who?", "Second", "Third", ""}));

  // Reading the same disc again keeps the entry; choosing the drive afresh forgets it.
  ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());
  EXPECT_EQ(grabber_->GetDiscArtist(), "AC/DC");
  EXPECT_EQ(Titles(), (std::vector<QString>{"Who?", "Second", "Third", ""}));
  ASSERT_TRUE(grabber_->SetCurrentDrive(grabber_->GetDriveCount()).Succeeded());
  ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());
  EXPECT_EQ(grabber_->GetDiscArtist(), "");
  EXPECT_EQ(grabber_->GetDiscTitle(), "");
  EXPECT_EQ(grabber_->GetDiscYear(), 0);
  EXPECT_EQ(Titles(), (std::vector<QString>(4)));
}

TEST_F(CdioGrabberLookupTest, UnsuccessfulLookUpsEndWithTheirCodeAndNoMetadata) {
  const struct {
    QByteArray scenario;
    bool reachable;
    std::vector<int> codes;
  } cases[] = {{"nomatch", true, {1, 2, -2}}, {"malformed", true, {1, 2, -1}}, {"exact", false, {1, -1}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario.constData());
    scenario_ = c.scenario;
    events_.codes.clear();
    client_->SetPort(c.reachable ? server_.Port() : test::ClosedLoopbackPort());
    EXPECT_EQ(Query(), c.codes);
    EXPECT_EQ(grabber_->GetDiscArtist(), "");
    EXPECT_EQ(Titles(), (std::vector<QString>(4)));
  }
}

TEST_F(CdioGrabberLookupTest, DroppedLookUpsNeverReport) {
  // Two look-ups that would fail at a short deadline are dropped, by a new query and by a refresh;
  // a look-up of a second grabber with a later deadline shows that neither reported meanwhile.
  scenario_ = "slow";
  client_->SetTimeout(200);
  ASSERT_TRUE(grabber_->QueryFreedb(*client_, 0).Succeeded());
  ASSERT_TRUE(grabber_->QueryFreedb(*client_, 0).Succeeded());
  ASSERT_TRUE(grabber_->RefreshDisc().Succeeded());

  const auto witness = CreateAudioCDGrabber();
  witness->SetDiscImages({disc_.cue});
  ASSERT_TRUE(witness->InitDevices().Succeeded());
  ASSERT_TRUE(witness->SetCurrentDrive(witness->GetDriveCount()).Succeeded());
  ASSERT_TRUE(witness->RefreshDisc().Succeeded());
  LookupEvents witnessEvents;
  CAudioCDGrabberEvents witnessSink{witnessEvents};
  witnessSink.Advise(*witness);
  client_->SetTimeout(1500);
  EXPECT_EQ(Query(*witness, witnessEvents), (std::vector<int>{1, 2, -1}));
  EXPECT_EQ(events_.codes, (std::vector<int>{1, 1}));
}

// The medium holds the three audio tracks; the data track after them has no title.
TEST_F(CdioGrabberLookupTest, MusicBrainzFillsTheTitlesByPositionOnTheMedium) {
  client_->SetMusicBrainzUrl(QStringLiteral("http://127.0.0.1:%1").arg(server_.Port()));
  const QString id = grabber_->GetMusicBrainzDiscId();
  ASSERT_EQ(id.size(), 28);
  EXPECT_EQ(Query(1), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(server_.Requests().back().Path(), QStringLiteral("/ws/2/discid/") + id);
  EXPECT_EQ(grabber_->GetDiscArtist(), "AC/DC");
  EXPECT_EQ(grabber_->GetDiscTitle(), "Live: 1992");
  EXPECT_EQ(grabber_->GetDiscYear(), 1992);
  EXPECT_EQ(grabber_->GetDiscGenre(), "Hard Rock");
  EXPECT_EQ(Titles(), (std::vector<QString>{"Who?", "Second", "Third", ""}));

  scenario_ = "nomatch";
  events_.codes.clear();
  EXPECT_EQ(Query(1), (std::vector<int>{1, 2, -2}));
  EXPECT_EQ(grabber_->GetDiscArtist(), "");
  ASSERT_TRUE(QFile::remove(disc_.cue));
  EXPECT_TRUE(grabber_->RefreshDisc().Failed());
  EXPECT_EQ(grabber_->GetMusicBrainzDiscId(), "");
}

TEST_F(CdioGrabberLookupTest, QueriesWithoutADiscOrWithAnUnknownSourceAreRefused) {
  EXPECT_EQ(grabber_->QueryFreedb(*client_, 2).code, GrabberErrorCode::InvalidSource);
  EXPECT_EQ(grabber_->QueryFreedb(*client_, -1).code, GrabberErrorCode::InvalidSource);
  ASSERT_TRUE(QFile::remove(disc_.cue));
  EXPECT_TRUE(grabber_->RefreshDisc().Failed());
  EXPECT_EQ(grabber_->QueryFreedb(*client_, 0).code, GrabberErrorCode::NoDisc);
  EXPECT_TRUE(server_.Requests().empty());
}

}  // namespace
}  // namespace corvane
