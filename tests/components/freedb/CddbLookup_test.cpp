// The CDDB look-up against a loopback server the test runs: the scenario is the first segment of
// the CGI path, so one server plays every kind of answer.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include "components/freedb/CddbLookup.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

using test::HttpAnswer;
using test::HttpRequest;
using test::LoopbackHttpServer;
using State = CddbLookupState;

const CddbToc kToc{{150, 18407, 39872, 61237}, 1074, 0x25043004u};

QByteArray Entry(const QByteArray& category, const QByteArray& discId, const QByteArray& keywords) {
  return "210 " + category + " " + discId +
         "\r\n# xmcd\r\n#\r\n# Track frame offsets:\r\n#\t150\r\n#\t18407\r\n#\t39872\r\n#\t61237\r\n#\r\n"
         "# Disc length: 1074 seconds\r\n#\r\nDISCID=" +
         discId + "\r\n" + keywords + "EXTD=\r\nPLAYORDER=\r\n";
}

// A DTITLE whose separator falls on the continuation break, a title over two lines, a sampler
// title with its own " / ", escapes and a control character.
const QByteArray kKeywords =
    "DTITLE=AC/DC Tribute Band /\r\nDTITLE= Live: \xc3\x89t\xc3\xa9 1999\r\nDYEAR=1999\r\nDGENRE=Test Rock\r\n"
    "TTITLE0=Who?\r\nTTITLE1=A very long ti\r\nTTITLE1=tle\r\nTTITLE2=Guest / Featured Song\r\n"
    "TTITLE3=Line\\nbreak\\tand \\\\ slash\x07 bell\r\n";

struct Scenario {
  QByteArray query;
  QByteArray read;
  int httpStatus = 200;
};

Scenario ScenarioFor(const QString& name) {
  const QByteArray exact = "200 rock 25043004 AC/DC Tribute Band / Live\r\n";
  const QByteArray entry = Entry("rock", "25043004", kKeywords) + ".\r\n";
  if (name == "multi") return {"210 Found exact matches\r\nmisc 25043004 A / B\r\nrock 25043004 C / D\r\n.\r\n", {}};
  if (name == "inexact")
    return {"211 Found inexact matches\r\njazz 270f7799 Near / Match\r\nrock 25043004 C / D\r\n.\r\n", {}};
  if (name == "nomatch") return {"202 No match for disc ID 25043004.\r\n", {}};
  if (name == "emptylist") return {"211 Found inexact matches\r\n.\r\n", {}};
  if (name == "noentry") return {exact, "401 rock 25043004 No such CD entry in database.\r\n"};
  if (name == "corrupt") return {"403 Database entry is corrupt.\r\n", {}};
  if (name == "nohandshake") return {"409 No handshake.\r\n", {}};
  if (name == "unregistered") return {"500 Unknown developer email for corvane 1.2\r\n", {}};
  if (name == "malformed") return {"OK here you go\r\n", {}};
  if (name == "portal") return {"<html><body>Sign in to continue</body></html>\r\n", {}};
  if (name == "badmatch") return {"200 rock/../x 25043004 A / B\r\n", {}};
  if (name == "truncatedlist") return {"210 Found exact matches\r\nrock 25043004 A / B\r\n", {}};
  if (name == "truncatedentry") return {exact, Entry("rock", "25043004", kKeywords)};
  if (name == "huge")
    return {exact, Entry("rock", "25043004", kKeywords + "EXTD=" + QByteArray(2 << 20, 'x') + "\r\n") + ".\r\n"};
  if (name == "latin1")
    return {exact, Entry("rock", "25043004", "DTITLE=Test / \xc9t\xe9\r\nTTITLE0=\xfcml\xe4ut\r\n") + ".\r\n"};
  if (name == "incompatible")
    return {exact, Entry("rock", "25043004",
                         "DTITLE=gnudb / Notice\r\nTTITLE0=Your program-app is not compatible with gnudb.org\r\n") +
                       ".\r\n"};
  if (name == "http500") return {exact, entry, 500};
  return {exact, entry};
}

// The fake server: checks what every client must send and answers from the scenario.
HttpAnswer Serve(const HttpRequest& request) {
  const QStringList hello = QString::fromUtf8(request.FormValue("hello")).split(u' ');
  if (request.FormValue("proto") != "6") return HttpAnswer::Text("501 Illegal protocol level.\r\n");
  if (hello.size() != 4) return HttpAnswer::Text("409 No handshake.\r\n");
  const QString name = request.Path().section(u'/', 1, 1);
  if (name == "slow") return HttpAnswer::Silence();
  // The headers promise more than arrives before the connection closes.
  if (name == "closemid") return {"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n21", false};
  const Scenario scenario = ScenarioFor(name);
  const QByteArray cmd = request.FormValue("cmd");
  if (cmd.startsWith("cddb query ")) return HttpAnswer::Text(scenario.query, scenario.httpStatus);
  if (!cmd.startsWith("cddb read ")) return HttpAnswer::Text("500 Unrecognized command.\r\n");
  if (name == "slowread") return HttpAnswer::Silence();
  if (!scenario.read.isEmpty()) return HttpAnswer::Text(scenario.read, scenario.httpStatus);
  const QList<QByteArray> words = cmd.split(' ');  // the category and ID of the match read
  return HttpAnswer::Text(Entry(words.value(2), words.value(3), kKeywords) + ".\r\n");
}

struct Outcome {
  std::vector<int> states;
  CddbEntry entry;
};

CddbServerSettings Settings(quint16 port, const QString& scenario = QStringLiteral("~cddb")) {
  CddbServerSettings settings;
  settings.host = QStringLiteral("127.0.0.1");
  settings.port = port;
  settings.path = u'/' + scenario + QStringLiteral("/cddb.cgi");
  settings.timeout_ms = 5000;
  settings.email = QStringLiteral("jane.doe+cd@example.org");
  settings.client_name = QStringLiteral("corvane");
  settings.client_version = QStringLiteral("1.2");
  return settings;
}

// Runs one look-up to its final report (the guard only ends a test whose client never reports).
Outcome RunLookup(CddbLookup& lookup, const CddbServerSettings& settings) {
  Outcome outcome;
  bool done = false;
  QEventLoop loop;
  const auto onProgress = QObject::connect(&lookup, &CddbLookup::progress,
                                           [&](State state) { outcome.states.push_back(static_cast<int>(state)); });
  const auto onFinished = QObject::connect(&lookup, &CddbLookup::finished, [&](State state, const CddbEntry& entry) {
    outcome.states.push_back(static_cast<int>(state));
    outcome.entry = entry;
    done = true;
    loop.quit();
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
  guard.start(60000);
  lookup.Start(settings, kToc);
  if (!done) loop.exec();
  QObject::disconnect(onProgress);
  QObject::disconnect(onFinished);
  return outcome;
}

class CddbLookupTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(server.Port(), 0) << "the loopback server could not listen"; }

  LoopbackHttpServer server{Serve};
  CddbLookup lookup;
};

TEST_F(CddbLookupTest, ExactMatchIsQueriedThenReadWithTheHelloAndTheEntryDecoded) {
  const Outcome outcome = RunLookup(lookup, Settings(server.Port()));
  EXPECT_EQ(outcome.states, (std::vector<int>{1, 2, 3}));
  const CddbEntry& entry = outcome.entry;
  EXPECT_EQ(entry.category, "rock");
  EXPECT_EQ(entry.disc_id, "25043004");
  EXPECT_EQ(entry.artist, "AC/DC Tribute Band");
  EXPECT_EQ(entry.album, QString::fromUtf8("Live: \xc3\x89t\xc3\xa9 1999"));
  EXPECT_EQ(entry.year, "1999");
  EXPECT_EQ(entry.genre, "Test Rock");
  EXPECT_EQ(entry.titles,
            (QStringList{"Who?", "A very long title", "Guest / Featured Song", "Line break and \\ slash bell"}));

  const auto& requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].FormValue("cmd"), "cddb query 25043004 4 150 18407 39872 61237 1074");
  EXPECT_EQ(requests[1].FormValue("cmd"), "cddb read rock 25043004");
  for (const auto& request : requests) {
    // A raw "+" would arrive as a space and split the e-mail's user into two tokens.
    EXPECT_EQ(request.FormValue("hello"), "jane.doe+cd example.org corvane 1.2");
    EXPECT_EQ(request.FormValue("proto"), "6");
    EXPECT_EQ(request.headers.value("user-agent"), "corvane/1.2");
    EXPECT_TRUE(request.line.startsWith("GET /~cddb/cddb.cgi?")) << request.line.constData();
  }
}

TEST_F(CddbLookupTest, ListAnswersReadTheFirstMatchOfTheList) {
  const struct {
    const char* scenario;
    const char* read;
  } cases[] = {{"multi", "cddb read misc 25043004"}, {"inexact", "cddb read jazz 270f7799"}};
  for (const auto& c : cases) {
    const Outcome outcome = RunLookup(lookup, Settings(server.Port(), c.scenario));
    EXPECT_EQ(outcome.states.back(), 3) << c.scenario;
    EXPECT_EQ(outcome.entry.artist, "AC/DC Tribute Band") << c.scenario;
    EXPECT_EQ(server.Requests().back().FormValue("cmd"), c.read) << c.scenario;
  }
}

// Every answer that is not an entry ends with one final report and no metadata.
TEST_F(CddbLookupTest, AnswersWithoutAnEntryEndAsNoMatchOrFailed) {
  const struct {
    const char* scenario;
    int state;
  } cases[] = {
      {"nomatch", -2},     {"emptylist", -2},     {"noentry", -2},        {"corrupt", -2},
      {"nohandshake", -1}, {"unregistered", -1},  {"malformed", -1},      {"portal", -1},
      {"badmatch", -1},    {"truncatedlist", -1}, {"truncatedentry", -1}, {"huge", -1},
      {"latin1", -1},      {"incompatible", -1},  {"http500", -1},        {"closemid", -1},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunLookup(lookup, Settings(server.Port(), c.scenario));
    EXPECT_EQ(outcome.states, (std::vector<int>{1, 2, c.state})) << c.scenario;
    EXPECT_TRUE(outcome.entry.artist.isEmpty() && outcome.entry.titles.isEmpty()) << c.scenario;
  }
}

TEST_F(CddbLookupTest, DeadlineAndRefusedConnectionFailAndTheClientStaysUsable) {
  // Silence at the query, and at the read after a prompt query: the one deadline covers both.
  for (const char* scenario : {"slow", "slowread"}) {
    CddbServerSettings slow = Settings(server.Port(), scenario);
    slow.timeout_ms = 300;
    EXPECT_EQ(RunLookup(lookup, slow).states.back(), -1) << scenario;
  }

  const quint16 closed = test::ClosedLoopbackPort();
  ASSERT_NE(closed, 0);
  EXPECT_EQ(RunLookup(lookup, Settings(closed)).states, (std::vector<int>{1, -1}));

  EXPECT_EQ(RunLookup(lookup, Settings(server.Port())).states, (std::vector<int>{1, 2, 3}));
}

TEST_F(CddbLookupTest, ProxyReceivesTheAbsoluteUrl) {
  CddbServerSettings settings = Settings(server.Port());
  settings.host = QStringLiteral("cddb.invalid");
  settings.port = 80;
  settings.proxy_host = QStringLiteral("127.0.0.1");
  settings.proxy_port = server.Port();
  EXPECT_EQ(RunLookup(lookup, settings).states, (std::vector<int>{1, 2, 3}));
  ASSERT_FALSE(server.Requests().empty());
  const HttpRequest& first = server.Requests().front();
  EXPECT_TRUE(first.line.startsWith("GET http://cddb.invalid/~cddb/cddb.cgi?cmd=cddb+query+25043004+"))
      << first.line.constData();
  EXPECT_EQ(first.headers.value("host"), "cddb.invalid");
}

TEST(CddbCommandUrl, Port443SpeaksHttpsAndOtherPortsStayInTheUrl) {
  CddbServerSettings settings = Settings(443);
  settings.host = QStringLiteral("cddb.example");
  EXPECT_EQ(CddbCommandUrl(settings, "cddb read rock 25043004").toString(QUrl::RemoveQuery),
            "https://cddb.example/~cddb/cddb.cgi");
  settings.port = 8080;
  EXPECT_EQ(CddbCommandUrl(settings, "x").toString(QUrl::RemoveQuery), "http://cddb.example:8080/~cddb/cddb.cgi");
  settings.https = true;
  EXPECT_EQ(CddbCommandUrl(settings, "x").toString(QUrl::RemoveQuery), "https://cddb.example:8080/~cddb/cddb.cgi");
}

}  // namespace
}  // namespace corvane
