#include "components/freedb/MusicBrainzAnswer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>

#include "components/freedb/CddbAnswer.h"

namespace corvane {
namespace {

constexpr int kMaxTracks = 99;

QString Text(const QJsonValue& value) { return CleanCddbValue(value.toString()); }

QString JoinedCredit(const QJsonArray& credit) {
  QString artist;
  for (const QJsonValue& name : credit)
    artist += name[QLatin1String("name")].toString() + name[QLatin1String("joinphrase")].toString();
  return CleanCddbValue(artist);
}

QString TopGenre(const QJsonArray& genres) {
  QString best;
  double bestCount = -1;
  for (const QJsonValue& genre : genres) {
    const QString name = Text(genre[QLatin1String("name")]);
    const double count = genre[QLatin1String("count")].toDouble();
    if (!name.isEmpty() && count > bestCount) {
      best = name;
      bestCount = count;
    }
  }
  return best;
}

bool HoldsDisc(const QJsonObject& medium, const QString& discId) {
  for (const QJsonValue& disc : medium[QLatin1String("discs")].toArray())
    if (disc[QLatin1String("id")].toString() == discId) return true;
  return false;
}

QStringList TitlesOf(const QJsonObject& medium) {
  const QJsonArray tracks = medium[QLatin1String("tracks")].toArray();
  const int count =
      std::clamp(medium[QLatin1String("track-count")].toInt(static_cast<int>(tracks.size())), 0, kMaxTracks);
  QStringList titles(count);
  for (const QJsonValue& track : tracks) {
    const int position = track[QLatin1String("position")].toInt();
    if (position < 1 || position > count) continue;
    QString title = Text(track[QLatin1String("title")]);
    if (title.isEmpty()) title = Text(track[QLatin1String("recording")][QLatin1String("title")]);
    titles[position - 1] = title;
  }
  return titles;
}

CddbEntry EntryOf(const QJsonObject& release, const QJsonObject& medium, const QString& discId) {
  CddbEntry entry;
  entry.disc_id = discId;
  entry.album = Text(release[QLatin1String("title")]);
  entry.artist = JoinedCredit(release[QLatin1String("artist-credit")].toArray());
  static const QRegularExpression leadingYear(QStringLiteral("^\\d{4}"));
  entry.year = leadingYear.match(release[QLatin1String("date")].toString()).captured();
  entry.genre = TopGenre(release[QLatin1String("release-group")][QLatin1String("genres")].toArray());
  if (entry.genre.isEmpty()) entry.genre = TopGenre(release[QLatin1String("genres")].toArray());
  entry.titles = TitlesOf(medium);
  return entry;
}

}  // namespace

MusicBrainzAnswer ParseMusicBrainzAnswer(const QByteArray& json, const QString& discId) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(json, &error);
  const QJsonValue releases = document.object().value(QLatin1String("releases"));
  if (error.error != QJsonParseError::NoError || !releases.isArray()) return {};
  for (const QJsonValue& release : releases.toArray()) {
    for (const QJsonValue& medium : release[QLatin1String("media")].toArray()) {
      if (HoldsDisc(medium.toObject(), discId))
        return {CddbLookupState::Found, EntryOf(release.toObject(), medium.toObject(), discId)};
    }
  }
  return {CddbLookupState::NoMatch, {}};
}

}  // namespace corvane
