// The answer's address, and the request against a loopback server whose first path segment names
// what it answers.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <vector>

#include "components/accuraterip/AccurateRipFetch.h"
#include "support/LoopbackHttpServer.h"
#include "support/QtPrinters.h"

namespace corvane {
namespace {

using test::HttpAnswer;
using test::HttpRequest;
using test::LoopbackHttpServer;
using Status = AccurateRipFetchStatus;

const QString kPath = QStringLiteral("9/1/4/dBAR-010-00164419-00b9f6e2-9e11600b.bin");

// Bytes that are no text: every value, the cap's worth or one more.
QByteArray Binary(qint64 size) {
  QByteArray bytes(size, '\0');
  for (qint64 i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 256);
  return bytes;
}

HttpAnswer Serve(const HttpRequest& request) {
  const QString scenario = request.Path().section(u'/', 1, 1);
  if (scenario == u"found") return HttpAnswer::Text(Binary(13 + 9 * 10));
  if (scenario == u"full") return HttpAnswer::Text(Binary(AccurateRipFetch::kMaxAnswerBytes));
  if (scenario == u"oversize") return HttpAnswer::Text(Binary(AccurateRipFetch::kMaxAnswerBytes + 1));
  if (scenario == u"moved") return {"HTTP/1.0 301 Moved\r\nLocation: /found/x.bin\r\nContent-Length: 0\r\n\r\n"};
  if (scenario == u"failing") return HttpAnswer::Text("busy", 503);
  if (scenario == u"silent") return HttpAnswer::Silence();
  return HttpAnswer::Text("no such file", 404);
}

TEST(AccurateRipAnswerUrl, BaseGetsItsSlashAndPathsStayBelowIt) {
  struct Case {
    QString base, path, url;
  };
  const Case cases[] = {
      {{}, kPath, QStringLiteral("http://www.accuraterip.com/accuraterip/") + kPath},
      {QStringLiteral("  "), kPath, QStringLiteral("http://www.accuraterip.com/accuraterip/") + kPath},
      {QStringLiteral("http://127.0.0.1:8080/ar"), QStringLiteral("a/b.bin"),
       QStringLiteral("http://127.0.0.1:8080/ar/a/b.bin")},
      {QStringLiteral("http://h/ar/?q=1#f"), QStringLiteral("a/b.bin"), QStringLiteral("http://h/ar/a/b.bin")},
      {QStringLiteral("HTTPS://h"), QStringLiteral("a/b.bin"), QStringLiteral("https://h/a/b.bin")},
      // Refused: no http address, or a path that is empty, absolute, climbs or adds a query.
      {QStringLiteral("ftp://h/ar/"), QStringLiteral("a/b.bin"), {}},
      {QStringLiteral("/local/folder"), QStringLiteral("a/b.bin"), {}},
      {QStringLiteral("http:///ar/"), QStringLiteral("a/b.bin"), {}},
      {QStringLiteral("http://h/ar/"), QString(), {}},
      {QStringLiteral("http://h/ar/"), QStringLiteral("/a/b.bin"), {}},
      {QStringLiteral("http://h/ar/"), QStringLiteral("a/../../b.bin"), {}},
      {QStringLiteral("http://h/ar/"), QStringLiteral("a/b.bin?x=1"), {}},
  };
  for (const Case& c : cases) {
    const QUrl url = AccurateRipAnswerUrl(c.base, c.path);
    EXPECT_EQ(url.isValid() ? url.toString() : QString(), c.url)
        << c.base.toStdString() << " + " << c.path.toStdString();
  }
}

TEST(AccurateRipFetch, ServedAnswersMapToTheirResults) {
  LoopbackHttpServer server(Serve);
  ASSERT_NE(server.Port(), 0);
  const auto base = [&](const char* scenario) {
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(server.Port()).arg(QLatin1String(scenario));
  };

  const AccurateRipFetchResult found = FetchAccurateRipAnswer(base("found"), kPath);
  EXPECT_EQ(found.status, Status::Found);
  EXPECT_EQ(found.body, Binary(13 + 9 * 10));
  ASSERT_EQ(server.Requests().size(), 1u);
  const HttpRequest& request = server.Requests().front();
  EXPECT_EQ(request.line, "GET /found/" + kPath.toLatin1() + " HTTP/1.1");
  EXPECT_EQ(request.headers.value("user-agent"), "Corvane/" CORVANE_VERSION);

  const AccurateRipFetchResult full = FetchAccurateRipAnswer(base("full"), kPath);
  EXPECT_EQ(full.status, Status::Found);
  EXPECT_EQ(full.body.size(), AccurateRipFetch::kMaxAnswerBytes);

  for (const char* scenario : {"missing", "oversize", "moved", "failing"}) {
    const AccurateRipFetchResult result = FetchAccurateRipAnswer(base(scenario), kPath);
    EXPECT_EQ(result.status, qstrcmp(scenario, "missing") == 0 ? Status::NotFound : Status::Unreachable) << scenario;
    EXPECT_TRUE(result.body.isEmpty()) << scenario;
  }
  EXPECT_EQ(server.Requests().size(), 6u);
}

TEST(AccurateRipFetch, DeadPortSilentServerAndBadBaseAreUnreachableInTime) {
  QElapsedTimer clock;
  clock.start();
  const quint16 dead = test::ClosedLoopbackPort();
  ASSERT_NE(dead, 0);
  EXPECT_EQ(FetchAccurateRipAnswer(QStringLiteral("http://127.0.0.1:%1/").arg(dead), kPath, 5000).status,
            Status::Unreachable);
  EXPECT_EQ(FetchAccurateRipAnswer(QStringLiteral("file:///tmp/"), kPath, 5000).status, Status::Unreachable);
  EXPECT_LT(clock.elapsed(), 5000);  // refused at once, not left to the deadline

  LoopbackHttpServer server(Serve);
  clock.restart();
  EXPECT_EQ(FetchAccurateRipAnswer(QStringLiteral("http://127.0.0.1:%1/silent").arg(server.Port()), kPath, 300).status,
            Status::Unreachable);
  EXPECT_GE(clock.elapsed(), 300);  // the server had its whole time
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(AccurateRipFetch, ReportsOnceFromTheEventLoopAndARestartDropsTheFirst) {
  LoopbackHttpServer server(Serve);
  AccurateRipFetch fetch;
  std::vector<AccurateRipFetchResult> reports;
  QEventLoop loop;
  QObject::connect(&fetch, &AccurateRipFetch::finished, &loop, [&](const AccurateRipFetchResult& result) {
    reports.push_back(result);
    loop.quit();
  });
  fetch.Start(QStringLiteral("http://127.0.0.1:%1/silent").arg(server.Port()), kPath);
  EXPECT_TRUE(fetch.IsRunning());
  fetch.Start(QStringLiteral("http://127.0.0.1:%1/found").arg(server.Port()), kPath, 5000);
  EXPECT_TRUE(reports.empty());  // not from inside Start
  loop.exec();
  EXPECT_FALSE(fetch.IsRunning());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].status, Status::Found);
  // Another request pumps the event loop again; the dropped one stays silent.
  EXPECT_EQ(FetchAccurateRipAnswer(QStringLiteral("http://127.0.0.1:%1/missing").arg(server.Port()), kPath).status,
            Status::NotFound);
  EXPECT_EQ(reports.size(), 1u);
}

}  // namespace
}  // namespace corvane
