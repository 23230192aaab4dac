#include "cli/DiscLookup.h"

#include <QJsonArray>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "common/EventLoopWaiting.h"
#include "common/StringTable.h"
#include "common/strings/CliText.h"
#include "common/strings/RipperText.h"
#include "components/CAudioCDGrabberEvents.h"
#include "components/IAudioCDGrabber.h"
#include "components/freedb/LookupSettings.h"
#include "ripper/FreedbSettingsValues.h"

namespace corvane::cli {
namespace {

constexpr int kFound = 3;
constexpr int kNothingKnown = -2;
constexpr int kFailed = -1;
// Beyond the look-up's own deadline: the spacing of MusicBrainz requests and the start.
constexpr int kGuardMarginMs = 10000;

void Print(const QString& line) { std::fputs(qPrintable(line + QLatin1Char('\n')), stdout); }

// Wakes the wait at event 4's final code.
class FinalCode final : public IAudioCDGrabberEventHandler {
 public:
  explicit FinalCode(IWaiting& waiting) : waiting_(waiting) {}
  void OnDiscChanged() override {}
  void OnGrabProgress(double /*percent*/) override {}
  void OnReadRetries(int /*attempts*/) override {}
  void OnFreedbState(int code) override {
    if (code != kFound && code != kNothingKnown && code != kFailed) return;
    final = code;
    waiting_.Wake();
  }

  std::optional<int> final;

 private:
  IWaiting& waiting_;
};

void ReadFindings(IAudioCDGrabber& grabber, DiscLookupOutcome& outcome) {
  outcome.artist = grabber.GetDiscArtist();
  outcome.album = grabber.GetDiscTitle();
  outcome.year = grabber.GetDiscYear();
  outcome.genre = grabber.GetDiscGenre();
  for (int session = 0; session < grabber.GetSessionCount(); ++session) {
    if (grabber.SetCurrentSession(session).Failed()) break;
    for (int track = 0; track < grabber.GetTrackCount(); ++track) {
      if (grabber.SetCurrentTrack(track).Failed()) break;
      outcome.titles.emplace_back(grabber.GetTrackNumber(), grabber.GetTrackTitle());
    }
  }
}

}  // namespace

DiscLookupOutcome LookUpDisc(IAudioCDGrabber& grabber, SettingsStore& settings, LookupSource source) {
  DiscLookupOutcome outcome;
  outcome.music_brainz_id = grabber.GetMusicBrainzDiscId();
  const std::unique_ptr<IFreedbClient> client = CreateFreedbClient();
  FreedbSettingsValues::Load(settings).ApplyTo(*client);
  outcome.service = LookupServiceName(*client, source);

  // The grabber's events and the network are served on this thread's event loop.
  EventLoopWaiting waiting;
  FinalCode events(waiting);
  CAudioCDGrabberEvents sink(events);
  sink.Advise(grabber);
  const GrabberResult started = grabber.QueryFreedb(*client, static_cast<int>(source));
  if (started.Failed()) {
    outcome.failure = started.text;
    return outcome;
  }
  // The look-up always ends with a final code; the guard only keeps a broken one from hanging.
  bool overdue = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] {
    overdue = true;
    waiting.Wake();
  });
  guard.start(std::max(client->GetTimeout(), 0) + kGuardMarginMs);
  waiting.WaitUntil([&] { return events.final.has_value() || overdue; });
  sink.Unadvise();
  if (events.final == kFound) {
    outcome.found = true;
    ReadFindings(grabber, outcome);
  } else if (events.final == kNothingKnown) {
    outcome.failure = StringTable::Text(text::kNoFreedbInfo);
  } else {
    outcome.failure = StringTable::Format(text::kFreedbConnectFailed, {outcome.service});
  }
  return outcome;
}

void PrintLookup(const DiscLookupOutcome& outcome) {
  Print(StringTable::Format(
      text::kMusicBrainzIdLine,
      {outcome.music_brainz_id.isEmpty() ? StringTable::Text(text::kNoMusicBrainzId) : outcome.music_brainz_id}));
  if (!outcome.found) return;
  Print(StringTable::Format(text::kLookupHeader, {outcome.service}));
  Print(StringTable::Format(text::kLookupArtistLine, {outcome.artist}));
  Print(StringTable::Format(text::kLookupAlbumLine, {outcome.album}));
  Print(StringTable::Format(text::kLookupYearLine, {outcome.year > 0 ? QString::number(outcome.year) : QString()}));
  Print(StringTable::Format(text::kLookupGenreLine, {outcome.genre}));
  for (const auto& [number, title] : outcome.titles)
    Print(StringTable::Format(text::kLookupTitleLine, {number, title}));
}

void AddLookupJson(const DiscLookupOutcome& outcome, QJsonObject& disc) {
  disc.insert(QStringLiteral("musicbrainz_id"), outcome.music_brainz_id);
  if (!outcome.found) return;
  QJsonArray titles;
  for (const auto& [number, title] : outcome.titles)
    titles.append(QJsonObject{{QStringLiteral("number"), number}, {QStringLiteral("title"), title}});
  disc.insert(QStringLiteral("lookup"), QJsonObject{{QStringLiteral("service"), outcome.service},
                                                    {QStringLiteral("artist"), outcome.artist},
                                                    {QStringLiteral("album"), outcome.album},
                                                    {QStringLiteral("year"), outcome.year},
                                                    {QStringLiteral("genre"), outcome.genre},
                                                    {QStringLiteral("titles"), titles}});
}

}  // namespace corvane::cli
