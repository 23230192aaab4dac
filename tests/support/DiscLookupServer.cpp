#include "support/DiscLookupServer.h"

#include <QString>

namespace corvane::test {
namespace {

const QString kMusicBrainzDiscPath = QStringLiteral("/ws/2/discid/");

HttpAnswer MusicBrainz(const QByteArray& discId, const QByteArray& scenario) {
  if (scenario == "nomatch") return HttpAnswer::Text(R"({"error": "Not Found"})", 404);
  return HttpAnswer::Text(R"({"releases": [{"title": "Live: 1992", "date": "1992-10-27",
      "artist-credit": [{"name": "AC/DC", "joinphrase": ""}],
      "release-group": {"genres": [{"name": "Hard Rock", "count": 3}]},
      "media": [{"position": 1, "discs": [{"id": ")" +
                          discId + R"("}],
        "tracks": [{"position": 1, "title": "Who?"}, {"position": 2, "title": "Second"},
                   {"position": 3, "title": "Third"}]}]}]})");
}

}  // namespace

HttpAnswer ServeDiscLookup(const HttpRequest& request, const QByteArray& scenario) {
  if (scenario == "slow") return HttpAnswer::Silence();
  if (scenario == "malformed") return HttpAnswer::Text("<html>Sign in</html>\r\n");
  if (request.Path().startsWith(kMusicBrainzDiscPath))
    return MusicBrainz(request.Path().mid(kMusicBrainzDiscPath.size()).toUtf8(), scenario);
  if (scenario == "nomatch") return HttpAnswer::Text("202 No match for disc ID.\r\n");
  const QList<QByteArray> words = request.FormValue("cmd").split(' ');
  if (words.value(1) == "query") return HttpAnswer::Text("200 rock " + words.value(2) + " AC/DC / Live\r\n");
  return HttpAnswer::Text("210 rock " + words.value(3) + "\r\n# xmcd\r\nDISCID=" + words.value(3) +
                          "\r\nDTITLE=AC/DC / Live: 1992\r\nDYEAR=1992\r\nDGENRE=Hard Rock\r\n"
                          "TTITLE0=Who?\r\nTTITLE1=Second\r\nTTITLE2=Third\r\nEXTD=\r\n.\r\n");
}

}  // namespace corvane::test
