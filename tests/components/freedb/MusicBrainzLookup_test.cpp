// The MusicBrainz disc ID, the mapping of the web service's JSON answer, and the look-up against a
// loopback server whose first path segment names the scenario.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include "components/freedb/MusicBrainzAnswer.h"
#include "components/freedb/MusicBrainzLookup.h"
#include "components/grabber/MusicBrainzToc.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

using test::HttpAnswer;
using test::HttpRequest;
using test::LoopbackHttpServer;
using State = CddbLookupState;

const QString kIdA = QStringLiteral("3IGfTwh61Dgu1Do8qAVFYgwLqgw-");
const QString kOtherId = QStringLiteral("xk2IYCGVc5Pn0ATbQw9lL0rZn1M-");

// A disc of sessions of {number, frame incl. the lead-in, audio?}; the lead-out as a frame too.
DiscToc Disc(const std::vector<std::vector<std::tuple<int, int, bool>>>& sessions, int leadoutFrame) {
  DiscToc disc;
  disc.leadout_lsn = leadoutFrame - 150;
  for (const auto& session : sessions) {
    disc.sessions.emplace_back();
    for (const auto& [number, frame, audio] : session)
      disc.sessions.back().push_back({number, frame - 150, 0, audio ? CdTrackType::Audio : CdTrackType::Mode1});
  }
  return disc;
}

const DiscToc kDiscA = Disc({{{1, 150, true}, {2, 18407, true}, {3, 39872, true}, {4, 61237, true}}}, 80550);

TEST(MusicBrainzDiscId, TablesOfAudioAndMixedDiscs) {
  const MusicBrainzToc a = MusicBrainzTocOf(kDiscA);
  EXPECT_EQ(a.leadout_frame, 80550);
  EXPECT_EQ(MusicBrainzDiscId(a), kIdA);

  // An Enhanced CD: the data track ends the audio 11400 frames before it, whether it stands in a
  // second session (a drive) or in the only one (an image of the disc).
  std::vector<std::tuple<int, int, bool>> audio;
  const int frames[] = {150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455};
  for (int i = 0; i < 10; ++i) audio.emplace_back(i + 1, frames[i], true);
  std::vector<std::tuple<int, int, bool>> oneSession = audio;
  oneSession.emplace_back(11, 281735, false);
  for (const DiscToc& enhanced : {Disc({audio, {{11, 281735, false}}}, 333801), Disc({oneSession}, 333801)}) {
    const MusicBrainzToc x = MusicBrainzTocOf(enhanced);
    EXPECT_EQ(x.last_track, 10);
    EXPECT_EQ(x.leadout_frame, 270335);
    EXPECT_EQ(MusicBrainzDiscId(x), "9AQWqQ0eCCwktwPPrIUIYkUw2Uo-");
  }

  // A leading data track keeps its place.
  const MusicBrainzToc mixed = MusicBrainzTocOf(Disc({{{1, 150, false}, {2, 18407, true}}}, 80550));
  EXPECT_EQ(mixed.first_track, 1);
  EXPECT_EQ(mixed.track_frames, (std::vector<int>{150, 18407}));
  EXPECT_EQ(mixed.leadout_frame, 80550);
  // Numbering that starts later is kept, so libdiscid places the offsets by track number.
  const MusicBrainzToc later = MusicBrainzTocOf(Disc({{{3, 150, true}, {4, 18407, true}}}, 80550));
  EXPECT_EQ(later.first_track, 3);
  EXPECT_EQ(later.last_track, 4);
  EXPECT_EQ(MusicBrainzDiscId(later).size(), 28);

  const MusicBrainzToc dataOnly = MusicBrainzTocOf(Disc({{{1, 150, false}}}, 80550));
  EXPECT_EQ(dataOnly.last_track, 0);
  EXPECT_TRUE(MusicBrainzDiscId(dataOnly).isEmpty());
}

TEST(MusicBrainzDiscId, RefusedTablesGiveNoId) {
  MusicBrainzToc leadoutTooEarly = MusicBrainzTocOf(kDiscA);
  leadoutTooEarly.leadout_frame = 40000;
  MusicBrainzToc trackZero = MusicBrainzTocOf(kDiscA);
  trackZero.first_track = 0;
  trackZero.last_track = 3;
  MusicBrainzToc countMismatch = MusicBrainzTocOf(kDiscA);
  countMismatch.last_track = 5;
  MusicBrainzToc pastTrack99 = MusicBrainzTocOf(kDiscA);
  pastTrack99.first_track = 97;
  pastTrack99.last_track = 100;
  for (const auto& toc : {leadoutTooEarly, trackZero, countMismatch, pastTrack99})
    EXPECT_TRUE(MusicBrainzDiscId(toc).isEmpty()) << toc.first_track << ".." << toc.last_track;
}

// One release of the web service's answer: each medium holds one disc and its titles, its tracks
// listed last to first so that only their positions can place them.
QJsonObject Release(const QString& title, const std::vector<std::pair<QString, QStringList>>& media) {
  QJsonArray mediaJson;
  for (const auto& [discId, titles] : media) {
    QJsonArray tracks;
    for (auto i = titles.size(); i-- > 0;)
      tracks.append(QJsonObject{{"position", static_cast<int>(i + 1)}, {"title", titles[i]}});
    mediaJson.append(QJsonObject{{"position", mediaJson.size() + 1},
                                 {"track-count", static_cast<int>(titles.size())},
                                 {"discs", QJsonArray{QJsonObject{{"id", discId}, {"sectors", 80400}}}},
                                 {"tracks", tracks}});
  }
  const QJsonArray credit{QJsonObject{{"name", "AC/DC"}, {"joinphrase", " & "}},
                          QJsonObject{{"name", "Guest\n"}, {"joinphrase", ""}}};
  const QJsonArray groupGenres{QJsonObject{{"name", "rock"}, {"count", 2}},
                               QJsonObject{{"name", "hard rock"}, {"count", 5}}};
  return {{"title", title},
          {"date", "1992-10-27"},
          {"artist-credit", credit},
          {"release-group", QJsonObject{{"genres", groupGenres}}},
          {"genres", QJsonArray{QJsonObject{{"name", "pop"}, {"count", 9}}}},
          {"media", mediaJson}};
}

QByteArray Answer(const QJsonArray& releases) {
  return QJsonDocument(QJsonObject{{"id", kIdA}, {"releases", releases}}).toJson();
}

// A release that does not hold the disc, then a two-disc set holding it as its second medium.
const QByteArray kFound =
    Answer({Release("Wrong Album", {{kOtherId, {"No"}}}),
            Release("Live: 1992", {{kOtherId, {"Disc one"}}, {kIdA, {"Intro", "Thunder\tStruck", "Who?\x07\r\n"}}})});

TEST(MusicBrainzAnswer, TakesTheMediumHoldingTheDisc) {
  const MusicBrainzAnswer answer = ParseMusicBrainzAnswer(kFound, kIdA);
  ASSERT_EQ(answer.state, State::Found);
  EXPECT_EQ(answer.entry.disc_id, kIdA);
  EXPECT_EQ(answer.entry.album, "Live: 1992");
  EXPECT_EQ(answer.entry.artist, "AC/DC & Guest");
  EXPECT_EQ(answer.entry.year, "1992");
  EXPECT_EQ(answer.entry.genre, "hard rock");
  EXPECT_EQ(answer.entry.titles, (QStringList{"Intro", "Thunder Struck", "Who?"}));
}

TEST(MusicBrainzAnswer, MissingFieldsLeaveValuesEmpty) {
  QJsonObject release = Release("Album", {{kIdA, {"One", "Two"}}});
  release.remove("release-group");
  release["date"] = "";
  QJsonObject medium = release["media"].toArray()[0].toObject();
  medium["track-count"] = 4;  // positions 3 and 4 have no track; 0 and 9 are not on the medium
  QJsonArray tracks = medium["tracks"].toArray();
  tracks.append(QJsonObject{{"position", 0}, {"title", "Pregap"}});
  tracks.append(QJsonObject{{"position", 9}, {"title", "Beyond"}});
  medium["tracks"] = tracks;
  release["media"] = QJsonArray{medium};

  const MusicBrainzAnswer answer = ParseMusicBrainzAnswer(Answer({release}), kIdA);
  ASSERT_EQ(answer.state, State::Found);
  EXPECT_EQ(answer.entry.genre, "pop");
  EXPECT_EQ(answer.entry.year, "");
  EXPECT_EQ(answer.entry.titles, (QStringList{"One", "Two", "", ""}));
}

TEST(MusicBrainzAnswer, AnswersWithoutTheDiscOrOfTheWrongShape) {
  const struct {
    QByteArray json;
    State state;
  } cases[] = {
      {Answer({Release("Elsewhere", {{kOtherId, {"A"}}})}), State::NoMatch},
      {Answer({}), State::NoMatch},
      {"{\"releases\": [", State::Failed},
      {"[]", State::Failed},
      {"{\"id\": \"x\"}", State::Failed},
      {"{\"releases\": {}}", State::Failed},
      {"<html>Sign in</html>", State::Failed},
      {"{\"releases\": [{\"title\": \"\xff\xfe\"}]}", State::Failed},
  };
  for (const auto& c : cases) {
    const MusicBrainzAnswer answer = ParseMusicBrainzAnswer(c.json, kIdA);
    EXPECT_EQ(answer.state, c.state) << c.json.constData();
    EXPECT_TRUE(answer.entry.album.isEmpty() && answer.entry.titles.isEmpty()) << c.json.constData();
  }
}

HttpAnswer Serve(const HttpRequest& request) {
  const QString scenario = request.Path().section(u'/', 1, 1);
  if (scenario == "slow") return HttpAnswer::Silence();
  if (scenario == "notfound") return HttpAnswer::Text("{\"error\": \"Not Found\"}", 404);
  if (scenario == "busy") return HttpAnswer::Text("{\"error\": \"rate limited\"}", 503);
  if (scenario == "malformed") return HttpAnswer::Text("{\"releases\": [{\"title\": ");
  if (scenario == "elsewhere") return HttpAnswer::Text(Answer({Release("Elsewhere", {{kOtherId, {"A"}}})}));
  if (scenario == "huge")
    return HttpAnswer::Text("{\"releases\": [], \"padding\": \"" + QByteArray(5 << 20, 'x') + "\"}");
  return HttpAnswer::Text(kFound);
}

struct Outcome {
  std::vector<int> states;
  CddbEntry entry;
};

// Starts every look-up and runs the event loop until each has reported its end (the guard only
// ends a test whose client never reports).
std::vector<Outcome> RunLookups(const std::vector<MusicBrainzLookup*>& lookups, const MusicBrainzSettings& settings,
                                const MusicBrainzToc& toc = MusicBrainzTocOf(kDiscA)) {
  std::vector<Outcome> outcomes(lookups.size());
  size_t pending = lookups.size();
  QEventLoop loop;
  std::vector<QMetaObject::Connection> connections;
  for (size_t i = 0; i < lookups.size(); ++i) {
    connections.push_back(QObject::connect(lookups[i], &MusicBrainzLookup::progress, [&, i](State state) {
      outcomes[i].states.push_back(static_cast<int>(state));
    }));
    connections.push_back(
        QObject::connect(lookups[i], &MusicBrainzLookup::finished, [&, i](State state, const CddbEntry& entry) {
          outcomes[i].states.push_back(static_cast<int>(state));
          outcomes[i].entry = entry;
          if (--pending == 0) loop.quit();
        }));
  }
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
  guard.start(60000);
  for (MusicBrainzLookup* lookup : lookups) lookup->Start(settings, toc);
  if (pending > 0) loop.exec();
  for (const auto& connection : connections) QObject::disconnect(connection);
  return outcomes;
}

class MusicBrainzLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(server.Port(), 0) << "the loopback server could not listen";
    clock.start();
  }

  MusicBrainzSettings Settings(const QString& scenario, int timeoutMs = 5000) const {
    MusicBrainzSettings settings;
    settings.base_url = QStringLiteral("http://127.0.0.1:%1/%2/").arg(server.Port()).arg(scenario);
    settings.timeout_ms = timeoutMs;
    settings.user_agent = QStringLiteral("Corvane/9.9 ( jane@example.org )");
    return settings;
  }

  Outcome Run(const MusicBrainzSettings& settings, const MusicBrainzToc& toc = MusicBrainzTocOf(kDiscA)) {
    return RunLookups({&lookup}, settings, toc).front();
  }

  QElapsedTimer clock;
  std::vector<qint64> arrivals;  // of each request at the server, by the test's clock
  LoopbackHttpServer server{[this](const HttpRequest& request) {
    arrivals.push_back(clock.elapsed());
    return Serve(request);
  }};
  MusicBrainzLookup lookup;
};

TEST_F(MusicBrainzLookupTest, FoundDiscArrivesWithTheRequestAsTheServiceExpects) {
  const Outcome outcome = Run(Settings("found"));
  EXPECT_EQ(outcome.states, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(outcome.entry.album, "Live: 1992");
  EXPECT_EQ(outcome.entry.artist, "AC/DC & Guest");
  EXPECT_EQ(outcome.entry.titles, (QStringList{"Intro", "Thunder Struck", "Who?"}));
  EXPECT_FALSE(lookup.IsRunning());

  ASSERT_EQ(server.Requests().size(), 1u);
  const HttpRequest& request = server.Requests().front();
  EXPECT_EQ(
      request.target,
      "/found/ws/2/discid/3IGfTwh61Dgu1Do8qAVFYgwLqgw-?inc=recordings+artist-credits+release-groups+genres&fmt=json");
  EXPECT_EQ(request.headers.value("user-agent"), "Corvane/9.9 ( jane@example.org )");
  EXPECT_EQ(request.headers.value("accept"), "application/json");
}

TEST_F(MusicBrainzLookupTest, EveryOtherAnswerEndsWithoutMetadata) {
  const struct {
    const char* scenario;
    int timeout_ms;
    std::vector<int> states;
  } cases[] = {
      {"notfound", 5000, {1, 2, -2}},  {"elsewhere", 5000, {1, 2, -2}}, {"busy", 5000, {1, 2, -1}},
      {"malformed", 5000, {1, 2, -1}}, {"huge", 5000, {1, 2, -1}},      {"slow", 300, {1, 2, -1}},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Run(Settings(c.scenario, c.timeout_ms));
    EXPECT_EQ(outcome.states, c.states) << c.scenario;
    EXPECT_TRUE(outcome.entry.album.isEmpty() && outcome.entry.titles.isEmpty()) << c.scenario;
  }
  const size_t served = server.Requests().size();
  EXPECT_EQ(served, std::size(cases));

  // Nothing to ask or nowhere to ask it: no request reaches the server.
  MusicBrainzToc noAudio;
  EXPECT_EQ(Run(Settings("found"), noAudio).states, (std::vector<int>{1, -1}));
  MusicBrainzSettings notHttp = Settings("found");
  notHttp.base_url.replace(0, 4, QStringLiteral("ftp"));
  EXPECT_EQ(Run(notHttp).states, (std::vector<int>{1, -1}));
  EXPECT_EQ(server.Requests().size(), served);
  const quint16 closed = test::ClosedLoopbackPort();
  ASSERT_NE(closed, 0);
  MusicBrainzSettings refused = Settings("found");
  refused.base_url = QStringLiteral("http://127.0.0.1:%1").arg(closed);
  EXPECT_EQ(Run(refused).states, (std::vector<int>{1, -1}));

  // The client that ran out of time and met a closed port still finds the disc, here through a
  // proxy that alone knows the way to the service.
  MusicBrainzSettings proxied = Settings("found");
  proxied.base_url = QStringLiteral("http://musicbrainz.invalid");
  proxied.proxy_host = QStringLiteral("127.0.0.1");
  proxied.proxy_port = server.Port();
  EXPECT_EQ(Run(proxied).states, (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(server.Requests().back().line.startsWith("GET http://musicbrainz.invalid/ws/2/discid/" + kIdA.toLatin1()))
      << server.Requests().back().line.constData();
}

// An ordering property of the requests, not a speed target: each reaches the server at least a
// second after the one before, for look-ups started together and for one started right after
// another has ended.
TEST_F(MusicBrainzLookupTest, RequestsOfAllLookUpsAreASecondApart) {
  MusicBrainzLookup second;
  const auto together = RunLookups({&lookup, &second}, Settings("found"));
  EXPECT_EQ(together[0].states.back(), 3);
  EXPECT_EQ(together[1].states.back(), 3);
  EXPECT_EQ(Run(Settings("found")).states.back(), 3);
  ASSERT_EQ(arrivals.size(), 3u);
  EXPECT_GE(arrivals[1] - arrivals[0], 1000);
  EXPECT_GE(arrivals[2] - arrivals[1], 1000);
}

}  // namespace
}  // namespace corvane
